// The virtual board: a SAML21E17B running a firmware image, with the models
// of the peripherals the firmware touches, on a deterministic timeline.
//
// Time advances only with executed instructions (their Cortex-M0+ cycle
// counts at the processor clock the clock models select) and, when the core
// sleeps, by jumping to the next event. The same image and options give the
// same run, instruction for instruction.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <nlohmann/json.hpp>
#include <optional>
#include <string>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "bus.h"
#include "cpu.h"
#include "diagnostics.h"
#include "elf_image.h"
#include "exceptions.h"
#include "fault_spec.h"
#include "peripheral.h"
#include "sim_time.h"

namespace vboard {

struct BoardOptions {
    std::string firmware;           // ELF image
    bool quiet = false;             // do not print findings as they happen
    std::vector<FaultSpec> faults;  // armed at power-on
    // Serial1's line.
    std::string uart1_out;        // file for every transmitted byte ("-": standard output)
    std::string uart1_in;         // file fed to the receiver at the line's rate
    bool uart1_pty = false;       // open a pseudo-terminal for both directions
    bool uart1_pty_wait = false;  // ... and hold the board until a program opens it
    bool realtime = false;        // pace simulated time to wall time
    // The accelerometer's input: "still", "demo" or a CSV file.
    std::string sensor = "still";
    // Persistent storage area of the flash.
    std::string flash_file;
    // Watchdog starts locked on (ALWAYSON), as a fuse would leave it.
    bool wdt_alwayson = false;
};

enum class StopReason {
    TimeLimit,
    InstructionLimit,
    Breakpoint,
    CallReturned,
    Fault,
    PowerCut,
    Requested
};
const char* stop_reason_name(StopReason reason);

struct RunResult {
    StopReason reason;
    std::string message;  // for faults: what happened, where
    std::uint32_t pc;
};

enum class ResetCause { PowerOn, Watchdog, SystemResetRequest };
const char* reset_cause_name(ResetCause cause);

struct ResetRecord {
    SimTime time;
    std::uint64_t instructions;
    ResetCause cause;
};

// Memory map of the chip.
namespace memory_map {
constexpr std::uint32_t kFlashBase = 0x00000000;
constexpr std::uint32_t kFlashSize = 128 * 1024;
constexpr std::uint32_t kNvmUserRow = 0x00804000;
constexpr std::uint32_t kNvmOtpArea = 0x00806000;  // OTP and software calibration area
constexpr std::uint32_t kNvmSoftwareCalibration = 0x00806020;
constexpr std::uint32_t kNvmPageWindow = 0x400;  // smallest mapping unit of the engine
constexpr std::uint32_t kRamBase = 0x20000000;
constexpr std::uint32_t kRamSize = 16 * 1024;
constexpr std::uint32_t kLpRamBase = 0x30000000;
constexpr std::uint32_t kLpRamSize = 8 * 1024;
// A page outside the chip's map where harness calls return to.
constexpr std::uint32_t kCallReturnTrap = 0x0F000000;
}  // namespace memory_map

class Board {
  public:
    explicit Board(BoardOptions options);
    ~Board();
    Board(const Board&) = delete;
    Board& operator=(const Board&) = delete;

    const BoardOptions& options() const { return options_; }
    const ElfImage& image() const { return image_; }
    std::uint32_t symbol(const std::string& name) const { return image_.symbol(name).address; }

    // ---- running ----
    RunResult run_for(SimTime duration);
    RunResult run_instructions(std::uint64_t count);
    // Runs until the processor is about to execute `address` (a function's
    // entry: a symbol), or `limit` of simulated time passes.
    RunResult run_until(std::uint32_t address, SimTime limit = 10 * kSecond);
    RunResult run_until(const std::string& symbol, SimTime limit = 10 * kSecond);
    // Calls a firmware function with up to four word arguments (AAPCS) and
    // returns r0. Interrupts keep running during the call. Throws if the
    // call does not return within `limit` or the firmware faults.
    std::uint32_t call(std::uint32_t address, const std::vector<std::uint32_t>& args = {},
                       SimTime limit = 1 * kSecond);
    std::uint32_t call(const std::string& function, const std::vector<std::uint32_t>& args = {},
                       SimTime limit = 1 * kSecond);
    // Counts how often the processor starts executing `address` (a function
    // entry), without stopping.
    void watch(std::uint32_t address) { hit_counts_[address & ~1u]; }
    void watch(const std::string& symbol_name) { watch(symbol(symbol_name)); }
    std::uint64_t hits(std::uint32_t address) const;
    std::uint64_t hits(const std::string& symbol_name) const { return hits(symbol(symbol_name)); }
    // Stop the current run at the next block boundary (from a model).
    void request_stop(StopReason reason, const std::string& message);

    // ---- resets and power ----
    void reset(ResetCause cause);
    // Takes effect at the next instruction block boundary (for models).
    void request_reset(ResetCause cause);
    // Power off now (models finish what power loss does to them), then on.
    void power_cut();
    void power_on();
    const std::vector<ResetRecord>& resets() const { return resets_; }

    // ---- time ----
    SimTime now() const { return now_; }
    std::uint64_t instructions() const { return instructions_; }
    std::uint64_t cycles() const { return cycles_; }
    std::uint32_t cpu_hz() const { return cpu_hz_; }
    void clocks_changed();

