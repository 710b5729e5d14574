#include "i2c_bus.h"

#include <algorithm>
#include <nlohmann/json.hpp>

#include "../src/board.h"
#include "port.h"

namespace vboard {

I2cBus::I2cBus(Board& board) : Peripheral(board, "I2C bus (PA22 SDA, PA23 SCL)", kFindingsKey, 0) {}

void I2cBus::attach(std::uint8_t address, I2cDevice& device) {
    devices_[address] = &device;
}

void I2cBus::detach(std::uint8_t address) {
    auto it = devices_.find(address);
    if (it == devices_.end()) return;
    if (selected_ == it->second) selected_ = nullptr;
    devices_.erase(it);
}

bool I2cBus::pads_connected() const {
    const Port& port = board().model<Port>();
    for (unsigned pin : {kSdaPin, kSclPin}) {
        const PinView view = port.pin(pin);
        if (!view.muxed || view.function != kPmuxFunctionD) return false;
    }
    return true;
}

I2cTransfer* I2cBus::current() {
    return open_ && !log_.empty() ? &log_.back() : nullptr;
}

void I2cBus::close(SimTime t, bool stopped) {
    if (I2cTransfer* transfer = current()) {
        transfer->end = t;
        transfer->stopped = stopped;
    }
    open_ = false;
}

bool I2cBus::start(SimTime t, std::uint8_t address_byte, SimTime done) {
    const bool repeated = open_;
    if (repeated) close(t, false);
    I2cTransfer transfer;
    transfer.start = t;
    transfer.address = address_byte >> 1;
    transfer.read = (address_byte & 1u) != 0;
    transfer.repeated_start = repeated;
    transfer.address_done = done;
    selected_ = nullptr;
    auto it = devices_.find(transfer.address);
    if (it != devices_.end() && it->second->on_address(done, transfer.read)) selected_ = it->second;
    transfer.address_ack = selected_ != nullptr;
    if (!transfer.address_ack) ++address_nacks_;
    if (log_.size() == kLogCapacity) log_.pop_front();
    log_.push_back(std::move(transfer));
    ++transfers_total_;
    open_ = true;
    return selected_ != nullptr;
}

bool I2cBus::write_byte(SimTime t, std::uint8_t byte) {
    const bool ack = selected_ != nullptr && selected_->on_write(t, byte);
    if (I2cTransfer* transfer = current()) {
        transfer->bytes.push_back(byte);
        transfer->byte_done.push_back(t);
        transfer->acks.push_back(ack);
    }
    return ack;
}

std::uint8_t I2cBus::read_byte(SimTime t) {
    const std::uint8_t byte = selected_ != nullptr ? selected_->on_read(t) : kReleasedByte;
    if (I2cTransfer* transfer = current()) {
        transfer->bytes.push_back(byte);
        transfer->byte_done.push_back(t);
    }
    return byte;
}

void I2cBus::master_ack(SimTime t, bool ack) {
    if (selected_ != nullptr) selected_->on_master_ack(t, ack);
    if (I2cTransfer* transfer = current()) transfer->acks.push_back(ack);
}

void I2cBus::stop(SimTime t) {
    if (selected_ != nullptr) selected_->on_stop(t);
    selected_ = nullptr;
    close(t, true);
}

void I2cBus::abort(SimTime t, bool bus_error) {
    if (I2cTransfer* transfer = current()) transfer->bus_error = bus_error;
    if (bus_error) ++bus_errors_;
    // Every device sees the bus go quiet; the next START addresses them afresh.
    for (auto& [address, device] : devices_) device->on_stop(t);
    selected_ = nullptr;
    close(t, false);
}

void I2cBus::cut_start(SimTime t, std::uint8_t address_byte, SimTime done) {
    const bool repeated = open_;
    if (repeated) close(t, false);
    I2cTransfer transfer;
    transfer.start = t;
    transfer.address = address_byte >> 1;
    transfer.read = (address_byte & 1u) != 0;
    transfer.repeated_start = repeated;
    transfer.address_done = done;
    transfer.end = done;
    transfer.bus_error = true;
    if (log_.size() == kLogCapacity) log_.pop_front();
    log_.push_back(std::move(transfer));
    ++transfers_total_;
    ++bus_errors_;
    for (auto& [address, device] : devices_) device->on_stop(done);
    selected_ = nullptr;
}

// ---------------------------------------------------------------- faults

bool I2cBus::observe_faults() {
    bool changed = false;
    for (FaultWindow& w : scl_low_) changed = w.observe(now(), board().instructions()) || changed;
    for (OneShot& f : bus_error_faults_)
        changed = f.window.observe(now(), board().instructions()) || changed;
    return changed;
}

SimTime I2cBus::clock_done(SimTime begin, SimTime clocking) const {
    // Walk the held-low intervals in time order: the clock runs outside
    // them and stands still inside them.
    std::vector<const FaultWindow*> windows;
    for (const FaultWindow& w : scl_low_) windows.push_back(&w);
    std::sort(windows.begin(), windows.end(),
              [](const FaultWindow* a, const FaultWindow* b) { return a->start() < b->start(); });
    SimTime t = begin;
    SimTime remaining = clocking;
    for (const FaultWindow* w : windows) {
        if (w->start() == kNever) break;  // not reached yet
        if (w->end() <= t) continue;
        if (w->start() >= t + remaining) break;
        if (w->start() > t) {
            remaining -= w->start() - t;
            t = w->start();
        }
        if (w->end() == kNever) return kNever;
        t = w->end();
    }
    return t + remaining;
}

bool I2cBus::scl_held_low(SimTime t) const {
    return std::any_of(scl_low_.begin(), scl_low_.end(),
                       [t](const FaultWindow& w) { return w.active(t); });
}

bool I2cBus::take_bus_error(SimTime t) {
    for (OneShot& f : bus_error_faults_) {
        if (!f.used && f.window.active(t)) {
            f.used = true;
            return true;
        }
    }
    return false;
}

bool I2cBus::arm_fault(const FaultSpec& fault) {
    if (fault.kind == "scl-low") {
        scl_low_.emplace_back(fault);
        return true;
    }
    if (fault.kind == "bus-error") {
        bus_error_faults_.push_back({FaultWindow(fault), false});
        return true;
    }
    return false;
}

// ---------------------------------------------------------------- board

std::uint32_t I2cBus::read(std::uint32_t, unsigned) {
    return 0;
}  // no address window
void I2cBus::write(std::uint32_t, unsigned, std::uint32_t) {}

void I2cBus::reset() {
    // The microcontroller's pins float during its reset: a transaction in
    // progress is cut off. The wires and the devices stay powered.
    if (open_) abort(now(), false);
}

void I2cBus::add_to_report(nlohmann::json& report) const {
    nlohmann::json& section = report["i2c_bus"];
    section["transactions"] = transfers_total_;
    section["address_nacks"] = address_nacks_;
    section["bus_errors"] = bus_errors_;
    section["devices"] = nlohmann::json::array();
    for (const auto& [address, device] : devices_) section["devices"].push_back(address);
}

}  // namespace vboard
