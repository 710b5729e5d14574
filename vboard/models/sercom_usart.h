// SERCOM in USART mode with the internal clock: the asynchronous serial port,
// after the data sheet's USART chapter.
//
// Synchronisation: CTRLA.SWRST, CTRLA.ENABLE and, while the module is
// enabled, CTRLB are write-synchronised into the core clock domain. Their
// SYNCBUSY bit reads 1 for kSyncPeriods core clock periods (without a core
// clock it never clears) and the write takes effect when it clears. CTRLA
// reads back the written value at once, SWRST included. While ENABLE or
// SWRST synchronises, other writes are dropped (the chip answers them with
// a bus error; here they are reported). CTRLA apart from SWRST and ENABLE,
// CTRLB apart from TXEN and RXEN, and BAUD are enable-protected: writes
// while enabled are reported and dropped.
//
// Transmitter (CTRLB.TXEN): DATA feeds a one-character buffer in front of
// the shift register. DRE is 1 while the buffer is empty. A character moves
// into an idle shift register at once and takes one frame time (start bit,
// data bits, parity bit, stop bits, at the bit rate that BAUD, SAMPR and the
// core clock give). TXC is set when a frame ends with the buffer empty;
// writing 1 clears it, and so does a write of DATA (unconfirmed). Every
// frame goes into the transmit log with the time of its start bit.
//
// Receiver (CTRLB.RXEN): frames come from the far end of the line (receive(),
// the uart1-frame-error fault, Serial1's line ends) back to back, one frame
// time each, at the receiver's own bit rate. A finished frame enters the
// two-level receive buffer, or waits in the shift register while the buffer
// is full; a frame that starts while both are full is lost and sets
// STATUS.BUFOVF. RXC is 1 while the buffer holds a character; reading DATA
// takes the oldest. A frame whose stop bit is wrong (another baud rate or
// frame format at the far end) sets STATUS.FERR. Each error also sets
// INTFLAG.ERROR. Frames arriving while the receiver is off are lost.
//
// The interrupt line is high while INTFLAG & INTENSET is non-zero.
//
// Serial1's line (module 1 only): its transmit pin is PA18 and its receive
// pin PA19, both SERCOM1 through multiplexer function C (pads 2 and 3). A
// frame reaches the line ends only when TXPO puts the transmitter on pad 2
// and PA18 is multiplexed to SERCOM1; bytes from the line ends reach the
// receiver only through pad 3 on PA19 in the same way, and only while the
// receiver is on (the far end holds them until then).
//
// Not modelled (reported when used): the external clock and synchronous
// mode, auto-baud and LIN frames, IrDA, collision detection, start-of-frame
// detection, immediate buffer overflow notification, sample adjustment,
// standby, debug halting; on the line ends, frames other than 8 data bits
// LSB first.
#pragma once

#include <cstdint>
#include <deque>
#include <map>
#include <memory>
#include <optional>

#include "sercom.h"

namespace vboard {

class SerialLine;

class SercomUsart : public SercomFunction {
  public:
    // Register offsets.
    static constexpr std::uint32_t kCTRLA = 0x00, kCTRLB = 0x04, kBAUD = 0x0C, kRXPL = 0x0E,
                                   kINTENCLR = 0x14, kINTENSET = 0x16, kINTFLAG = 0x18,
                                   kSTATUS = 0x1A, kSYNCBUSY = 0x1C, kDATA = 0x28, kDBGCTRL = 0x30;
    // CTRLA
    static constexpr std::uint32_t kSwrst = 1u << 0, kEnable = 1u << 1, kModePos = 2,
                                   kModeMask = 7u << 2, kRunStdby = 1u << 7, kIbon = 1u << 8,
                                   kSamprPos = 13, kSamprMask = 7u << 13, kTxpoPos = 16,
                                   kTxpoMask = 3u << 16, kRxpoPos = 20, kRxpoMask = 3u << 20,
                                   kSampaMask = 3u << 22, kFormPos = 24, kFormMask = 0xFu << 24,
                                   kCmode = 1u << 28, kCpol = 1u << 29, kDord = 1u << 30;
    static constexpr std::uint32_t kModeInternalClock = 1;
    // CTRLB
    static constexpr std::uint32_t kChsizeMask = 0x7, kSbmode = 1u << 6, kColden = 1u << 8,
                                   kSfde = 1u << 9, kEnc = 1u << 10, kPmode = 1u << 13,
                                   kTxen = 1u << 16, kRxen = 1u << 17;
    // INTENCLR, INTENSET, INTFLAG
    static constexpr std::uint8_t kDre = 1u << 0, kTxc = 1u << 1, kRxc = 1u << 2, kRxs = 1u << 3,
                                  kCtsic = 1u << 4, kRxbrk = 1u << 5, kError = 1u << 7;
    // STATUS
    static constexpr std::uint16_t kPerr = 1u << 0, kFerr = 1u << 1, kBufovf = 1u << 2,
                                   kCts = 1u << 3, kIsf = 1u << 4, kColl = 1u << 5;
    // SYNCBUSY
    static constexpr std::uint32_t kSyncSwrst = 1u << 0, kSyncEnable = 1u << 1,
                                   kSyncCtrlb = 1u << 2;
    static constexpr std::uint16_t kDataMask = 0x1FF;

