#include "board.h"

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <stdexcept>

#include "../models/gclk.h"
#include "../models/mclk.h"
#include "../models/scb.h"

namespace vboard {

namespace {

// QEMU exception numbers that Unicorn hands to the interrupt hook.
constexpr std::uint32_t kIntUndefinedInstruction = 1;
constexpr std::uint32_t kIntSupervisorCall = 2;
constexpr std::uint32_t kIntPrefetchAbort = 3;
constexpr std::uint32_t kIntDataAbort = 4;  // unaligned access among them
constexpr std::uint32_t kIntBreakpoint = 7;
constexpr std::uint32_t kIntExceptionExit = 8;

// Cortex-M0+ exception entry and return latency, in cycles.
constexpr std::uint32_t kExceptionEntryCycles = 15;
constexpr std::uint32_t kExceptionReturnCycles = 13;

std::string hex(std::uint32_t v) {
    char text[16];
    std::snprintf(text, sizeof text, "0x%08x", v);
    return text;
}

const char* exception_name(unsigned exc) {
    static const char* const kSystem[16] = {"", "Reset", "NMI",    "HardFault", "", "",
                                            "", "",      "",       "",          "", "SVCall",
                                            "", "",      "PendSV", "SysTick"};
    static const char* const kIrq[29] = {
        "SYSTEM",  "WDT",     "RTC",     "EIC",         "NVMCTRL",     "DMAC",    "USB",  "EVSYS",
        "SERCOM0", "SERCOM1", "SERCOM2", "SERCOM3",     "SERCOM4",     "SERCOM5", "TCC0", "TCC1",
        "TCC2",    "TC0",     "TC1",     "reserved 19", "reserved 20", "TC4",     "ADC",  "AC",
        "DAC",     "PTC",     "AES",     "TRNG",        "reserved 28"};
    if (exc < 16) return kSystem[exc];
    if (exc - 16 < 29) return kIrq[exc - 16];
    return "?";
}

}  // namespace

const char* stop_reason_name(StopReason reason) {
    switch (reason) {
        case StopReason::TimeLimit:
            return "time-limit";
        case StopReason::InstructionLimit:
            return "instruction-limit";
        case StopReason::Breakpoint:
            return "breakpoint";
        case StopReason::CallReturned:
            return "call-returned";
        case StopReason::Fault:
            return "fault";
        case StopReason::PowerCut:
            return "power-cut";
        case StopReason::Requested:
            return "requested";
    }
    return "?";
}

const char* reset_cause_name(ResetCause cause) {
    switch (cause) {
        case ResetCause::PowerOn:
            return "power-on";
        case ResetCause::Watchdog:
            return "watchdog";
        case ResetCause::SystemResetRequest:
            return "system-reset-request";
    }
    return "?";
}

Board::Board(BoardOptions options)
    : options_(std::move(options)),
      image_(options_.firmware),
      cpu_(std::make_unique<Cpu>(*this)),
      bus_(*this) {
    using namespace memory_map;
    diagnostics_.set_quiet(options_.quiet);
    cpu_->map_memory(kFlashBase, kFlashSize, UC_PROT_READ | UC_PROT_EXEC);
    cpu_->map_memory(kNvmUserRow, kNvmPageWindow, UC_PROT_READ);
    cpu_->map_memory(kNvmOtpArea, kNvmPageWindow, UC_PROT_READ);
    cpu_->map_memory(kRamBase, kRamSize, UC_PROT_ALL);
    cpu_->map_memory(kLpRamBase, kLpRamSize, UC_PROT_ALL);
    cpu_->map_memory(kCallReturnTrap, kNvmPageWindow, UC_PROT_READ | UC_PROT_EXEC);
    for (const IoWindow& w : Bus::io_windows()) cpu_->map_io(w.base, w.size);

    install_models(*this);
    load_image();
    if (auto s = image_.find("HardFault_Handler")) hardfault_handler_ = s->address;
    if (auto s = image_.find("Dummy_Handler")) dummy_handler_ = s->address;
    arm_faults();
    reset(ResetCause::PowerOn);
}

Board::~Board() = default;

std::size_t Board::next_model_slot() {
    static std::atomic<std::size_t> next{0};
    return next++;
}

Peripheral& Board::add_model(std::unique_ptr<Peripheral> model) {
    model_cache_.clear();  // a cached answer may now be ambiguous; look again
    bus_.attach(*model);
    models_.push_back(std::move(model));
    return *models_.back();
}

void Board::load_image() {
    using namespace memory_map;
    for (const Segment& s : image_.segments()) {
        const std::uint32_t end = s.address + static_cast<std::uint32_t>(s.bytes.size());
        const bool in_flash = s.address >= kFlashBase && end <= kFlashBase + kFlashSize;
        const bool in_ram = s.address >= kRamBase && end <= kRamBase + kRamSize;
        if (!in_flash && !in_ram)
            throw std::runtime_error(image_.path() + ": segment at " + hex(s.address) +
                                     " lies outside flash and RAM");
        cpu_->write_memory(s.address, s.bytes.data(), s.bytes.size());
    }
    // The factory-programmed software calibration word: the ADC biases the
    // firmware copies into ADC CALIB (values of a typical part).
    constexpr std::uint32_t kCalibrationWord = 0x0000001B;  // BIASREFBUF 3, BIASCOMP 3
    write32(kNvmSoftwareCalibration, kCalibrationWord);
}

void Board::arm_faults() {
    for (const FaultSpec& fault : options_.faults) {
        bool claimed = false;
        for (const auto& m : models_) claimed = claimed || m->arm_fault(fault);
        if (!claimed) throw std::invalid_argument("unknown fault '" + fault.text + "'");
    }
}

// ---------------------------------------------------------------- running

RunResult Board::run_for(SimTime duration) {
    return run(duration == kNever ? kNever : now_ + duration, UINT64_MAX);
}

RunResult Board::run_instructions(std::uint64_t count) {
    return run(kNever, instructions_ + count);
}

RunResult Board::run_until(std::uint32_t address, SimTime limit) {
    breakpoints_.insert(address & ~1u);
    RunResult result = run(now_ + limit, UINT64_MAX);
    breakpoints_.erase(address & ~1u);
    return result;
}

RunResult Board::run_until(const std::string& symbol_name, SimTime limit) {
    return run_until(symbol(symbol_name), limit);
}

std::uint32_t Board::call(std::uint32_t address, const std::vector<std::uint32_t>& args,
                          SimTime limit) {
    if (calling_) throw std::logic_error("harness calls do not nest");
    if (args.size() > 4)
        throw std::invalid_argument("harness calls take at most four word arguments");
    const CpuContext saved = cpu_->save();
    for (std::size_t i = 0; i < args.size(); ++i)
        cpu_->set_reg(UC_ARM_REG_R0 + static_cast<int>(i), args[i]);
    cpu_->set_reg(UC_ARM_REG_LR, memory_map::kCallReturnTrap | 1u);
    cpu_->set_pc(address);
    calling_ = true;
    const RunResult result = run(now_ + limit, UINT64_MAX);
    calling_ = false;
    if (result.reason != StopReason::CallReturned) {
        const std::string where = describe(address);
        if (result.reason != StopReason::Fault) cpu_->restore(saved);
        throw std::runtime_error("call of " + where +
                                 " did not return: " + stop_reason_name(result.reason) +
                                 (result.message.empty() ? "" : ": " + result.message));
    }
    const std::uint32_t r0 = cpu_->reg(UC_ARM_REG_R0);
    cpu_->restore(saved);
    return r0;
}

std::uint32_t Board::call(const std::string& function, const std::vector<std::uint32_t>& args,
                          SimTime limit) {
    const Symbol& s = image_.symbol(function);
    if (!s.function) throw std::invalid_argument(function + " is not a function");
    return call(s.address, args, limit);
}

std::uint64_t Board::hits(std::uint32_t address) const {
    const auto it = hit_counts_.find(address & ~1u);
    return it == hit_counts_.end() ? 0 : it->second;
}

void Board::request_stop(StopReason reason, const std::string& message) {
    requested_stop_reason_ = reason;
    requested_stop_message_ = message;
    flags_ |= kStopRequested;
}

RunResult Board::run(SimTime time_limit, std::uint64_t instruction_limit) {
    stop_.reset();
    time_limit_ = time_limit;
    instruction_limit_ = instruction_limit;
    flags_ |= kDeadlineDirty;
    horizon_ = 0;  // take the slow path on the first block
    skip_break_at_ = cpu_->pc() & ~1u;
    while (!stop_) {
        const uc_err err = cpu_->run();
        if (stop_) break;
        const std::uint32_t pc_now = cpu_->pc();
        if (err == UC_ERR_OK) {
            // The core went to sleep (WFI): time jumps to the next event.
            recompute_deadline();
            if (!exceptions_.anything_pending()) {
                const SimTime wake = std::min(next_deadline_, time_limit_);
                if (wake == kNever) {
                    stop_now(StopReason::Fault, "the processor sleeps and nothing will wake it");
                    break;
                }
                if (wake > now_) now_ = wake;
            }
            continue;
        }
        // Everything else the engine refuses is a bus fault or an
        // undefined instruction on the chip: both end in HardFault.
        std::string what = pending_fault_.empty() ? std::string(uc_strerror(err)) : pending_fault_;
        pending_fault_.clear();
        if (exceptions_.active(exception::kHardFault)) {
            stop_now(StopReason::Fault,
                     "lockup: fault inside HardFault handler: " + what + " at " + describe(pc_now));
            break;
        }
        fault(what, pc_now);
    }
    RunResult result = *stop_;
    return result;
}

void Board::stop_now(StopReason reason, std::string message) {
    if (!stop_) stop_ = RunResult{reason, std::move(message), cpu_->pc()};
    cpu_->stop();
}

void Board::fault(const std::string& what, std::uint32_t pc_at) {
    faults_seen_.push_back(what + " at " + describe(pc_at));
    exceptions_.activate(exception::kHardFault);
    std::uint32_t vtor = model<Scb>().vtor();
    cpu_->enter_exception(exception::kHardFault, vtor, pc_at);
}

std::string Board::describe(std::uint32_t address) const {
    std::string text = hex(address);
    if (auto s = image_.symbol_at(address & ~1u)) {
        text += " (" + s->name;
        if (address != s->address) text += "+" + std::to_string((address & ~1u) - s->address);
        text += ")";
    }
    return text;
}

std::string Board::fault_handler_message(std::uint32_t handler) const {
    const unsigned exc = cpu_->reg(UC_ARM_REG_XPSR) & 0x3F;
    std::uint32_t stacked_pc = 0;
    if (exc != 0) cpu_->read_memory(cpu_->reg(UC_ARM_REG_SP) + 24, &stacked_pc, 4);
    std::string text = std::string("firmware entered ") +
                       (handler == hardfault_handler_ ? "HardFault_Handler" : "Dummy_Handler");
    if (exc != 0) {
        text += " on exception " + std::to_string(exc) + " (" + exception_name(exc) + ")";
        text += ", interrupted at " + describe(stacked_pc);
    }
    if (handler == hardfault_handler_ && !faults_seen_.empty()) text += ": " + faults_seen_.back();
    return text;
}

void Board::on_block(std::uint32_t address, std::uint32_t size) {
    if (address == memory_map::kCallReturnTrap && calling_)
        return stop_now(StopReason::CallReturned, "");
    if (address == hardfault_handler_ || address == dummy_handler_) {
        return stop_now(StopReason::Fault, fault_handler_message(address));
    }
    if (!breakpoints_.empty() && address != skip_break_at_ && breakpoints_.count(address)) {
        return stop_now(StopReason::Breakpoint, describe(address));
    }
    skip_break_at_ = 0xFFFFFFFF;
    if (now_ >= horizon_ || flags_ != 0) {
        if (flags_ & kStopRequested) {
            flags_ &= ~kStopRequested;
            return stop_now(requested_stop_reason_, requested_stop_message_);
        }
        if (flags_ & kDeadlineDirty) recompute_deadline();
        if (now_ >= time_limit_) return stop_now(StopReason::TimeLimit, "");
        if (now_ >= next_deadline_) advance_models();
        if (flags_ & kStopRequested) {
            flags_ &= ~kStopRequested;
            return stop_now(requested_stop_reason_, requested_stop_message_);
        }
        if (flags_ & kResetRequested) {
            flags_ &= ~kResetRequested;
            reset(requested_reset_);
            return;
        }
        if ((flags_ & kIrqDirty) && take_interrupt(address)) return;
    }
    if (instructions_ >= instruction_limit_) return stop_now(StopReason::InstructionLimit, "");
    if (!hit_counts_.empty()) {
        if (auto it = hit_counts_.find(address); it != hit_counts_.end()) ++it->second;
    }
    const BlockCost cost = cpu_->block_cost(address, size);
    instructions_ += cost.instructions;
    cycles_ += cost.cycles;
    now_ += cost.cycles * cycle_ps_;
}

void Board::recompute_deadline() {
    flags_ &= ~kDeadlineDirty;
    next_deadline_ = kNever;
    for (const auto& m : models_) next_deadline_ = std::min(next_deadline_, m->next_event());
    horizon_ = std::min(next_deadline_, time_limit_);
}

void Board::advance_models() {
    // Events are processed in time order, so that a model that reacts to
    // another's event at time t sees the world as it was at t.
    for (int guard = 0; guard < 1000000; ++guard) {
        Peripheral* due = nullptr;
        SimTime earliest = kNever;
        for (const auto& m : models_) {
            const SimTime t = m->next_event();
            if (t < earliest) {
                earliest = t;
                due = m.get();
            }
        }
        if (!due || earliest > now_) break;
        due->advance(now_);
    }
    recompute_deadline();
}

bool Board::take_interrupt(std::uint32_t return_address) {
    flags_ &= ~kIrqDirty;
    if (!exceptions_.anything_pending()) return false;
    const unsigned exc = exceptions_.next_to_take(cpu_->primask());
    if (exc == 0) {
        // Pending but masked or of too low a priority for now: look again
        // at every block until it can be taken.
        flags_ |= kIrqDirty;
        return false;
    }
    exceptions_.activate(exc);
    cpu_->enter_exception(exc, model<Scb>().vtor(), return_address);
    cycles_ += kExceptionEntryCycles;
    now_ += kExceptionEntryCycles * cycle_ps_;
    flags_ |= kIrqDirty;  // a more urgent one may follow at once
    return true;
}

void Board::on_cpu_exception(std::uint32_t intno) {
    const std::uint32_t pc_now = cpu_->pc();
    switch (intno) {
        case kIntExceptionExit: {
            const unsigned from = cpu_->return_from_exception(pc_now);
            if (!exceptions_.deactivate(from))
                diagnostics_.note(Finding::Unsupported, pc_now, pc_now,
                                  "exception return from " + std::to_string(from) +
                                      " which is not the active one");
            cycles_ += kExceptionReturnCycles;
            now_ += kExceptionReturnCycles * cycle_ps_;
            flags_ |= kIrqDirty;
            return;
        }
        case kIntSupervisorCall:
            exceptions_.set_pending(exception::kSvCall);
            flags_ |= kIrqDirty;
            return;
        case kIntBreakpoint:
            return stop_now(StopReason::Fault, "breakpoint instruction at " + describe(pc_now));
        case kIntUndefinedInstruction:
            return fault("undefined instruction", pc_now);
        case kIntDataAbort:
        case kIntPrefetchAbort:
            return fault(pending_fault_.empty() ? std::string("unaligned or invalid memory access")
                                                : pending_fault_,
                         pc_now);
        default:
            return stop_now(StopReason::Fault, "processor exception " + std::to_string(intno) +
                                                   " at " + describe(pc_now));
    }
}

void Board::on_unmapped_access(bool write, bool fetch, std::uint32_t address, int size,
                               std::uint32_t value) {
    const char* what = fetch ? "instruction fetch from" : write ? "write to" : "read of";
    pending_fault_ = std::string(what) + " unmapped address " + hex(address);
    std::string text = pending_fault_ + " (" + std::to_string(size) + " bytes";
    if (write) text += ", value " + hex(value);
    text += ")";
    diagnostics_.note(Finding::UnclaimedAccess, address, cpu_->pc(), text);
}

bool Board::on_flash_store(std::uint32_t address, unsigned width, std::uint32_t value) {
    if (flash_store_sink_ && flash_store_sink_(address, width, value)) return true;
    pending_fault_ =
        "store of " + std::to_string(width) + " bytes to flash address " + hex(address);
    return false;
}

// ---------------------------------------------------------------- resets

void Board::reset(ResetCause cause) {
    resets_.push_back({now_, instructions_, cause});
    for (const auto& m : models_) m->reset();
    exceptions_.reset();
    pending_fault_.clear();
    clocks_changed();
    cpu_->reset(0);  // VTOR is 0 after reset
    flags_ |= kIrqDirty | kDeadlineDirty;
    horizon_ = 0;
}

void Board::request_reset(ResetCause cause) {
    requested_reset_ = cause;
    flags_ |= kResetRequested;
}

void Board::power_cut() {
    for (const auto& m : models_) m->power_off(now_);
}

void Board::power_on() {
    const std::vector<std::uint8_t> zeros(memory_map::kRamSize, 0);
    cpu_->write_memory(memory_map::kRamBase, zeros.data(), zeros.size());
    const std::vector<std::uint8_t> lp_zeros(memory_map::kLpRamSize, 0);
    cpu_->write_memory(memory_map::kLpRamBase, lp_zeros.data(), lp_zeros.size());
    reset(ResetCause::PowerOn);
}

// ---------------------------------------------------------------- clocks

void Board::clocks_changed() {
    const std::uint32_t divider = std::max<std::uint32_t>(1, model<Mclk>().cpu_divider());
    const std::uint32_t hz = model<Gclk>().generator_hz(0) / divider;
    if (hz != cpu_hz_) {
        cpu_hz_ = hz;
        cycle_ps_ = period_of(hz);
    }
    for (const auto& m : models_) m->clocks_changed();
    flags_ |= kDeadlineDirty;
}

void Board::set_irq(unsigned line, bool level) {
    if (exceptions_.line(line) == level) return;
    exceptions_.set_line(line, level);
    flags_ |= kIrqDirty;
}

// ---------------------------------------------------------------- memory

std::uint8_t Board::read8(std::uint32_t address) const {
    std::uint8_t v = 0;
    cpu_->read_memory(address, &v, 1);
    return v;
}
std::uint16_t Board::read16(std::uint32_t address) const {
    std::uint16_t v = 0;
    cpu_->read_memory(address, &v, 2);
    return v;
}
std::uint32_t Board::read32(std::uint32_t address) const {
    std::uint32_t v = 0;
    cpu_->read_memory(address, &v, 4);
    return v;
}
void Board::write8(std::uint32_t address, std::uint8_t value) {
    cpu_->write_memory(address, &value, 1);
}
void Board::write16(std::uint32_t address, std::uint16_t value) {
    cpu_->write_memory(address, &value, 2);
}
void Board::write32(std::uint32_t address, std::uint32_t value) {
    cpu_->write_memory(address, &value, 4);
}

std::vector<std::uint8_t> Board::read_bytes(std::uint32_t address, std::size_t size) const {
    std::vector<std::uint8_t> bytes(size);
    cpu_->read_memory(address, bytes.data(), size);
    return bytes;
}

void Board::write_bytes(std::uint32_t address, const std::vector<std::uint8_t>& bytes) {
    cpu_->write_memory(address, bytes.data(), bytes.size());
}

// ---------------------------------------------------------------- report

nlohmann::json Board::report() const {
    nlohmann::json r;
    r["firmware"] = image_.path();
    r["simulated_seconds"] = to_seconds(now_);
    r["instructions"] = instructions_;
    r["cycles"] = cycles_;
    r["cpu_hz"] = cpu_hz_;
    r["resets"] = nlohmann::json::array();
    for (const ResetRecord& rec : resets_)
        r["resets"].push_back({{"time_s", to_seconds(rec.time)},
                               {"instructions", rec.instructions},
                               {"cause", reset_cause_name(rec.cause)}});
    r["faults"] = faults_seen_;
    nlohmann::json findings;
    diagnostics_.to_json(findings);
    r["findings"] = findings;
    for (const auto& m : models_) m->add_to_report(r);
    return r;
}

}  // namespace vboard
