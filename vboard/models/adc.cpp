#include "adc.h"

#include "../src/board.h"
#include "gclk.h"

namespace vboard {

namespace {
constexpr std::uint32_t kAll = 0xFFFFFFFF;
// SYNCBUSY bit of each synchronised register.
constexpr std::uint32_t kSyncSwrst = 0, kSyncEnable = 1, kSyncInputctrl = 2, kSyncCtrlc = 3,
                        kSyncAvgctrl = 4, kSyncSampctrl = 5, kSyncWinlt = 6, kSyncWinut = 7,
                        kSyncGaincorr = 8, kSyncOffsetcorr = 9, kSyncSwtrig = 10;
constexpr std::uint32_t kNoSync = 0xFF;
constexpr unsigned kResselBits[4] = {12, 16, 10, 8};
}  // namespace

Adc::Adc(Board& board)
    : RegisterPeripheral(board, "ADC", kBase, 0x30,
                         {
                             {"CTRLA", kCTRLA, 1, 0, Access::ReadWrite, kSwrst | kEnable},
                             {"CTRLB", kCTRLB, 1, 0, Access::ReadWrite, 0x7},
                             {"REFCTRL", kREFCTRL, 1, 0, Access::ReadWrite, 0xF},
                             {"EVCTRL", kEVCTRL, 1, 0, Access::ReadWrite, 0},
                             {"INTENCLR", kINTENCLR, 1, 0, Access::ReadWrite, 0},
                             {"INTENSET", kINTENSET, 1, 0, Access::ReadWrite, 0},
                             {"INTFLAG", kINTFLAG, 1, 0, Access::ReadWrite, kResRdy},
                             {"SEQSTATUS", kSEQSTATUS, 1, 0, Access::ReadOnly, kAll},
                             {"INPUTCTRL", kINPUTCTRL, 2, 0, Access::ReadWrite, 0x1F1F},
                             {"CTRLC", kCTRLC, 2, 0, Access::ReadWrite, 0x30},
                             {"AVGCTRL", kAVGCTRL, 1, 0, Access::ReadWrite, 0x7F},
                             {"SAMPCTRL", kSAMPCTRL, 1, 0, Access::ReadWrite, 0x3F},
                             {"WINLT", kWINLT, 2, 0, Access::ReadWrite, 0},
                             {"WINUT", kWINUT, 2, 0, Access::ReadWrite, 0},
                             {"GAINCORR", kGAINCORR, 2, 0, Access::ReadWrite, 0},
                             {"OFFSETCORR", kOFFSETCORR, 2, 0, Access::ReadWrite, 0},
                             {"SWTRIG", kSWTRIG, 1, 0, Access::ReadWrite, kStart | kFlush},
                             {"DBGCTRL", kDBGCTRL, 1, 0, Access::ReadWrite, 0},
                             {"SYNCBUSY", kSYNCBUSY, 2, 0, Access::ReadOnly, kAll},
                             {"RESULT", kRESULT, 2, 0, Access::ReadOnly, kAll},
                             {"SEQCTRL", kSEQCTRL, 4, 0, Access::ReadWrite, 0},
                             {"CALIB", kCALIB, 2, 0, Access::ReadWrite, 0x0707},
                         }) {}

void Adc::reset() {
    RegisterPeripheral::reset();
    for (SimTime& t : busy_until_) t = 0;
    conversion_done_at_ = kNever;
    conversions_ = 0;
}

std::uint32_t Adc::sync_bit(std::uint32_t offset) const {
    switch (offset) {
        case kCTRLA:
            return kSyncEnable;  // SWRST is handled with it
        case kINPUTCTRL:
            return kSyncInputctrl;
        case kCTRLC:
            return kSyncCtrlc;
        case kAVGCTRL:
            return kSyncAvgctrl;
        case kSAMPCTRL:
            return kSyncSampctrl;
        case kWINLT:
            return kSyncWinlt;
        case kWINUT:
            return kSyncWinut;
        case kGAINCORR:
            return kSyncGaincorr;
        case kOFFSETCORR:
            return kSyncOffsetcorr;
        case kSWTRIG:
            return kSyncSwtrig;
        default:
            return kNoSync;
    }
}

void Adc::start_sync(std::uint32_t bit) {
    const std::uint32_t hz = board().model<Gclk>().channel_hz(kGclkChannel);
    busy_until_[bit] = hz == 0 ? kNever : now() + kSyncPeriods * period_of(hz);
}

SimTime Adc::conversion_time() const {
    const std::uint32_t gclk_hz = board().model<Gclk>().channel_hz(kGclkChannel);
    if (gclk_hz == 0) return kNever;
    const std::uint32_t adc_hz = gclk_hz >> ((value(kCTRLB) & 0x7) + 1);  // DIV2 .. DIV256
    const unsigned sampling = ((value(kSAMPCTRL) & 0x3F) + 1 + 1) / 2;
    const unsigned bits = kResselBits[(value(kCTRLC) >> 4) & 0x3];
    return (sampling + bits) * period_of(adc_hz);
}

void Adc::advance(SimTime now) {
    if (now < conversion_done_at_) return;
    conversion_done_at_ = kNever;
    ++conversions_;
    set_value(kRESULT, kMidScale10Bit);
    set_value(kINTFLAG, value(kINTFLAG) | kResRdy);
}

std::uint32_t Adc::on_read(const RegisterSpec& reg, std::uint32_t stored) {
    if (reg.offset == kSYNCBUSY) {
        std::uint32_t busy = 0;
        for (unsigned bit = 0; bit < 11; ++bit)
            if (now() < busy_until_[bit]) busy |= 1u << bit;
        return busy;
    }
    if (reg.offset == kRESULT)
        set_value(kINTFLAG, value(kINTFLAG) & ~kResRdy);  // reading RESULT clears RESRDY
    return stored;
}

void Adc::on_write(const RegisterSpec& reg, std::uint32_t old_value, std::uint32_t written) {
    if (reg.offset == kINTFLAG)
        return set_value(kINTFLAG, old_value & ~written);  // write 1 to clear
    if (reg.offset == kCTRLA && (written & kSwrst)) {
        RegisterPeripheral::reset();
        conversion_done_at_ = kNever;
        start_sync(kSyncSwrst);
        return;
    }
    if (reg.offset == kSWTRIG) {
        start_sync(kSyncSwtrig);
        if ((written & kStart) && enabled()) {
            const SimTime t = conversion_time();
            conversion_done_at_ = t == kNever ? kNever : now() + t;
            reschedule();
        }
        return;  // START and FLUSH clear themselves
    }
    RegisterPeripheral::on_write(reg, old_value, written);
    if (const std::uint32_t bit = sync_bit(reg.offset); bit != kNoSync) start_sync(bit);
    if (reg.offset == kCTRLA && !(written & kEnable)) conversion_done_at_ = kNever;
}

}  // namespace vboard
