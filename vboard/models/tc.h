// TC: a timer/counter in 16-bit mode (COUNT16), one model per instance.
//
// The counter counts the generic clock of the instance's peripheral channel
// divided by CTRLA.PRESCALER. It counts up from 0 to TOP and wraps to 0 on
// the next count (the update); TOP is 0xFFFF in NFRQ and NPWM and CC0 in
// MFRQ and MPWM (WAVE.WAVEGEN). The update sets INTFLAG.OVF. A compare
// channel sets INTFLAG.MCx when the counter reaches CCx; where CC0 is TOP,
// channel 0 matches at the update itself (MC0 with OVF; their order within
// that instant is unconfirmed on this part). The interrupt line is high while
// INTFLAG & INTENSET is non-zero.
//
// CTRLA.SWRST, CTRLA.ENABLE, CTRLBSET/CTRLBCLR, STATUS, COUNT, CC0 and CC1
// are write-synchronised into the generic clock domain: their SYNCBUSY bit
// reads 1 for kSyncPeriods periods of the channel clock and the write takes
// effect when it clears (without a channel clock it never clears). CTRLA
// reads back the written value at once. COUNT is not read-synchronised: it
// reads the value latched by the last READSYNC command (or written).
// STATUS.STOP is 1 while the counter does not count.
//
// Not modelled (reported when used): 8- and 32-bit modes, counting down,
// one-shot, lock update, events, capture, the waveform outputs and DMA.
#pragma once

#include <array>

#include "../src/register_peripheral.h"

namespace vboard {

struct TcInstance {
    const char* name;
    std::uint32_t base;
    unsigned irq_line;
    unsigned gclk_channel;
};

class Tc : public RegisterPeripheral {
  public:
    // The TC instances of the SAML21E17B. TC0 and TC1 share channel 27.
    static constexpr TcInstance kTc0{"TC0", 0x42002000, 17, 27};
    static constexpr TcInstance kTc1{"TC1", 0x42002400, 18, 27};
    static constexpr TcInstance kTc4{"TC4", 0x43000800, 21, 29};

    static constexpr std::uint32_t kSize = 0x34;
    static constexpr std::uint32_t kCTRLA = 0x00, kCTRLBCLR = 0x04, kCTRLBSET = 0x05,
                                   kEVCTRL = 0x06, kINTENCLR = 0x08, kINTENSET = 0x09,
                                   kINTFLAG = 0x0A, kSTATUS = 0x0B, kWAVE = 0x0C, kDRVCTRL = 0x0D,
                                   kDBGCTRL = 0x0F, kSYNCBUSY = 0x10, kCOUNT = 0x14, kCC0 = 0x1C,
                                   kCC1 = 0x1E, kCCBUF0 = 0x30, kCCBUF1 = 0x32;
    // CTRLA
    static constexpr std::uint32_t kSwrst = 1u << 0, kEnable = 1u << 1, kModeMask = 3u << 2,
                                   kPrescalerPos = 8, kPrescalerMask = 7u << 8;
    // CTRLB
    static constexpr std::uint32_t kCmdPos = 5, kCmdMask = 7u << 5;
    enum Command : std::uint32_t {
        kCmdNone,
        kCmdRetrigger,
        kCmdStop,
        kCmdUpdate,
        kCmdReadSync,
        kCmdDmaos
    };
    // INTFLAG, INTENSET, INTENCLR
    static constexpr std::uint32_t kOvf = 1u << 0, kErr = 1u << 1, kMc0 = 1u << 4, kMc1 = 1u << 5;
    static constexpr std::uint32_t kInterrupts = kOvf | kErr | kMc0 | kMc1;
    // STATUS
    static constexpr std::uint32_t kStop = 1u << 0, kCcbufv0 = 1u << 4, kCcbufv1 = 1u << 5;
    // WAVE
    enum Wavegen : std::uint32_t { kNfrq, kMfrq, kNpwm, kMpwm };
    static constexpr std::uint32_t kWavegenMask = 3;
    // SYNCBUSY bits.
    enum SyncBit : unsigned {
        kSyncSwrst,
        kSyncEnable,
        kSyncCtrlb,
        kSyncStatus,
        kSyncCount,
        kSyncPer,
        kSyncCc0,
        kSyncCc1,
        kSyncBits
    };
    static constexpr std::uint32_t kMax16 = 0xFFFF;
    // PRESCALER field value to divider.
    static constexpr std::uint32_t kDividers[8] = {1, 2, 4, 8, 16, 64, 256, 1024};
    // A synchronised write needs this many periods of the channel clock.
    static constexpr unsigned kSyncPeriods = 3;

    Tc(Board& board, const TcInstance& instance);
    void reset() override;
    SimTime next_event() const override;
    void advance(SimTime now) override;
    void clocks_changed() override;
    void add_to_report(nlohmann::json& report) const override;

    const TcInstance& instance() const { return instance_; }
    // For tests: the live counter, whether it counts, its clock, and the
    // number of updates (wraps) since reset.
    std::uint32_t counter() const { return count_at(now()); }
    bool counting() const { return counting_; }
    std::uint32_t counter_hz() const;
    std::uint64_t updates() const { return updates_; }

  protected:
    std::uint32_t on_read(const RegisterSpec& reg, std::uint32_t stored) override;
    void on_write(const RegisterSpec& reg, std::uint32_t old_value, std::uint32_t written) override;

  private:
    void software_reset();
    // Registers and counter state as after a reset (both kinds share it).
    void clear_to_reset_values();
    bool start_sync(SyncBit bit, const RegisterSpec& reg);
    void finish_sync(SyncBit bit);
    void write_ctrla(const RegisterSpec& reg, std::uint32_t old_value, std::uint32_t written);
    void write_ctrlb(const RegisterSpec& reg, std::uint32_t written, bool set);
    void run_command(std::uint32_t command, SimTime t);
    bool top_is_cc0() const;
    std::uint32_t top() const;
    SimTime tick() const;
    std::uint32_t count_at(SimTime t) const;
    void rebase(SimTime t, std::uint32_t count);
    void start_counting(SimTime t);
    void stop_counting(SimTime t);
    void plan_counter_events();
    void counter_event(SimTime t);
    void raise(std::uint32_t flags);
    void update_irq();

    // Marks a synchroniser in use; the rest of pending_[b] is the value.
    static constexpr std::uint32_t kSyncPending = 1u << 31;

    TcInstance instance_;
    // Synchronisers: when each SYNCBUSY bit clears, and the value waiting
    // for it.
    std::array<SimTime, kSyncBits> busy_until_{};
    std::array<std::uint32_t, kSyncBits> pending_{};
    // The counter: `origin_count_` at `origin_`, counting when `counting_`.
    bool enabled_ = false;  // ENABLE as the counter sees it (after synchronisation)
    bool counting_ = false;
    SimTime origin_ = 0;
    std::uint32_t origin_count_ = 0;
    SimTime tick_ = kNever;
    std::array<std::uint32_t, 2> cc_{};  // compare values in effect
    std::uint32_t ctrlb_ = 0;            // CTRLB as CTRLBSET and CTRLBCLR read it
    std::uint32_t status_flags_ = 0;     // CCBUFV0, CCBUFV1
    SimTime next_update_ = kNever;
    std::array<SimTime, 2> next_match_{kNever, kNever};
    std::uint64_t updates_ = 0;
};

}  // namespace vboard
