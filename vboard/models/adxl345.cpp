#include "adxl345.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <nlohmann/json.hpp>
#include <stdexcept>

#include "../src/board.h"

namespace vboard {

namespace {

struct RegisterInfo {
    const char* name;  // nullptr: reserved
    std::uint8_t reset;
    bool writable;
    // Bits that switch on a function this model does not have.
    std::uint8_t unmodelled;
};

const RegisterInfo& info(std::uint8_t reg) {
    static const RegisterInfo kReserved{nullptr, 0, false, 0};
    static const std::array<RegisterInfo, Adxl345::kRegisters> table = [] {
        std::array<RegisterInfo, Adxl345::kRegisters> t{};
        t.fill(kReserved);
        t[Adxl345::kDEVID] = {"DEVID", Adxl345::kDevidValue, false, 0};
        // Thresholds and times of tap, activity and free-fall detection:
        // stored; the functions they serve are reported when switched on.
        t[Adxl345::kTHRESH_TAP] = {"THRESH_TAP", 0, true, 0};
        t[Adxl345::kDUR] = {"DUR", 0, true, 0};
        t[Adxl345::kLATENT] = {"Latent", 0, true, 0};
        t[Adxl345::kWINDOW] = {"Window", 0, true, 0};
        t[Adxl345::kTHRESH_ACT] = {"THRESH_ACT", 0, true, 0};
        t[Adxl345::kTHRESH_INACT] = {"THRESH_INACT", 0, true, 0};
        t[Adxl345::kTIME_INACT] = {"TIME_INACT", 0, true, 0};
        t[Adxl345::kTHRESH_FF] = {"THRESH_FF", 0, true, 0};
        t[Adxl345::kTIME_FF] = {"TIME_FF", 0, true, 0};
        t[Adxl345::kOFSX] = {"OFSX", 0, true, 0};
        t[Adxl345::kOFSY] = {"OFSY", 0, true, 0};
        t[Adxl345::kOFSZ] = {"OFSZ", 0, true, 0};
        t[Adxl345::kACT_INACT_CTL] = {"ACT_INACT_CTL", 0, true, 0xFF};
        t[Adxl345::kTAP_AXES] = {"TAP_AXES", 0, true, 0x0F};
        t[Adxl345::kACT_TAP_STATUS] = {"ACT_TAP_STATUS", 0, false, 0};
        t[Adxl345::kBW_RATE] = {"BW_RATE", Adxl345::kBwRateReset, true, Adxl345::kLowPower};
        t[Adxl345::kPOWER_CTL] = {"POWER_CTL", 0, true, 0x37};    // Link, AUTO_SLEEP, Sleep, Wakeup
        t[Adxl345::kINT_ENABLE] = {"INT_ENABLE", 0, true, 0xFF};  // the interrupt pins go nowhere
        t[Adxl345::kINT_MAP] = {"INT_MAP", 0, true, 0};
        t[Adxl345::kINT_SOURCE] = {"INT_SOURCE", 0, false, 0};
        t[Adxl345::kDATA_FORMAT] = {"DATA_FORMAT", 0, true,
                                    Adxl345::kSelfTest | Adxl345::kSpi | Adxl345::kIntInvert};
        const char* data_names[] = {"DATAX0", "DATAX1", "DATAY0", "DATAY1", "DATAZ0", "DATAZ1"};
        for (unsigned i = 0; i < 6; ++i) t[Adxl345::kDATAX0 + i] = {data_names[i], 0, false, 0};
        t[Adxl345::kFIFO_CTL] = {"FIFO_CTL", 0, true, Adxl345::kFifoModeMask};
        t[Adxl345::kFIFO_STATUS] = {"FIFO_STATUS", 0, false, 0};
        return t;
    }();
    return reg < Adxl345::kRegisters ? table[reg] : kReserved;
}

bool is_data_register(std::uint8_t reg) {
    return reg >= Adxl345::kDATAX0 && reg <= Adxl345::kDATAZ1;
}

std::string hex8(std::uint8_t v) {
    char text[8];
    std::snprintf(text, sizeof text, "0x%02X", v);
    return text;
}

}  // namespace

Adxl345::Adxl345(Board& board, std::unique_ptr<AccelSource> source)
    : Peripheral(board, "ADXL345 (I2C 0x53)", kFindingsKey, 0), source_(std::move(source)) {
    power_up();
}

void Adxl345::power_up() {
    for (unsigned r = 0; r < kRegisters; ++r) regs_[r] = info(static_cast<std::uint8_t>(r)).reset;
    pointer_ = 0;
    pointer_pending_ = false;
    reading_ = false;
    latched_.fill(0);
    measure_start_ = kNever;
    sample_index_ = acknowledged_index_ = 0;
}

// ---------------------------------------------------------------- sampling

SimTime Adxl345::output_period() const {
    const unsigned code = regs_[kBW_RATE] & kRateMask;
    return kSecond * (std::uint64_t{1} << (kFastestRateCode - code)) / kFastestRateHz;
}

double Adxl345::output_rate_hz() const {
    return static_cast<double>(kSecond) / static_cast<double>(output_period());
}

std::int16_t Adxl345::code_for(double g, std::int8_t offset_register) const {
    const std::uint8_t format = regs_[kDATA_FORMAT];
    const unsigned range = format & kRangeMask;  // ±2, 4, 8, 16 g
    const bool full_res = (format & kFullRes) != 0;
    const unsigned bits = full_res ? kBaseBits + range : kBaseBits;
    const double counts_per_g =
        full_res ? kCountsPerG : kCountsPerG / static_cast<double>(1u << range);
    const double total = g + offset_register * kOffsetGPerCount;
    const long lowest = -(1L << (bits - 1)), highest = (1L << (bits - 1)) - 1;
    const long counts = std::clamp(std::lround(total * counts_per_g), lowest, highest);
    const long justified = (format & kJustify) ? counts * (1L << (16 - bits)) : counts;
    return static_cast<std::int16_t>(justified);
}

void Adxl345::update_samples(SimTime t) {
    if (!measuring() || measure_start_ == kNever || t < measure_start_) return;
    const std::uint64_t index = (t - measure_start_) / output_period();
    if (index <= sample_index_) return;
    sample_index_ = index;
    const Acceleration a = source_->at(measure_start_ + index * output_period());
    const double axes[3] = {a.x, a.y, a.z};
    for (unsigned axis = 0; axis < 3; ++axis) {
        const auto code = static_cast<std::uint16_t>(
            code_for(axes[axis], static_cast<std::int8_t>(regs_[kOFSX + axis])));
        regs_[kDATAX0 + 2 * axis] = static_cast<std::uint8_t>(code & 0xFF);
        regs_[kDATAX0 + 2 * axis + 1] = static_cast<std::uint8_t>(code >> 8);
    }
}

// ---------------------------------------------------------------- registers

std::uint8_t Adxl345::read_register(SimTime t, std::uint8_t reg) {
    if (is_data_register(reg)) {
        if (!reading_) update_samples(t);
        acknowledged_index_ = sample_index_;
        ++samples_read_;
        return reading_ ? latched_[reg - kDATAX0] : regs_[reg];
    }
    if (reg == kINT_SOURCE) {
        update_samples(t);
        std::uint8_t flags = 0;
        if (sample_index_ > acknowledged_index_) flags |= kDataReady;
        if (sample_index_ > acknowledged_index_ + 1) flags |= kOverrun;
        acknowledged_index_ = sample_index_;
        return flags;
    }
    return reg < kRegisters ? regs_[reg] : 0;
}

void Adxl345::write_register(SimTime t, std::uint8_t reg, std::uint8_t value) {
    const RegisterInfo& r = info(reg);
    if (r.name == nullptr) {
        note(Finding::Unsupported, reg,
             name() + ": write of " + hex8(value) + " to reserved register " + hex8(reg));
        return;
    }
    if (!r.writable) {
        note(Finding::ReadOnlyWrite, reg,
             name() + ": write of " + hex8(value) + " to read-only " + r.name);
        return;
    }
    if (value & r.unmodelled)
        note(Finding::UnmodelledField, reg,
             name() + ": " + r.name + " = " + hex8(value) +
                 " switches on a function this model does not have");
    update_samples(t);
    const bool was_measuring = measuring();
    const std::uint8_t old_rate = regs_[kBW_RATE] & kRateMask;
    regs_[reg] = value;
    // A new rate or the start of measurement restarts the sample clock; the
    // data registers keep the last sample until the next one.
    const bool restart = (measuring() && !was_measuring) ||
                         (measuring() && (regs_[kBW_RATE] & kRateMask) != old_rate);
    if (restart) {
        measure_start_ = t;
        sample_index_ = acknowledged_index_ = 0;
    }
    if (!measuring()) measure_start_ = kNever;
}

// ---------------------------------------------------------------- I2C

bool Adxl345::on_address(SimTime t, bool read) {
    if (absent(t, read)) return false;
    reading_ = read;
    pointer_pending_ = !read;
    if (read) {
        update_samples(t);
        std::copy(regs_.begin() + kDATAX0, regs_.begin() + kDATAZ1 + 1, latched_.begin());
    }
    return true;
}

bool Adxl345::on_write(SimTime t, std::uint8_t byte) {
    if (refuse_byte(t)) return false;
    if (pointer_pending_) {
        pointer_ = byte;
        pointer_pending_ = false;
    } else {
        write_register(t, pointer_, byte);
        ++pointer_;
    }
    return true;
}

std::uint8_t Adxl345::on_read(SimTime t) {
    const std::uint8_t value = read_register(t, pointer_);
    ++pointer_;
    return value;
}

void Adxl345::on_stop(SimTime) {
    reading_ = false;
    pointer_pending_ = false;
}

// ---------------------------------------------------------------- faults

void Adxl345::observe_faults() {
    for (Absence& a : absent_) a.window.observe(now(), board().instructions());
    for (Refusal& r : nacks_) r.window.observe(now(), board().instructions());
}

bool Adxl345::absent(SimTime t, bool read) {
    observe_faults();
    return std::any_of(absent_.begin(), absent_.end(), [&](const Absence& a) {
        return a.window.active(t) && (read ? a.reads : a.writes);
    });
}

bool Adxl345::refuse_byte(SimTime t) {
    observe_faults();
    for (Refusal& r : nacks_) {
        if (r.remaining > 0 && r.window.active(t)) {
            --r.remaining;
            return true;
        }
    }
    return false;
}

bool Adxl345::arm_fault(const FaultSpec& fault) {
    if (fault.kind == "sensor-absent") {
        const std::string& arg = fault.argument;
        if (!arg.empty() && arg != "read" && arg != "write")
            throw std::invalid_argument("fault '" + fault.text +
                                        "': the direction is read or write");
        absent_.push_back({FaultWindow(fault), arg != "write", arg != "read"});
        return true;
    }
    if (fault.kind == "sensor-nack") {
        unsigned count = 1;
        if (!fault.argument.empty()) {
            char* end = nullptr;
            const unsigned long n = std::strtoul(fault.argument.c_str(), &end, 10);
            if (*end != '\0' || n == 0)
                throw std::invalid_argument("fault '" + fault.text +
                                            "': the argument is a byte count (1 or more)");
            count = static_cast<unsigned>(n);
        }
        nacks_.push_back({FaultWindow(fault), count});
        return true;
    }
    return false;
}

// ---------------------------------------------------------------- board

std::uint32_t Adxl345::read(std::uint32_t, unsigned) {
    return 0;
}  // no address window
void Adxl345::write(std::uint32_t, unsigned, std::uint32_t) {}

void Adxl345::reset() {
    // Only a power cycle reaches the sensor; the microcontroller's other
    // resets leave it as it was.
    const auto& resets = board().resets();
    if (!resets.empty() && resets.back().cause == ResetCause::PowerOn) power_up();
}

void Adxl345::add_to_report(nlohmann::json& report) const {
    nlohmann::json& section = report["adxl345"];
    section["source"] = source_->describe();
    section["measuring"] = measuring();
    section["output_rate_hz"] = output_rate_hz();
    section["data_format"] = regs_[kDATA_FORMAT];
    section["data_register_reads"] = samples_read_;
}

}  // namespace vboard