    // Synchronisation takes this many core clock periods (the data sheet
    // gives a range of a few; the model takes a fixed count).
    static constexpr unsigned kSyncPeriods = 3;
    // Characters the receive buffer holds, not counting the shift register.
    static constexpr std::size_t kReceiveBufferLevels = 2;
    // Entries the transmit log keeps; older ones are dropped.
    static constexpr std::size_t kTransmitLogLimit = 1u << 20;
    // Serial1's line: pins and pads of its two wires.
    static constexpr unsigned kLineModule = 1;
    static constexpr unsigned kLineTxPin = 18, kLineRxPin = 19;  // PA18, PA19
    static constexpr unsigned kLineTxPad = 2, kLineRxPad = 3;
    static constexpr unsigned kLineFunction = 2;  // multiplexer function C

    struct TransmittedFrame {
        SimTime start;  // the start bit
        std::uint16_t data;
    };

    explicit SercomUsart(Sercom& module);
    ~SercomUsart() override;

    std::uint32_t read(std::uint32_t offset, unsigned width) override;
    void write(std::uint32_t offset, unsigned width, std::uint32_t value) override;
    void reset() override;
    SimTime next_event() const override;
    void advance(SimTime now) override;
    bool arm_fault(const FaultSpec& fault) override;
    void add_to_report(nlohmann::json& report) const override;

    // ---- for tests ----
    // A frame from the far end, sent after those already on their way.
    void receive(std::uint8_t byte, bool frame_error = false);
    // Every frame transmitted, in order (the newest kTransmitLogLimit).
    const std::deque<TransmittedFrame>& transmitted() const { return transmitted_; }
    // The bit and frame time of the current configuration; kNever without a
    // clock.
    SimTime bit_time() const;
    SimTime frame_time() const;
    // Register writes since power-on, to check that code touched no register.
    std::uint64_t register_writes() const { return register_writes_; }
    bool enabled() const { return enabled_; }
    // Frames received into the buffer, frames lost at a full buffer, frames
    // with a framing error, frames lost with the receiver off.
    std::uint64_t received() const { return received_; }
    std::uint64_t overflows() const { return overflows_; }
    std::uint64_t frame_errors() const { return frame_errors_; }
    std::uint64_t lost_receiver_off() const { return lost_receiver_off_; }
    // Serial1's line ends, when attached.
    SerialLine* line() const { return line_.get(); }

  private:
    struct Register {
        const char* name;
        std::uint32_t offset;
        unsigned width;
        std::uint32_t modelled;  // bits the model implements
    };
    struct Frame {
        std::uint16_t data;
        bool frame_error;
    };
    static const Register kRegisters[];

    static const Register* locate(std::uint32_t at);
    std::uint32_t read_register(const Register& reg);
    void write_register(const Register& reg, std::uint32_t value, std::uint32_t mask);
    void write_ctrla(std::uint32_t value);
    void write_ctrlb(std::uint32_t value);
    void write_data(std::uint16_t value);
    std::uint16_t read_data();
    std::uint8_t intflag() const;
    void report_unmodelled(const Register& reg, std::uint32_t bits);
    void report_once(unsigned key, const std::string& text);

    bool swrst_busy() const;
    SimTime sync_done_time();
    bool transmitter_on() const { return enabled_ && txen_; }
    bool receiver_on() const { return enabled_ && rxen_; }
    void apply_enable();
    void apply_ctrlb();
    void flush_receiver();

    void start_frame(SimTime t);
    void finish_frame(SimTime t);
    void start_arrivals(SimTime t);
    void finish_arrival(SimTime t);
    void take_from_line(SimTime t);
    void enter_receive_buffer(const Frame& frame);
    bool line_tx_routed();
    bool line_rx_routed();
    void catch_up();
    void update_irq();

    // Registers.
    std::uint32_t ctrla_ = 0;
    std::uint32_t ctrlb_ = 0;
    std::uint16_t baud_ = 0;
    std::uint8_t rxpl_ = 0;
    std::uint8_t intenset_ = 0;
    std::uint8_t intflag_ = 0;  // the flags software clears; DRE and RXC follow the buffers
    std::uint16_t status_ = 0;
    std::uint8_t dbgctrl_ = 0;
    std::uint16_t last_read_ = 0;
    std::uint32_t unmodelled_reported_ = 0;  // one bit per register

    // Synchronisation and the state it controls.
    SimTime swrst_done_ = 0;
    SimTime enable_done_ = kNever;  // pending ENABLE change
    SimTime ctrlb_done_ = kNever;   // pending CTRLB change
    bool enabled_ = false;
    bool txen_ = false;
    bool rxen_ = false;

    // Transmitter.
    std::optional<std::uint16_t> tx_buffer_;
    std::optional<std::uint16_t> tx_shift_;
    SimTime tx_frame_end_ = kNever;
    std::deque<TransmittedFrame> transmitted_;

    // Receiver and the far end.
    std::deque<Frame> rx_buffer_;
    std::optional<Frame> rx_shift_;
    std::deque<Frame> far_end_;  // frames waiting to be sent to this receiver
    std::optional<Frame> arriving_;
    bool arriving_kept_ = false;
    SimTime arriving_end_ = kNever;
    std::multimap<SimTime, Frame> scheduled_;  // injected faults

    // Serial1's line ends.
    std::unique_ptr<SerialLine> line_;
    SimTime service_at_ = kNever;

    std::uint64_t register_writes_ = 0;
    std::uint64_t transmitted_count_ = 0;
    std::uint64_t received_ = 0;
    std::uint64_t overflows_ = 0;
    std::uint64_t frame_errors_ = 0;
    std::uint64_t lost_receiver_off_ = 0;
    std::uint32_t reported_ = 0;  // report_once keys
};

}  // namespace vboard
