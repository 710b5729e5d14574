// SERCOM in I2C master mode (CTRLA.MODE = 5), smart mode off.
//
// The registers of the master view and the behaviour the data sheet gives
// them:
// * Bus state: UNKNOWN after ENABLE; forced to IDLE by writing 1 to
//   STATUS.BUSSTATE (only from UNKNOWN); OWNER from a START on; IDLE after
//   the STOP.
// * Writing ADDR starts a START (a repeated START when the bus is owned)
//   with the address byte, and clears MB, SB, BUSERR, ARBLOST and LOWTOUT.
//   After the address: no ACK, either direction: MB and RXNACK; ACK,
//   write: MB; ACK, read: the first byte is clocked in, then SB.
// * Writing DATA sends a byte; MB and RXNACK show its acknowledge.
// * CTRLB.CMD with ACKACT: 1 repeated START, 2 acknowledge and read the next
//   byte (SB again), 3 acknowledge and STOP; ACKACT is applied first.
//   Commands are taken only while MB or SB is set. CMD is a strobe and reads
//   as zero (recalled from the SERCOM register description, not in the fact
//   sheet), so read-modify-write of CTRLB repeats no command.
// * Writing CMD or DATA clears MB and SB (unconfirmed in the fact sheet);
//   reading DATA does not (with smart mode off it sends nothing, and the
//   next command must still find SB set).
// * SYNCBUSY.ENABLE after ENABLE changes, SYNCBUSY.SYSOP after writes of
//   CMD, BUSSTATE, ADDR and DATA, each for kSyncCoreClocks module clocks; a
//   write while its synchroniser is busy is dropped and reported.
// * A bus error (fault `bus-error` on the bus): MB, BUSERR, ARBLOST and
//   INTFLAG.ERROR; the master lets go of the bus, which becomes IDLE.
//
// Time: every bit on the bus takes one SCL period,
//   f_SCL = f_GCLK / (10 + 2 BAUD + f_GCLK t_rise)   (BAUDLOW = 0)
//   f_SCL = f_GCLK / (10 + BAUD + BAUDLOW + f_GCLK t_rise)
// with t_rise = 0: the model runs at the formula's upper bound (8 MHz and
// BAUD 9 give 8 MHz / 28 = 285.7 kHz). An address or data byte is 9 clocks
// (8 bits and the acknowledge); in a read the acknowledge clock of a byte
// is spent with the command that answers it. START and STOP take no time of
// their own beyond their synchronisation. MB or SB rises when the clocks of
// the byte are done; a clock line held low (fault `scl-low`) stops them.
//
// The pads reach the board's I2C bus only on the module the board wires
// (connect()); elsewhere, or while PA22/PA23 are not given to the module,
// nobody acknowledges.
#pragma once

#include <cstdint>
#include <deque>

#include "sercom.h"

namespace vboard {

class I2cBus;

class SercomI2cMaster : public SercomFunction {
  public:
    static constexpr std::uint32_t kCTRLA = 0x00, kCTRLB = 0x04, kBAUD = 0x0C, kINTENCLR = 0x14,
                                   kINTENSET = 0x16, kINTFLAG = 0x18, kSTATUS = 0x1A,
                                   kSYNCBUSY = 0x1C, kADDR = 0x24, kDATA = 0x28, kDBGCTRL = 0x30;
    // CTRLA
    static constexpr std::uint32_t kSwrst = 1u << 0, kEnable = 1u << 1, kModeMask = 0x7u << 2;
    // CTRLB
    static constexpr std::uint32_t kSmen = 1u << 8, kQcen = 1u << 9, kCmdPos = 16,
                                   kCmdMask = 0x3u << 16, kAckact = 1u << 18;
    enum Command : unsigned { kCmdNone = 0, kCmdRepeatedStart = 1, kCmdRead = 2, kCmdStop = 3 };
    // BAUD
    static constexpr std::uint32_t kBaudMask = 0xFF, kBaudLowPos = 8, kBaudLowMask = 0xFFu << 8,
                                   kHsBaudMask = 0xFFFFu << 16;
    // INTFLAG / INTENSET / INTENCLR
    static constexpr std::uint32_t kMb = 1u << 0, kSb = 1u << 1, kError = 1u << 7;
    // STATUS
    static constexpr std::uint32_t kBusErr = 1u << 0, kArbLost = 1u << 1, kRxNack = 1u << 2,
                                   kBusStatePos = 4, kBusStateMask = 0x3u << 4, kLowTout = 1u << 6,
                                   kClkHold = 1u << 7, kMExtTout = 1u << 8, kSExtTout = 1u << 9,
                                   kLenErr = 1u << 10;
    enum BusState : unsigned { kUnknown = 0, kIdle = 1, kOwner = 2, kBusy = 3 };
    // SYNCBUSY
    static constexpr std::uint32_t kSyncSwrst = 1u << 0, kSyncEnable = 1u << 1,
                                   kSyncSysop = 1u << 2;
    // ADDR
    static constexpr std::uint32_t kAddrMask = 0x7FF, kAddrReadBit = 1u << 0,
                                   kAddrUnmodelled = 0xFFFFF800;
    // CTRLA fields other than SWRST, ENABLE and MODE (PINOUT, SDAHOLD, time-outs, SPEED, SCLSM,
    // ...).
    static constexpr std::uint32_t kCtrlaUnmodelled = ~(kSwrst | kEnable | kModeMask);

