// WDT: the watchdog timer.
//
// The WDT counts CLK_WDT_OSC, 1.024 kHz (OSCULP32K divided by 32), which
// always runs. An accepted clear (0xA5 written to CLEAR) or the enable
// restarts the period; when the count reaches the period of CONFIG.PER
// (code k = 8 << k cycles) the WDT resets the whole chip. The early warning
// (INTFLAG.EW) is set EWCTRL.EWOFFSET cycles after the start of the period
// (counted from the start as the SAM D21 text puts it; the exact point is
// unconfirmed on this part), and the interrupt line is high while
// INTFLAG & INTENSET is non-zero. In window mode (CTRLA.WEN) a closed window
// of CONFIG.WINDOW cycles comes first; a clear inside it resets at once.
//
// CTRLA.ENABLE, CTRLA.WEN, CTRLA.ALWAYSON and CLEAR are write-synchronised
// into the slow clock domain: a write crosses at the kSyncEdges-th edge of
// CLK_WDT_OSC after it (2 to 3 ms), SYNCBUSY shows it until then, and only
// then does it take effect; another write to the same item meanwhile is
// dropped. A CTRLA write that leaves a bit as it was starts no
// synchronisation of that bit. Any CLEAR value other than 0xA5 resets at
// once while the WDT counts (a WDT that does not count ignores CLEAR, an
// assumption). Once ALWAYSON is set, CTRLA, CONFIG and EWCTRL are read-only and the
// WDT runs until a power-on reset (D21 text, unconfirmed on this part).
//
// Reset values: the user row loads CTRLA, CONFIG (0xBB) and EWCTRL (0x0B)
// (unconfirmed on an L21 page); the board option wdt_alwayson stands for a
// user row with the enable and always-on fuses set. Not modelled (reported
// when used): the early warning in window mode.
#pragma once

#include <array>
#include <string>

#include "../src/register_peripheral.h"

namespace vboard {

class Wdt : public RegisterPeripheral {
  public:
    static constexpr std::uint32_t kBase = 0x40001C00;
    static constexpr std::uint32_t kCTRLA = 0x00, kCONFIG = 0x01, kEWCTRL = 0x02, kINTENCLR = 0x04,
                                   kINTENSET = 0x05, kINTFLAG = 0x06, kSYNCBUSY = 0x08,
                                   kCLEAR = 0x0C;
    // CTRLA
    static constexpr std::uint32_t kEnable = 1u << 1, kWen = 1u << 2, kAlwaysOn = 1u << 7;
    // CONFIG, EWCTRL
    static constexpr std::uint32_t kPerMask = 0x0F, kWindowPos = 4, kWindowMask = 0xF0,
                                   kEwoffsetMask = 0x0F;
    // INTFLAG, INTENSET, INTENCLR
    static constexpr std::uint32_t kEw = 1u << 0;
    // SYNCBUSY bits.
    enum SyncBit : unsigned {
        kSyncEnable = 1,
        kSyncWen = 2,
        kSyncAlwaysOn = 3,
        kSyncClear = 4,
        kSyncBits = 5
    };
    static constexpr std::uint32_t kClearKey = 0xA5;
    static constexpr unsigned kIrqLine = 1;
    // User-row values of CONFIG and EWCTRL on a part as delivered.
    static constexpr std::uint32_t kConfigReset = 0xBB, kEwctrlReset = 0x0B;
    // CLK_WDT_OSC: 32.768 kHz / 32.
    static constexpr std::uint32_t kClockHz = 1024;
    static constexpr SimTime kClockPeriod = period_of(kClockHz);
    // A synchronised write takes effect at this edge of CLK_WDT_OSC after it.
    static constexpr unsigned kSyncEdges = 3;
    static constexpr unsigned kLargestCode = 11;

    // Cycles of CLK_WDT_OSC a PER, WINDOW or EWOFFSET code stands for
    // (codes above 11 are reserved; they are reported and read as 11).
    static constexpr std::uint64_t cycles_of(std::uint32_t code) {
        return std::uint64_t{8} << (code > kLargestCode ? kLargestCode : code);
    }

    explicit Wdt(Board& board);
    void reset() override;
    SimTime next_event() const override;
    void advance(SimTime now) override;
    void add_to_report(nlohmann::json& report) const override;

    // For tests: whether the WDT counts, is locked on, and when the current
    // period ends in a reset (kNever when it does not count).
    bool running() const { return running_; }
    bool always_on() const { return always_on_; }
    SimTime timeout_at() const { return timeout_at_; }
    SimTime period_start() const { return period_start_; }
    std::uint64_t timeouts() const { return timeouts_; }
    std::uint64_t accepted_clears() const { return accepted_clears_; }
    // When CLEAR was last written with the key and taken for synchronisation
    // (kept across resets).
    SimTime last_clear_written() const { return last_clear_written_; }

  protected:
    std::uint32_t on_read(const RegisterSpec& reg, std::uint32_t stored) override;
    void on_write(const RegisterSpec& reg, std::uint32_t old_value, std::uint32_t written) override;

  private:
    void write_ctrla(const RegisterSpec& reg, std::uint32_t old_value, std::uint32_t written);
    void write_clear(const RegisterSpec& reg, std::uint32_t written);
    bool start_sync(SyncBit bit, const RegisterSpec& reg, std::uint32_t value);
    void finish_sync(SyncBit bit);
    SimTime sync_edge() const;
    void start_period(SimTime edge);
    void stop();
    void watchdog_reset(const std::string& why);
    void update_irq();

    std::array<SimTime, kSyncBits> busy_until_{};
    std::array<std::uint32_t, kSyncBits> pending_{};
    bool running_ = false;    // counting (enabled after synchronisation, or always on)
    bool always_on_ = false;  // ALWAYSON in effect
    bool wen_ = false;        // WEN in effect
    SimTime period_start_ = kNever;
    SimTime window_open_at_ = kNever;  // window mode: end of the closed window
    SimTime early_warning_at_ = kNever;
    SimTime timeout_at_ = kNever;
    // Kept across resets, for the report.
    std::uint64_t timeouts_ = 0;
    std::uint64_t early_clears_ = 0;
    std::uint64_t wrong_keys_ = 0;
    std::uint64_t accepted_clears_ = 0;
    SimTime last_clear_written_ = kNever;
    std::string last_reset_reason_;
};

}  // namespace vboard
