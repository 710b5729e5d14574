#include "sercom_usart.h"

#include <algorithm>
#include <cstdio>
#include <nlohmann/json.hpp>
#include <stdexcept>

#include "../src/board.h"
#include "../src/fault_spec.h"
#include "../src/register_access.h"
#include "../src/serial_line.h"
#include "port.h"
#include "usart_frame.h"

namespace vboard {

namespace {

constexpr std::uint32_t kAll = 0xFFFFFFFF;
constexpr std::uint32_t kCtrlaModelled =
    SercomUsart::kSwrst | SercomUsart::kEnable | SercomUsart::kModeMask | SercomUsart::kSamprMask |
    SercomUsart::kTxpoMask | SercomUsart::kRxpoMask | SercomUsart::kFormMask | SercomUsart::kDord;
constexpr std::uint32_t kCtrlbModelled = SercomUsart::kChsizeMask | SercomUsart::kSbmode |
                                         SercomUsart::kPmode | SercomUsart::kTxen |
                                         SercomUsart::kRxen;
constexpr std::uint32_t kInterruptsModelled =
    SercomUsart::kDre | SercomUsart::kTxc | SercomUsart::kRxc | SercomUsart::kError;
// Flags that writing 1 clears (DRE and RXC follow the buffers only).
constexpr std::uint8_t kFlagsWriteOneToClear = SercomUsart::kTxc | SercomUsart::kRxs |
                                               SercomUsart::kCtsic | SercomUsart::kRxbrk |
                                               SercomUsart::kError;
constexpr std::uint16_t kStatusWriteOneToClear = SercomUsart::kPerr | SercomUsart::kFerr |
                                                 SercomUsart::kBufovf | SercomUsart::kIsf |
                                                 SercomUsart::kColl;
// Bits that enable protection freezes while the module is enabled.
constexpr std::uint32_t kCtrlaProtected = ~(SercomUsart::kSwrst | SercomUsart::kEnable);
constexpr std::uint32_t kCtrlbProtected = ~(SercomUsart::kTxen | SercomUsart::kRxen);
// TXPO code that puts the transmitter on pad 2.
constexpr std::uint32_t kTxpoPad2 = 1;
constexpr unsigned kLineDataBits = 8;
constexpr std::uint8_t kByteMask = 0xFF;

// Keys of the findings reported once per module. The board keeps one entry
// per address; these take addresses past the register map, one each.
constexpr std::uint32_t kOnceKeyBase = 0x100;
enum Once : unsigned {
    kOnceNoClock,
    kOnceTxNoClock,
    kOnceExternalClock,
    kOnceForm,
    kOnceSampr,
    kOnceTxpo,
    kOnceChsize,
    kOnceLineFormat,
    kOnceTxNotRouted,
    kOnceRxNotRouted,
};

std::string hex(std::uint32_t v) {
    char text[16];
    std::snprintf(text, sizeof text, "0x%x", v);
    return text;
}

}  // namespace

const SercomUsart::Register SercomUsart::kRegisters[] = {
    {"CTRLA", kCTRLA, 4, kCtrlaModelled}, {"CTRLB", kCTRLB, 4, kCtrlbModelled},
    {"BAUD", kBAUD, 2, 0xFFFF},           {"RXPL", kRXPL, 1, 0},
    {"INTENCLR", kINTENCLR, 1, kAll},     {"INTENSET", kINTENSET, 1, kInterruptsModelled},
    {"INTFLAG", kINTFLAG, 1, kAll},       {"STATUS", kSTATUS, 2, kAll},
    {"SYNCBUSY", kSYNCBUSY, 4, kAll},     {"DATA", kDATA, 2, kAll},
    {"DBGCTRL", kDBGCTRL, 1, 0},
};

SercomUsart::SercomUsart(Sercom& module) : SercomFunction(module) {
    if (module.index() != kLineModule) return;
    const BoardOptions& options = module.module_board().options();
    const SerialLine::Ends ends{options.uart1_out, options.uart1_in,
                                options.uart1_pty || options.uart1_pty_wait, options.realtime,
                                options.uart1_pty_wait};
    if (!SerialLine::any(ends)) return;
    line_ = std::make_unique<SerialLine>(ends);
    service_at_ = 0;
}

SercomUsart::~SercomUsart() = default;

// ---------------------------------------------------------------- registers

void SercomUsart::reset() {
    ctrla_ = 0;
    ctrlb_ = 0;
    baud_ = 0;
    rxpl_ = 0;
    intenset_ = 0;
    intflag_ = 0;
    status_ = 0;
    dbgctrl_ = 0;
    last_read_ = 0;
    swrst_done_ = 0;
    enable_done_ = kNever;
    ctrlb_done_ = kNever;
    enabled_ = false;
    txen_ = false;
    rxen_ = false;
    tx_buffer_.reset();
    tx_shift_.reset();
    tx_frame_end_ = kNever;
    rx_buffer_.clear();
    rx_shift_.reset();
    arriving_kept_ = false;  // a frame on its way is lost; the far end goes on
    module().module_reschedule();
}

const SercomUsart::Register* SercomUsart::locate(std::uint32_t at) {
    for (const Register& r : kRegisters)
        if (at >= r.offset && at < r.offset + r.width) return &r;
    return nullptr;
}

std::uint32_t SercomUsart::read(std::uint32_t offset, unsigned width) {
    catch_up();
    std::uint32_t result = 0;
    split_access(
        offset, width, &SercomUsart::locate,
        [&](const Register& reg, const AccessPart& part) {
            result |= part.place(read_register(reg));
        },
        [&](std::uint32_t at) {
            module().module_note(Finding::UnclaimedAccess, at,
                                 module().name() + ": read of unimplemented offset " + hex(at));
        });
    update_irq();
    return result;
}

void SercomUsart::write(std::uint32_t offset, unsigned width, std::uint32_t value) {
    catch_up();
    ++register_writes_;
    split_access(
        offset, width, &SercomUsart::locate,
        [&](const Register& reg, const AccessPart& part) {
            write_register(reg, part.bits_of(value), part.mask());
        },
        [&](std::uint32_t at) {
            module().module_note(Finding::UnclaimedAccess, at,
                                 module().name() + ": write of unimplemented offset " + hex(at));
        });
    update_irq();
    module().module_reschedule();
}

std::uint32_t SercomUsart::read_register(const Register& reg) {
    switch (reg.offset) {
        case kCTRLA:
            return ctrla_ | (swrst_busy() ? kSwrst : 0);
        case kCTRLB:
            return ctrlb_;
        case kBAUD:
            return baud_;
        case kRXPL:
            return rxpl_;
        case kINTENCLR:
        case kINTENSET:
            return intenset_;
        case kINTFLAG:
            return intflag();
        case kSTATUS:
            return status_;
        case kSYNCBUSY:
            return (swrst_busy() ? kSyncSwrst : 0) | (enable_done_ != kNever ? kSyncEnable : 0) |
                   (ctrlb_done_ != kNever ? kSyncCtrlb : 0);
        case kDATA:
            return read_data();
        case kDBGCTRL:
            return dbgctrl_;
        default:
            return 0;
    }
}

void SercomUsart::write_register(const Register& reg, std::uint32_t value, std::uint32_t mask) {
    const auto where = [&] { return module().name() + " " + reg.name; };
    if (reg.offset == kSYNCBUSY) {
        module().module_note(Finding::ReadOnlyWrite, reg.offset,
                             where() + ": write of read-only register");
        return;
    }
    // A software reset reaches write_ctrla only through the dispatcher,
    // which has reset the module already.
    const bool swrst = reg.offset == kCTRLA && (value & mask & kSwrst);
    if (!swrst && (swrst_busy() || enable_done_ != kNever)) {
        module().module_note(Finding::Unsupported, reg.offset,
                             where() +
                                 ": written while SWRST or ENABLE synchronises "
                                 "(dropped; a bus error on the chip)");
        return;
    }
    report_unmodelled(reg, value & mask & ~reg.modelled);
    switch (reg.offset) {
        case kCTRLA:
            return write_ctrla((ctrla_ & ~mask) | (value & mask));
        case kCTRLB:
            return write_ctrlb((ctrlb_ & ~mask) | (value & mask));
        case kBAUD:
            if (enabled_ || (ctrla_ & kEnable)) {
                module().module_note(
                    Finding::Unsupported, reg.offset,
                    where() + ": written while enabled (enable-protected, dropped)");
                return;
            }
            baud_ = static_cast<std::uint16_t>((baud_ & ~mask) | (value & mask));
            return;
        case kRXPL:
            rxpl_ = static_cast<std::uint8_t>(value & mask);
            return;
        case kINTENCLR:
            intenset_ = static_cast<std::uint8_t>(intenset_ & ~(value & mask));
            return;
        case kINTENSET:
            intenset_ = static_cast<std::uint8_t>(intenset_ | (value & mask));
            return;
        case kINTFLAG:
            intflag_ =
                static_cast<std::uint8_t>(intflag_ & ~(value & mask & kFlagsWriteOneToClear));
            return;
        case kSTATUS:
            status_ =
                static_cast<std::uint16_t>(status_ & ~(value & mask & kStatusWriteOneToClear));
            return;
        case kDATA:
            return write_data(static_cast<std::uint16_t>(value & mask & kDataMask));
        case kDBGCTRL:
            dbgctrl_ = static_cast<std::uint8_t>(value & mask);
            return;
        default:
            return;
    }
}

void SercomUsart::write_ctrla(std::uint32_t value) {
    const auto where = [&] { return module().name() + " CTRLA"; };
    if (value & kSwrst) {
        // Every register is back at its reset value (the dispatcher did it);
        // the reset shows in CTRLA and SYNCBUSY until it has synchronised.
        swrst_done_ = sync_done_time();
        return;
    }
    if ((enabled_ || (ctrla_ & kEnable)) && ((value ^ ctrla_) & kCtrlaProtected)) {
        module().module_note(Finding::Unsupported, kCTRLA,
                             where() +
                                 ": enable-protected bits written while "
                                 "enabled (dropped; unconfirmed detail)");
        value = (ctrla_ & kCtrlaProtected) | (value & ~kCtrlaProtected);
    }
    const std::uint32_t form = (value & kFormMask) >> kFormPos;
    if (form != usart::kFormPlain && form != usart::kFormParity)
        report_once(kOnceForm, where() + ": FORM " + std::to_string(form) +
                                   " (auto-baud or reserved) not modelled");
    if (!usart::samples_per_bit((value & kSamprMask) >> kSamprPos))
        report_once(kOnceSampr, where() + ": reserved SAMPR code");
    if (((value & kTxpoMask) >> kTxpoPos) == 3)
        report_once(kOnceTxpo, where() + ": reserved TXPO code");
    const bool enable_changes = ((value ^ ctrla_) & kEnable) != 0;
    ctrla_ = value;
    if (enable_changes) {
        if ((value & kEnable) && ((value & kModeMask) >> kModePos) != kModeInternalClock)
            report_once(kOnceExternalClock, where() +
                                                ": enabled with the external clock (MODE 0), not "
                                                "modelled: no bit clock");
        enable_done_ = sync_done_time();
    }
}

void SercomUsart::write_ctrlb(std::uint32_t value) {
    const auto where = [&] { return module().name() + " CTRLB"; };
    if (!usart::data_bits(value))
        report_once(kOnceChsize,
                    where() + ": reserved CHSIZE code " + std::to_string(value & kChsizeMask));
    if (enabled_) {
        if (ctrlb_done_ != kNever) {
            module().module_note(Finding::Unsupported, kCTRLB,
                                 where() + ": written while synchronising (dropped)");
            return;
        }
        if ((value ^ ctrlb_) & kCtrlbProtected) {
            module().module_note(Finding::Unsupported, kCTRLB,
                                 where() +
                                     ": enable-protected bits written while "
                                     "enabled (dropped; unconfirmed detail)");
            value = (ctrlb_ & kCtrlbProtected) | (value & ~kCtrlbProtected);
        }
        ctrlb_ = value;
        ctrlb_done_ = sync_done_time();
        return;
    }
    ctrlb_ = value;
    apply_ctrlb();
}

std::uint8_t SercomUsart::intflag() const {
    std::uint8_t flags = intflag_;
    if (transmitter_on() && !tx_buffer_) flags |= kDre;
    if (!rx_buffer_.empty()) flags |= kRxc;
    return flags;
}

void SercomUsart::write_data(std::uint16_t value) {
    const auto where = [&] { return module().name() + " DATA"; };
    if (!transmitter_on()) {
        module().module_note(Finding::Unsupported, kDATA,
                             where() + ": written with the transmitter off (character dropped)");
        return;
    }
    if (tx_buffer_) {
        module().module_note(Finding::Unsupported, kDATA,
                             where() + ": written while DRE is 0 (character dropped)");
        return;
    }
    tx_buffer_ = value;
    intflag_ &= static_cast<std::uint8_t>(~kTxc);
    if (!tx_shift_) start_frame(module().module_now());
}

std::uint16_t SercomUsart::read_data() {
    if (rx_buffer_.empty()) return last_read_;
    last_read_ = rx_buffer_.front().data;
    rx_buffer_.pop_front();
    if (rx_shift_) {
        enter_receive_buffer(*rx_shift_);
        rx_shift_.reset();
    }
    return last_read_;
}

void SercomUsart::report_unmodelled(const Register& reg, std::uint32_t bits) {
    if (bits == 0) return;
    const unsigned index = static_cast<unsigned>(&reg - kRegisters);
    if (unmodelled_reported_ & (1u << index)) return;
    unmodelled_reported_ |= 1u << index;
    module().module_note(
        Finding::UnmodelledField, reg.offset,
        module().name() + " " + reg.name + ": bits " + hex(bits) + " written, not modelled");
}

void SercomUsart::report_once(unsigned key, const std::string& text) {
    if (reported_ & (1u << key)) return;
    reported_ |= 1u << key;
    module().module_note(Finding::Unsupported, kOnceKeyBase + key, text);
}

// ----------------------------------------------------------------
// synchronisation

bool SercomUsart::swrst_busy() const {
    return module().module_now() < swrst_done_;
}

SimTime SercomUsart::sync_done_time() {
    const std::uint32_t hz = module().core_clock_hz();
    if (hz == 0) {
        report_once(kOnceNoClock,
                    module().name() + ": synchronisation without a core clock never completes");
        return kNever - 1;  // busy for ever, yet distinct from "nothing pending"
    }
    return module().module_now() + kSyncPeriods * period_of(hz);
}

void SercomUsart::apply_enable() {
    enable_done_ = kNever;
    const bool on = (ctrla_ & kEnable) != 0;
    if (on == enabled_) return;
    enabled_ = on;
    if (on) {
        apply_ctrlb();
        return;
    }
    // Disabled: the transmitter stops where it is, the receiver is flushed.
    tx_buffer_.reset();
    tx_shift_.reset();
    tx_frame_end_ = kNever;
    flush_receiver();
}

void SercomUsart::apply_ctrlb() {
    ctrlb_done_ = kNever;
    txen_ = (ctrlb_ & kTxen) != 0;
    const bool rx = (ctrlb_ & kRxen) != 0;
    if (rxen_ && !rx) flush_receiver();
    rxen_ = rx;
}

void SercomUsart::flush_receiver() {
    rx_buffer_.clear();
    rx_shift_.reset();
    arriving_kept_ = false;
}

// ---------------------------------------------------------------- timing

SimTime SercomUsart::bit_time() const {
    if (((ctrla_ & kModeMask) >> kModePos) != kModeInternalClock) return kNever;
    return usart::bit_time(ctrla_, baud_, module().core_clock_hz());
}

SimTime SercomUsart::frame_time() const {
    const SimTime bit = bit_time();
    return bit == kNever ? kNever : bit * usart::frame_bits(ctrla_, ctrlb_);
}

SimTime SercomUsart::next_event() const {
    SimTime t = std::min({enable_done_, ctrlb_done_, tx_frame_end_, arriving_end_, service_at_});
    if (!scheduled_.empty()) t = std::min(t, scheduled_.begin()->first);
    return t;
}

void SercomUsart::advance(SimTime now) {
    // Every event due, in time order; a frame that follows another starts
    // where the previous one ended.
    for (;;) {
        const SimTime t = next_event();
        if (t > now) break;
        if (enable_done_ == t) {
            apply_enable();
        } else if (ctrlb_done_ == t) {
            apply_ctrlb();
        } else if (tx_frame_end_ == t) {
            finish_frame(t);
        } else if (arriving_end_ == t) {
            finish_arrival(t);
        } else if (!scheduled_.empty() && scheduled_.begin()->first == t) {
            far_end_.push_back(scheduled_.begin()->second);
            scheduled_.erase(scheduled_.begin());
            start_arrivals(t);
        } else {
            service_at_ = t + SerialLine::kServicePeriod;
            line_->service(t);
            take_from_line(t);
        }
    }
    update_irq();
    module().module_reschedule();
}

void SercomUsart::catch_up() {
    const SimTime now = module().module_now();
    if (next_event() <= now) advance(now);
}

// ---------------------------------------------------------------- transmitter

void SercomUsart::start_frame(SimTime t) {
    tx_shift_ = *tx_buffer_;
    tx_buffer_.reset();
    if (transmitted_.size() == kTransmitLogLimit) transmitted_.pop_front();
    transmitted_.push_back({t, *tx_shift_});
    ++transmitted_count_;
    const SimTime frame = frame_time();
    if (frame == kNever)
        report_once(kOnceTxNoClock,
                    module().name() + ": transmitting without a bit clock: the frame never ends");
    tx_frame_end_ = frame == kNever ? kNever : t + frame;
}

void SercomUsart::finish_frame(SimTime t) {
    const std::uint16_t data = *tx_shift_;
    tx_shift_.reset();
    tx_frame_end_ = kNever;
    if (line_ && line_tx_routed()) {
        if (usart::data_bits(ctrlb_) != kLineDataBits || !(ctrla_ & kDord))
            report_once(kOnceLineFormat, module().name() +
                                             ": frames other than 8 data bits LSB first reach the "
                                             "line ends as their low 8 data bits");
        line_->deliver(static_cast<std::uint8_t>(data & kByteMask));
    }
    if (tx_buffer_) {
        start_frame(t);
    } else {
        intflag_ |= kTxc;
    }
}

bool SercomUsart::line_tx_routed() {
    const PinView pin = module().module_board().model<Port>().pin(kLineTxPin);
    const bool on_pad = ((ctrla_ & kTxpoMask) >> kTxpoPos) == kTxpoPad2;
    if (on_pad && pin.muxed && pin.function == kLineFunction) return true;
    report_once(kOnceTxNotRouted, module().name() +
                                      ": transmitting, but the transmitter does not reach PA18 "
                                      "(TXPO pad 2 and PA18 on function C): nothing on the line");
    return false;
}

bool SercomUsart::line_rx_routed() {
    const PinView pin = module().module_board().model<Port>().pin(kLineRxPin);
    const bool on_pad = ((ctrla_ & kRxpoMask) >> kRxpoPos) == kLineRxPad;
    if (on_pad && pin.muxed && pin.function == kLineFunction) return true;
    report_once(kOnceRxNotRouted, module().name() +
                                      ": receiver on, but PA19 does not reach it (RXPO pad 3 and "
                                      "PA19 on function C): the line's bytes wait");
    return false;
}

// ---------------------------------------------------------------- receiver

void SercomUsart::receive(std::uint8_t byte, bool frame_error) {
    catch_up();
    far_end_.push_back({byte, frame_error});
    start_arrivals(module().module_now());
    update_irq();
    module().module_reschedule();
}

void SercomUsart::start_arrivals(SimTime t) {
    while (!arriving_ && !far_end_.empty()) {
        const Frame frame = far_end_.front();
        far_end_.pop_front();
        const SimTime duration = frame_time();
        if (!receiver_on() || duration == kNever) {
            ++lost_receiver_off_;  // nobody listens
            continue;
        }
        // The buffer and the shift register are full: the new frame is lost.
        arriving_kept_ = !(rx_buffer_.size() == kReceiveBufferLevels && rx_shift_);
        if (!arriving_kept_) {
            status_ |= kBufovf;
            intflag_ |= kError;
            ++overflows_;
        }
        arriving_ = frame;
        arriving_end_ = t + duration;
    }
}

void SercomUsart::finish_arrival(SimTime t) {
    const Frame frame = *arriving_;
    arriving_.reset();
    arriving_end_ = kNever;
    if (arriving_kept_ && receiver_on()) {
        if (rx_buffer_.size() < kReceiveBufferLevels) {
            enter_receive_buffer(frame);
        } else {
            rx_shift_ = frame;
        }
    }
    arriving_kept_ = false;
    start_arrivals(t);
    take_from_line(t);
}

void SercomUsart::take_from_line(SimTime t) {
    if (!line_ || arriving_ || !far_end_.empty() || !receiver_on() || !line_->has_incoming())
        return;
    if (!line_rx_routed()) return;
    far_end_.push_back({line_->take_incoming(), false});
    start_arrivals(t);
}

void SercomUsart::enter_receive_buffer(const Frame& frame) {
    rx_buffer_.push_back(frame);
    ++received_;
    if (frame.frame_error) {
        status_ |= kFerr;
        intflag_ |= kError;
        ++frame_errors_;
    }
}

// ---------------------------------------------------------------- interrupt,
// faults, report

void SercomUsart::update_irq() {
    if (module().mode() != Sercom::kUsartExternalClock &&
        module().mode() != Sercom::kUsartInternalClock)
        return;
    module().drive_irq((intflag() & intenset_) != 0);
}

bool SercomUsart::arm_fault(const FaultSpec& fault) {
    if (fault.kind != "uart1-frame-error" || module().index() != kLineModule) return false;
    if (!fault.start || fault.start->kind != TimePoint::Kind::Time || fault.end)
        throw std::invalid_argument(
            "uart1-frame-error needs one time, e.g. uart1-frame-error:0x55@1.5s");
    std::uint32_t byte = 0;
    if (!fault.argument.empty()) {
        std::size_t used = 0;
        byte = static_cast<std::uint32_t>(std::stoul(fault.argument, &used, 0));
        if (used != fault.argument.size() || byte > kByteMask)
            throw std::invalid_argument("uart1-frame-error: the argument is a byte, 0 to 255");
    }
    scheduled_.emplace(fault.start->value, Frame{static_cast<std::uint16_t>(byte), true});
    module().module_reschedule();
    return true;
}

void SercomUsart::add_to_report(nlohmann::json& report) const {
    if (transmitted_count_ == 0 && received_ == 0 && lost_receiver_off_ == 0 && !line_) return;
    nlohmann::json section = {{"transmitted", transmitted_count_},
                              {"received", received_},
                              {"overflows", overflows_},
                              {"frame_errors", frame_errors_},
                              {"lost_receiver_off", lost_receiver_off_}};
    if (line_) line_->add_to_report(section["line"]);
    report["serial"][module().name()] = section;
}

}  // namespace vboard