    // ---- memory (through the engine; I/O addresses go to the models) ----
    std::uint8_t read8(std::uint32_t address) const;
    std::uint16_t read16(std::uint32_t address) const;
    std::uint32_t read32(std::uint32_t address) const;
    void write8(std::uint32_t address, std::uint8_t value);
    void write16(std::uint32_t address, std::uint16_t value);
    void write32(std::uint32_t address, std::uint32_t value);
    std::vector<std::uint8_t> read_bytes(std::uint32_t address, std::size_t size) const;
    void write_bytes(std::uint32_t address, const std::vector<std::uint8_t>& bytes);

    // ---- parts ----
    Cpu& cpu() { return *cpu_; }
    Bus& bus() { return bus_; }
    ExceptionController& exceptions() { return exceptions_; }
    Diagnostics& diagnostics() { return diagnostics_; }
    std::uint32_t pc() const { return cpu_->pc(); }

    // The model of type `Model`. Models ask each other for clocks and pins
    // on their hot paths, so the answer is cached per type.
    template <class Model>
    Model& model() const {
        const std::size_t slot = model_slot<Model>();
        if (slot < model_cache_.size() && model_cache_[slot])
            return *static_cast<Model*>(model_cache_[slot]);
        for (const auto& m : models_) {
            if (auto* found = dynamic_cast<Model*>(m.get())) {
                if (model_cache_.size() <= slot) model_cache_.resize(slot + 1, nullptr);
                model_cache_[slot] = found;
                return *found;
            }
        }
        throw std::logic_error("this board has no such model");
    }
    const std::vector<std::unique_ptr<Peripheral>>& models() const { return models_; }
    Peripheral& add_model(std::unique_ptr<Peripheral> model);

    // Flash stores (the NVM page buffer) are handed to this sink; it
    // returns false to make the store a bus fault.
    using FlashStoreSink =
        std::function<bool(std::uint32_t address, unsigned width, std::uint32_t value)>;
    void set_flash_store_sink(FlashStoreSink sink) { flash_store_sink_ = std::move(sink); }

    // ---- from models ----
    void set_irq(unsigned line, bool level);
    void irq_state_changed() { flags_ |= kIrqDirty; }
    void reschedule() { flags_ |= kDeadlineDirty; }

    nlohmann::json report() const;

    // ---- from the CPU core ----
    void on_block(std::uint32_t address, std::uint32_t size);
    void on_cpu_exception(std::uint32_t intno);
    void on_unmapped_access(bool write, bool fetch, std::uint32_t address, int size,
                            std::uint32_t value);
    bool on_flash_store(std::uint32_t address, unsigned width, std::uint32_t value);

  private:
    static std::size_t next_model_slot();
    template <class Model>
    static std::size_t model_slot() {
        static const std::size_t slot = next_model_slot();
        return slot;
    }

    RunResult run(SimTime time_limit, std::uint64_t instruction_limit);
    void stop_now(StopReason reason, std::string message);
    void advance_models();
    void recompute_deadline();
    bool take_interrupt(std::uint32_t return_address);
    void fault(const std::string& what, std::uint32_t pc);
    std::string describe(std::uint32_t address) const;
    std::string fault_handler_message(std::uint32_t handler) const;
    void load_image();
    void arm_faults();

    static constexpr unsigned kIrqDirty = 1u << 0;
    static constexpr unsigned kDeadlineDirty = 1u << 1;
    static constexpr unsigned kResetRequested = 1u << 2;
    static constexpr unsigned kStopRequested = 1u << 3;

    BoardOptions options_;
    ElfImage image_;
    Diagnostics diagnostics_;
    std::unique_ptr<Cpu> cpu_;
    Bus bus_;
    ExceptionController exceptions_;
    std::vector<std::unique_ptr<Peripheral>> models_;
    mutable std::vector<Peripheral*> model_cache_;
    FlashStoreSink flash_store_sink_;

    SimTime now_ = 0;
    std::uint64_t instructions_ = 0;
    std::uint64_t cycles_ = 0;
    std::uint32_t cpu_hz_ = 0;
    SimTime cycle_ps_ = 0;

    unsigned flags_ = kIrqDirty | kDeadlineDirty;
    SimTime next_deadline_ = 0;  // earliest model event
    SimTime time_limit_ = kNever;
    std::uint64_t instruction_limit_ = UINT64_MAX;
    SimTime horizon_ = 0;  // min(next_deadline_, time_limit_)

    std::unordered_set<std::uint32_t> breakpoints_;
    std::unordered_map<std::uint32_t, std::uint64_t> hit_counts_;
    std::uint32_t hardfault_handler_ = 0xFFFFFFFF;
    std::uint32_t dummy_handler_ = 0xFFFFFFFF;
    std::uint32_t skip_break_at_ = 0xFFFFFFFF;  // the resume address of a run
    bool calling_ = false;

    std::optional<RunResult> stop_;
    StopReason requested_stop_reason_ = StopReason::Requested;
    std::string requested_stop_message_;
    ResetCause requested_reset_ = ResetCause::PowerOn;
    std::string pending_fault_;  // why the next HardFault is taken
    std::vector<ResetRecord> resets_;
    std::vector<std::string> faults_seen_;
};

// Adds every peripheral model of the chip to `board` (board_models.cpp).
void install_models(Board& board);

}  // namespace vboard