    static constexpr unsigned kSyncCoreClocks = 3;  // model's choice: the fact sheet gives no delay
    static constexpr unsigned kClocksPerByte = 9;   // 8 bits and the acknowledge
    static constexpr unsigned kBaudFixedClocks = 10;  // the 10 of the SCL formula

    explicit SercomI2cMaster(Sercom& module);
    ~SercomI2cMaster() override;

    // The board's I2C bus on this module's pads.
    void connect(I2cBus& bus) { bus_ = &bus; }
    // One SCL period from BAUD and the module clock (t_rise = 0); kNever
    // without a clock.
    SimTime scl_period() const;
    double scl_hz() const;
    BusState bus_state() const { return bus_state_; }

    std::uint32_t read(std::uint32_t offset, unsigned width) override;
    void write(std::uint32_t offset, unsigned width, std::uint32_t value) override;
    void reset() override;
    SimTime next_event() const override;
    void advance(SimTime now) override;
    void add_to_report(nlohmann::json& report) const override;

  private:
    enum class OpKind { Address, WriteByte, ReadFirst, ReadNext, Stop };
    struct Op {
        OpKind kind;
        std::uint8_t byte;  // address byte or data byte
        bool ack_first;     // spend the acknowledge clock of a read byte first
        bool master_nack;   // ACKACT when the operation was commanded
        SimTime ready;      // synchronised: may start
        unsigned clocks;
        SimTime begin = kNever;
        SimTime done = kNever;
    };

    std::uint32_t read_register(std::uint32_t offset);
    void write_register(std::uint32_t offset, std::uint32_t value, std::uint32_t mask);
    void write_ctrla(std::uint32_t value);
    void write_ctrlb(std::uint32_t value, std::uint32_t mask);
    void write_status(std::uint32_t value, std::uint32_t mask);
    void write_addr(std::uint32_t value, std::uint32_t mask);
    void write_data(std::uint8_t value);
    bool take_sysop_write(std::uint32_t offset, const char* what);
    void start_address(std::uint8_t address_byte);
    void queue(OpKind kind, std::uint8_t byte, bool ack_first, unsigned clocks);
    void plan_front(SimTime earliest);
    bool pads_connected();
    void finish(const Op& op);
    void bus_error();
    void settle(SimTime now);
    void observe_faults();
    void update_irq();
    bool enabled() const { return (ctrla_ & kEnable) != 0; }
    SimTime sync_time() const;
    SimTime now() const { return module().module_now(); }
    void note(Finding kind, std::uint32_t offset, const std::string& text) const;

    I2cBus* bus_ = nullptr;
    std::uint32_t ctrla_ = 0, ctrlb_ = 0, baud_ = 0, addr_ = 0;
    std::uint8_t inten_ = 0, intflag_ = 0, data_ = 0, dbgctrl_ = 0;
    std::uint32_t status_ = 0;  // BUSERR, ARBLOST, RXNACK, LOWTOUT (BUSSTATE and CLKHOLD apart)
    BusState bus_state_ = kUnknown;
    bool read_direction_ = false;        // the direction of the last address
    bool awaiting_ack_ = false;          // a read byte waits for its acknowledge clock
    bool start_waits_for_idle_ = false;  // ADDR written while the bus state was not known
    std::uint8_t waiting_address_ = 0;
    SimTime enable_busy_until_ = 0;
    SimTime sysop_busy_until_ = 0;
    SimTime idle_at_ = kNever;  // a forced IDLE takes effect
    std::deque<Op> ops_;
    bool used_ = false;
    std::uint64_t bytes_ = 0, ignored_commands_ = 0, dropped_writes_ = 0;
};

}  // namespace vboard
