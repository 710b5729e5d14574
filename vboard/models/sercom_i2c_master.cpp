#include "sercom_i2c_master.h"

#include <algorithm>
#include <cstdio>
#include <nlohmann/json.hpp>

#include "i2c_bus.h"

namespace vboard {

namespace {

struct RegisterSlot {
    std::uint32_t offset;
    unsigned width;
};

constexpr RegisterSlot kRegisterSlots[] = {
    {SercomI2cMaster::kCTRLA, 4},    {SercomI2cMaster::kCTRLB, 4},
    {SercomI2cMaster::kBAUD, 4},     {SercomI2cMaster::kINTENCLR, 1},
    {SercomI2cMaster::kINTENSET, 1}, {SercomI2cMaster::kINTFLAG, 1},
    {SercomI2cMaster::kSTATUS, 2},   {SercomI2cMaster::kSYNCBUSY, 4},
    {SercomI2cMaster::kADDR, 4},     {SercomI2cMaster::kDATA, 1},
    {SercomI2cMaster::kDBGCTRL, 1},
};

const RegisterSlot* slot_of(std::uint32_t byte_offset) {
    for (const RegisterSlot& s : kRegisterSlots)
        if (byte_offset >= s.offset && byte_offset < s.offset + s.width) return &s;
    return nullptr;
}

std::uint32_t byte_mask(unsigned first, unsigned count) {
    return count >= 4 ? 0xFFFFFFFFu << (8 * first) : ((1u << (8 * count)) - 1u) << (8 * first);
}

constexpr std::uint32_t kStatusClearable = SercomI2cMaster::kBusErr | SercomI2cMaster::kArbLost |
                                           SercomI2cMaster::kLowTout | SercomI2cMaster::kMExtTout |
                                           SercomI2cMaster::kSExtTout | SercomI2cMaster::kLenErr;
// t + d, where a duration of kNever means "never".
SimTime after(SimTime t, SimTime d) {
    return d == kNever ? kNever : t + d;
}

constexpr std::uint32_t kFlagsMask =
    SercomI2cMaster::kMb | SercomI2cMaster::kSb | SercomI2cMaster::kError;

}  // namespace

SercomI2cMaster::SercomI2cMaster(Sercom& module) : SercomFunction(module) {}
SercomI2cMaster::~SercomI2cMaster() = default;

void SercomI2cMaster::note(Finding kind, std::uint32_t offset, const std::string& text) const {
    module().module_note(kind, offset, module().name() + " I2C master: " + text);
}

// ---------------------------------------------------------------- timing

SimTime SercomI2cMaster::sync_time() const {
    const std::uint32_t hz = module().core_clock_hz();
    return hz == 0 ? kNever : kSyncCoreClocks * period_of(hz);
}

SimTime SercomI2cMaster::scl_period() const {
    const std::uint32_t hz = module().core_clock_hz();
    if (hz == 0) return kNever;
    const std::uint32_t baud = baud_ & kBaudMask;
    const std::uint32_t baudlow = (baud_ & kBaudLowMask) >> kBaudLowPos;
    const std::uint32_t clocks =
        baudlow == 0 ? kBaudFixedClocks + 2 * baud : kBaudFixedClocks + baud + baudlow;
    return clocks * period_of(hz);
}

double SercomI2cMaster::scl_hz() const {
    const SimTime period = scl_period();
    return period == kNever ? 0.0 : static_cast<double>(kSecond) / static_cast<double>(period);
}

// ---------------------------------------------------------------- bus access

std::uint32_t SercomI2cMaster::read(std::uint32_t offset, unsigned width) {
    observe_faults();
    settle(now());
    std::uint32_t result = 0;
    for (unsigned b = 0; b < width;) {
        const RegisterSlot* slot = slot_of(offset + b);
        if (slot == nullptr) {
            note(Finding::UnclaimedAccess, offset + b, "read of an offset with no register");
            ++b;
            continue;
        }
        const std::uint32_t value = read_register(slot->offset);
        for (; b < width && offset + b < slot->offset + slot->width; ++b) {
            const unsigned lane = offset + b - slot->offset;
            result |= ((value >> (8 * lane)) & 0xFFu) << (8 * b);
        }
    }
    return result;
}

void SercomI2cMaster::write(std::uint32_t offset, unsigned width, std::uint32_t value) {
    observe_faults();
    settle(now());
    for (unsigned b = 0; b < width;) {
        const RegisterSlot* slot = slot_of(offset + b);
        if (slot == nullptr) {
            note(Finding::UnclaimedAccess, offset + b, "write of an offset with no register");
            ++b;
            continue;
        }
        const unsigned first_lane = offset + b - slot->offset;
        unsigned count = 0;
        std::uint32_t part = 0;
        for (; b < width && offset + b < slot->offset + slot->width; ++b, ++count)
            part |= ((value >> (8 * b)) & 0xFFu) << (8 * (first_lane + count));
        write_register(slot->offset, part, byte_mask(first_lane, count));
    }
}

std::uint32_t SercomI2cMaster::read_register(std::uint32_t offset) {
    switch (offset) {
        case kCTRLA:
            return ctrla_;
        case kCTRLB:
            return ctrlb_;  // CMD is a strobe: it reads as zero
        case kBAUD:
            return baud_;
        case kINTENCLR:
        case kINTENSET:
            return inten_;
        case kINTFLAG:
            return intflag_;
        case kSTATUS: {
            std::uint32_t status = status_;
            if (enabled()) status |= static_cast<std::uint32_t>(bus_state_) << kBusStatePos;
            if (bus_state_ == kOwner && (intflag_ & (kMb | kSb))) status |= kClkHold;
            return status;
        }
        case kSYNCBUSY: {
            std::uint32_t busy = 0;
            if (now() < enable_busy_until_) busy |= kSyncEnable;
            if (now() < sysop_busy_until_) busy |= kSyncSysop;
            return busy;
        }
        case kADDR:
            return addr_;
        case kDATA:
            return data_;  // smart mode off: reading sends no acknowledge
        case kDBGCTRL:
            return dbgctrl_;
    }
    return 0;
}

void SercomI2cMaster::write_register(std::uint32_t offset, std::uint32_t value,
                                     std::uint32_t mask) {
    if (now() < enable_busy_until_) {
        // While ENABLE synchronises, the module takes no write but CTRLA.SWRST.
        ++dropped_writes_;
        note(Finding::Unsupported, offset,
             "write dropped: ENABLE synchronisation busy (an APB error on the chip)");
        return;
    }
    switch (offset) {
        case kCTRLA:
            return write_ctrla((ctrla_ & ~mask) | (value & mask));
        case kCTRLB:
            return write_ctrlb(value, mask);
        case kBAUD:
            baud_ = (baud_ & ~mask) | (value & mask);
            if (baud_ & kHsBaudMask)
                note(Finding::UnmodelledField, kBAUD, "HSBAUD/HSBAUDLOW (high-speed mode)");
            return;
        case kINTENCLR:
            inten_ &= static_cast<std::uint8_t>(~(value & kFlagsMask));
            return update_irq();
        case kINTENSET:
            inten_ |= static_cast<std::uint8_t>(value & kFlagsMask);
            return update_irq();
        case kINTFLAG:
            intflag_ &= static_cast<std::uint8_t>(~(value & kFlagsMask));  // write 1 to clear
            return update_irq();
        case kSTATUS:
            return write_status(value, mask);
        case kSYNCBUSY:
            note(Finding::ReadOnlyWrite, kSYNCBUSY, "write to SYNCBUSY");
            return;
        case kADDR:
            return write_addr(value, mask);
        case kDATA:
            return write_data(static_cast<std::uint8_t>(value));
        case kDBGCTRL:
            dbgctrl_ = static_cast<std::uint8_t>(value & 1u);
            if (dbgctrl_)
                note(Finding::UnmodelledField, kDBGCTRL, "DBGSTOP (no debugger on this board)");
            return;
    }
}

bool SercomI2cMaster::take_sysop_write(std::uint32_t offset, const char* what) {
    if (now() < sysop_busy_until_) {
        ++dropped_writes_;
        note(Finding::Unsupported, offset,
             std::string("write of ") + what +
                 " dropped: SYSOP synchronisation busy (an APB error on the chip)");
        return false;
    }
    sysop_busy_until_ = after(now(), sync_time());
    return true;
}

void SercomI2cMaster::write_ctrla(std::uint32_t value) {
    const bool was_enabled = enabled();
    ctrla_ = value & ~kSwrst;
    if (value & kCtrlaUnmodelled)
        note(Finding::UnmodelledField, kCTRLA,
             "CTRLA fields besides ENABLE and MODE (PINOUT, SDAHOLD, time-outs, SPEED, SCLSM, "
             "RUNSTDBY)");
    if (enabled() == was_enabled) return;
    enable_busy_until_ = after(now(), sync_time());
    if (enabled()) {
        used_ = true;
        bus_state_ = kUnknown;
        return;
    }
    // Disabled: the module lets go of the lines.
    if (bus_ && bus_->transaction_open() && bus_state_ == kOwner) bus_->abort(now(), false);
    ops_.clear();
    bus_state_ = kUnknown;
    awaiting_ack_ = start_waits_for_idle_ = false;
    idle_at_ = kNever;
    module().module_reschedule();
}

void SercomI2cMaster::write_ctrlb(std::uint32_t value, std::uint32_t mask) {
    const std::uint32_t merged = (ctrlb_ & ~mask) | (value & mask);
    const unsigned cmd = (merged & kCmdMask) >> kCmdPos;
    if (cmd != kCmdNone && enabled() && !take_sysop_write(kCTRLB, "CTRLB.CMD")) return;
    if (merged & (kSmen | kQcen))
        note(Finding::UnmodelledField, kCTRLB, "SMEN (smart mode) or QCEN (quick command)");
    ctrlb_ = merged & ~kCmdMask;
    if (cmd == kCmdNone || !enabled()) return;
    // A command is taken only while the master holds the clock after a byte.
    if (!(intflag_ & (kMb | kSb))) {
        ++ignored_commands_;
        return;
    }
    intflag_ &= static_cast<std::uint8_t>(~(kMb | kSb));
    update_irq();
    switch (cmd) {
        case kCmdRepeatedStart:
            start_address(static_cast<std::uint8_t>(addr_ & 0xFF));
            break;
        case kCmdRead:
            if (read_direction_ && awaiting_ack_) {
                awaiting_ack_ = false;
                queue(OpKind::ReadNext, 0, true, kClocksPerByte);
            }
            break;
        case kCmdStop: {
            const bool ack_first = awaiting_ack_;
            awaiting_ack_ = false;
            queue(OpKind::Stop, 0, ack_first, ack_first ? 1 : 0);
            break;
        }
    }
}

void SercomI2cMaster::write_status(std::uint32_t value, std::uint32_t mask) {
    const unsigned state = (value & mask & kBusStateMask) >> kBusStatePos;
    if (state != kUnknown && enabled() && !take_sysop_write(kSTATUS, "STATUS.BUSSTATE")) return;
    status_ &= ~(value & mask & kStatusClearable);  // write 1 to clear
    // The bus state can be forced only from UNKNOWN, and only to IDLE.
    if (state == kIdle && enabled() && bus_state_ == kUnknown) {
        idle_at_ = sysop_busy_until_;
        module().module_reschedule();
    }
}

void SercomI2cMaster::write_addr(std::uint32_t value, std::uint32_t mask) {
    const std::uint32_t merged = (addr_ & ~mask) | (value & mask);
    if (enabled() && !take_sysop_write(kADDR, "ADDR")) return;
    addr_ = merged;
    if (merged & kAddrUnmodelled)
        note(Finding::UnmodelledField, kADDR, "LENEN, HS, TENBITEN or LEN");
    if (!enabled()) return;
    intflag_ &= static_cast<std::uint8_t>(~(kMb | kSb));
    status_ &= ~(kBusErr | kArbLost | kLowTout);
    update_irq();
    start_address(static_cast<std::uint8_t>(merged & 0xFF));
}

void SercomI2cMaster::write_data(std::uint8_t value) {
    if (!enabled()) {
        data_ = value;
        return;
    }
    if (!take_sysop_write(kDATA, "DATA")) return;
    const bool clock_held = (intflag_ & kMb) != 0;
    intflag_ &= static_cast<std::uint8_t>(~(kMb | kSb));
    update_irq();
    data_ = value;
    if (bus_state_ != kOwner || read_direction_ || !clock_held) {
        note(Finding::Unsupported, kDATA,
             "DATA written while the master holds no write transaction waiting for a byte");
        return;
    }
    queue(OpKind::WriteByte, value, false, kClocksPerByte);
}

// ---------------------------------------------------------------- operations

void SercomI2cMaster::start_address(std::uint8_t address_byte) {
    used_ = true;
    if (bus_state_ == kUnknown || bus_state_ == kBusy) {
        // The START waits for an idle bus.
        note(Finding::Unsupported, kADDR,
             "ADDR written while the bus state is not IDLE or OWNER: the START waits");
        start_waits_for_idle_ = true;
        waiting_address_ = address_byte;
        return;
    }
    read_direction_ = (address_byte & kAddrReadBit) != 0;
    const bool ack_first = awaiting_ack_;
    awaiting_ack_ = false;
    bus_state_ = kOwner;
    queue(OpKind::Address, address_byte, ack_first, kClocksPerByte + (ack_first ? 1 : 0));
}

void SercomI2cMaster::queue(OpKind kind, std::uint8_t byte, bool ack_first, unsigned clocks) {
    Op op{kind, byte, ack_first, (ctrlb_ & kAckact) != 0, sysop_busy_until_, clocks};
    ops_.push_back(op);
    if (ops_.size() == 1) plan_front(now());
}

void SercomI2cMaster::plan_front(SimTime earliest) {
    if (ops_.empty()) return;
    Op& op = ops_.front();
    op.begin = std::max(op.ready, earliest);
    const SimTime period = scl_period();
    if (op.begin == kNever || period == kNever) {
        note(Finding::Unsupported, kCTRLA, "transfer with the module clock off: it never ends");
        op.done = kNever;
    } else {
        const SimTime clocking = op.clocks * period;
        op.done = bus_ ? bus_->clock_done(op.begin, clocking) : op.begin + clocking;
    }
    module().module_reschedule();
}

bool SercomI2cMaster::pads_connected() {
    if (bus_ == nullptr) return false;
    if (bus_->pads_connected()) return true;
    note(Finding::Unsupported, kADDR,
         "transfer while PA22/PA23 are not given to the module: nobody answers");
    return false;
}

void SercomI2cMaster::finish(const Op& op) {
    const SimTime t = op.done;
    const SimTime period = scl_period();
    const SimTime after_ack = op.ack_first ? op.begin + period : op.begin;
    const bool connected = pads_connected();
    if (op.kind != OpKind::Stop && connected && bus_->take_bus_error(t)) {
        if (op.kind == OpKind::Address)
            bus_->cut_start(after_ack, op.byte, t);
        else
            bus_->abort(t, true);
        return bus_error();
    }
    if (op.ack_first && connected) bus_->master_ack(after_ack, !op.master_nack);
    switch (op.kind) {
        case OpKind::Address: {
            ++bytes_;
            const bool ack = connected && bus_->start(after_ack, op.byte, t);
            if (ack)
                status_ &= ~kRxNack;
            else
                status_ |= kRxNack;
            if (ack && read_direction_) {
                // The master clocks the first byte in at once.
                ops_.push_front(Op{OpKind::ReadFirst, 0, false, false, t, kClocksPerByte - 1});
                plan_front(t);
            } else {
                intflag_ |= kMb;
            }
            break;
        }
        case OpKind::WriteByte: {
            ++bytes_;
            const bool ack = connected && bus_->write_byte(t, op.byte);
            if (ack)
                status_ &= ~kRxNack;
            else
                status_ |= kRxNack;
            intflag_ |= kMb;
            break;
        }
        case OpKind::ReadFirst:
        case OpKind::ReadNext:
            ++bytes_;
            data_ = connected ? bus_->read_byte(t) : I2cBus::kReleasedByte;
            awaiting_ack_ = true;
            intflag_ |= kSb;
            break;
        case OpKind::Stop:
            if (connected) bus_->stop(t);
            // A START written meanwhile follows at once and owns the bus again.
            if (ops_.empty() || ops_.front().kind != OpKind::Address) bus_state_ = kIdle;
            break;
    }
    update_irq();
}

void SercomI2cMaster::bus_error() {
    intflag_ |= kMb | kError;
    status_ |= kBusErr | kArbLost;
    bus_state_ = kIdle;
    awaiting_ack_ = false;
    ops_.clear();
    update_irq();
}

void SercomI2cMaster::settle(SimTime t) {
    if (idle_at_ > t) return;
    idle_at_ = kNever;
    if (bus_state_ == kUnknown) bus_state_ = kIdle;
    if (start_waits_for_idle_) {
        start_waits_for_idle_ = false;
        start_address(waiting_address_);
    }
}

void SercomI2cMaster::observe_faults() {
    if (bus_ == nullptr || !bus_->observe_faults() || ops_.empty()) return;
    // A fault point became known: the clock of the transfer in progress may stop.
    Op& op = ops_.front();
    if (op.begin != kNever && op.done != kNever) {
        const SimTime period = scl_period();
        if (period != kNever) op.done = bus_->clock_done(op.begin, op.clocks * period);
        module().module_reschedule();
    }
}

SimTime SercomI2cMaster::next_event() const {
    const SimTime op_done = ops_.empty() ? kNever : ops_.front().done;
    return std::min(op_done, idle_at_);
}

void SercomI2cMaster::advance(SimTime t) {
    observe_faults();
    settle(t);
    while (!ops_.empty() && ops_.front().done <= t) {
        const Op op = ops_.front();
        ops_.pop_front();
        finish(op);
        if (!ops_.empty() && ops_.front().begin == kNever) plan_front(op.done);
    }
    module().module_reschedule();
}

void SercomI2cMaster::update_irq() {
    module().drive_irq((intflag_ & inten_) != 0);
}

void SercomI2cMaster::reset() {
    if (bus_ && bus_state_ == kOwner && bus_->transaction_open()) bus_->abort(now(), false);
    ctrla_ = ctrlb_ = baud_ = addr_ = 0;
    inten_ = intflag_ = data_ = dbgctrl_ = 0;
    status_ = 0;
    bus_state_ = kUnknown;
    read_direction_ = awaiting_ack_ = start_waits_for_idle_ = false;
    waiting_address_ = 0;
    enable_busy_until_ = sysop_busy_until_ = 0;
    idle_at_ = kNever;
    ops_.clear();
}

void SercomI2cMaster::add_to_report(nlohmann::json& report) const {
    if (!used_) return;
    nlohmann::json& section = report[module().name() + "_i2c_master"];
    section["scl_hz"] = scl_hz();
    section["bytes"] = bytes_;
    section["ignored_commands"] = ignored_commands_;
    section["dropped_writes"] = dropped_writes_;
}

}  // namespace vboard
