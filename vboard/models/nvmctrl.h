// NVMCTRL: the flash controller (chip facts 2.1 and 4.3).
//
// - PARAM: the geometry, 2048 pages of 64 bytes; rows of four pages.
// - CTRLB: read wait states (stored, not timed) and MANW, manual page write.
// - Page buffer: one page, loaded by 16- and 32-bit stores into the main
//   array; 8-bit stores are bus errors. Each store records its address in
//   ADDR and sets STATUS.LOAD. With MANW 0 the store of a page's last word
//   starts a write page by itself.
// - CTRLA: a command is CMD with the key 0xA5 in CMDEX, written together. A
//   wrong key, or a command while one runs, is ignored and sets
//   STATUS.PROGE and INTFLAG.ERROR. Modelled: PBC (clears the buffer to
//   0xFF), ER (erases the 256-byte row holding ADDR to 0xFF), WP (programs
//   the buffer into the page holding ADDR: programming only clears bits, so
//   unerased flash ends as the AND of old and new), INVALL (no cache here:
//   nothing to do). Other commands are reported and ignored.
// - ADDR: in 16-bit units (byte address / 2).
// - INTFLAG.READY reads 0 while ER or WP runs, for kRowEraseTime or
//   kPageWriteTime; the flash changes when the command completes.
// - Power loss (or a reset) during ER or WP leaves it half done: a prefix of
//   the row erased, or of the page programmed, in proportion to the time
//   elapsed (bytes = size * elapsed / duration, rounded down).
//
// Nothing protects the program from itself: commands work the same on every
// row of the main array. LOCK reads all regions unlocked and is not enforced.
#pragma once

#include <array>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "../src/register_peripheral.h"

namespace vboard {

class Nvmctrl : public RegisterPeripheral {
  public:
    static constexpr std::uint32_t kBase = 0x41004000;
    static constexpr std::uint32_t kCTRLA = 0x00, kCTRLB = 0x04, kPARAM = 0x08, kINTENCLR = 0x0C,
                                   kINTENSET = 0x10, kINTFLAG = 0x14, kSTATUS = 0x18, kADDR = 0x1C,
                                   kLOCK = 0x20;
    static constexpr std::uint32_t kCtrlaCmdMask = 0x7F, kCtrlaCmdexShift = 8,
                                   kCtrlaCmdexMask = 0xFFu << kCtrlaCmdexShift;
    static constexpr std::uint32_t kCmdexKey = 0xA5;
    static constexpr std::uint32_t kCmdER = 0x02, kCmdWP = 0x04, kCmdPBC = 0x44, kCmdINVALL = 0x46;
    static constexpr std::uint32_t kCtrlbRwsMask = 0xFu << 1, kCtrlbManw = 1u << 7;
    static constexpr std::uint32_t kPageSize = 64, kPages = 2048, kPagesPerRow = 4,
                                   kRowSize = kPagesPerRow * kPageSize;
    static constexpr std::uint32_t kMainArraySize = kPages * kPageSize;
    static constexpr std::uint32_t kPszCode64 = 3;
    static constexpr std::uint32_t kRwweepPages = 64;  // unconfirmed (derived)
    // NVMP 2048, PSZ 64 bytes, RWWEEP 64 pages: 0x04030800 (derived, unconfirmed).
    static constexpr std::uint32_t kParamValue = kPages | (kPszCode64 << 16) | (kRwweepPages << 20);
    static constexpr std::uint32_t kIntflagReady = 1u << 0, kIntflagError = 1u << 1;
    static constexpr std::uint32_t kStatusLoad = 1u << 1, kStatusProge = 1u << 2,
                                   kStatusLocke = 1u << 3, kStatusNvme = 1u << 4;
    static constexpr std::uint32_t kStatusErrors = kStatusProge | kStatusLocke | kStatusNvme;
    static constexpr std::uint32_t kAddrMask = 0x3FFFFF;
    static constexpr std::uint32_t kCtrlbReset = kCtrlbManw;
    static constexpr std::uint32_t kLockAllUnlocked = 0xFFFF;
    static constexpr std::uint32_t kUserRowBase = 0x00804000;

    // Command durations. The SAM L21/D21 data sheets give 6 ms for a row erase
    // and 2.5 ms for programming a page (figures from memory, not in the fact
    // sheet: unconfirmed). PBC and INVALL complete within their bus write.
    static constexpr SimTime kRowEraseTime = 6 * kMillisecond;
    static constexpr SimTime kPageWriteTime = 2500 * kMicrosecond;

    // One executed command, for tests and the report.
    struct CommandRecord {
        std::uint32_t cmd;
        std::uint32_t address;  // ER, WP: byte address of the row or page; others: ADDR in bytes
        SimTime start;
        unsigned buffer_bytes;  // WP: page-buffer bytes loaded since the last clear
        bool automatic;         // WP started by the store of a page's last word
        unsigned bytes_done;    // ER, WP: bytes erased or programmed (all but at a power loss)
        bool completed;
        std::uint64_t start_instructions;  // the board's instruction count when it was issued
        std::uint64_t end_instructions;    // and when it ended
    };
    struct RowWear {
        unsigned row_erases = 0;
        unsigned page_writes = 0;
    };

    explicit Nvmctrl(Board& board);

    bool manual_write() const { return value(kCTRLB) & kCtrlbManw; }
    unsigned wait_states() const { return (value(kCTRLB) & kCtrlbRwsMask) >> 1; }
    bool busy() const { return running_.has_value(); }

    // Every command executed since the board was made, in order (survives resets).
    const std::vector<CommandRecord>& commands() const { return log_; }
    // Erases and page writes issued on the row at `row_address` (survives resets).
    RowWear wear(std::uint32_t row_address) const;
    unsigned total_row_erases() const { return total_.row_erases; }
    unsigned total_page_writes() const { return total_.page_writes; }

    void reset() override;
    SimTime next_event() const override;
    void advance(SimTime now) override;
    void power_off(SimTime now) override;
    void add_to_report(nlohmann::json& report) const override;

  protected:
    std::uint32_t on_read(const RegisterSpec& reg, std::uint32_t stored) override;
    void on_write(const RegisterSpec& reg, std::uint32_t old_value, std::uint32_t written) override;

  private:
    struct Running {
        std::size_t record;  // index in log_
        SimTime end;
        SimTime duration;
    };

    bool store_to_page_buffer(std::uint32_t address, unsigned width, std::uint32_t value);
    void execute(std::uint32_t cmd);
    void clear_page_buffer();
    void start(std::uint32_t cmd, std::uint32_t address, SimTime duration, bool automatic);
    // Applies the first `bytes` bytes of the running command and ends it.
    void finish(unsigned bytes);
    void command_error(std::uint32_t finding, const std::string& why);
    std::uint32_t addressed_byte() const { return (value(kADDR) & kAddrMask) << 1; }

    std::array<std::uint8_t, kPageSize> page_buffer_{};
    unsigned buffer_bytes_ = 0;
    std::optional<Running> running_;
    std::vector<CommandRecord> log_;
    std::map<std::uint32_t, RowWear> wear_;
    RowWear total_;
};

}  // namespace vboard
