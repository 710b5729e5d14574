// ADC: analogue-to-digital converter.
#pragma once

#include <cstddef>
#include <cstdint>

#include "chip/base.h"
#include "chip/field.h"

namespace chip {

struct Adc {
    volatile uint8_t CTRLA;            // 0x00
    volatile uint8_t CTRLB;            // 0x01
    volatile uint8_t REFCTRL;          // 0x02
    volatile uint8_t EVCTRL;           // 0x03
    volatile uint8_t INTENCLR;         // 0x04
    volatile uint8_t INTENSET;         // 0x05
    volatile uint8_t INTFLAG;          // 0x06
    const volatile uint8_t SEQSTATUS;  // 0x07
    volatile uint16_t INPUTCTRL;       // 0x08
    volatile uint16_t CTRLC;           // 0x0A
    volatile uint8_t AVGCTRL;          // 0x0C
    volatile uint8_t SAMPCTRL;         // 0x0D
    volatile uint16_t WINLT;           // 0x0E
    volatile uint16_t WINUT;           // 0x10
    volatile uint16_t GAINCORR;        // 0x12
    volatile uint16_t OFFSETCORR;      // 0x14
    uint8_t Reserved1[2];
    volatile uint8_t SWTRIG;  // 0x18
    uint8_t Reserved2[3];
    volatile uint8_t DBGCTRL;  // 0x1C
    uint8_t Reserved3[3];
    const volatile uint16_t SYNCBUSY;  // 0x20
    uint8_t Reserved4[2];
    const volatile uint16_t RESULT;  // 0x24
    uint8_t Reserved5[2];
    volatile uint32_t SEQCTRL;  // 0x28
    volatile uint16_t CALIB;    // 0x2C
};

static_assert(offsetof(Adc, CTRLA) == 0x00);
static_assert(offsetof(Adc, CTRLB) == 0x01);
static_assert(offsetof(Adc, REFCTRL) == 0x02);
static_assert(offsetof(Adc, EVCTRL) == 0x03);
static_assert(offsetof(Adc, INTENCLR) == 0x04);
static_assert(offsetof(Adc, INTENSET) == 0x05);
static_assert(offsetof(Adc, INTFLAG) == 0x06);
static_assert(offsetof(Adc, SEQSTATUS) == 0x07);
static_assert(offsetof(Adc, INPUTCTRL) == 0x08);
static_assert(offsetof(Adc, CTRLC) == 0x0A);
static_assert(offsetof(Adc, AVGCTRL) == 0x0C);
static_assert(offsetof(Adc, SAMPCTRL) == 0x0D);
static_assert(offsetof(Adc, WINLT) == 0x0E);
static_assert(offsetof(Adc, WINUT) == 0x10);
static_assert(offsetof(Adc, GAINCORR) == 0x12);
static_assert(offsetof(Adc, OFFSETCORR) == 0x14);
static_assert(offsetof(Adc, SWTRIG) == 0x18);
static_assert(offsetof(Adc, DBGCTRL) == 0x1C);
static_assert(offsetof(Adc, SYNCBUSY) == 0x20);
static_assert(offsetof(Adc, RESULT) == 0x24);
static_assert(offsetof(Adc, SEQCTRL) == 0x28);
static_assert(offsetof(Adc, CALIB) == 0x2C);

namespace adc {

// CTRLA
constexpr uint32_t CTRLA_SWRST = bit(0);
constexpr uint32_t CTRLA_ENABLE = bit(1);
constexpr uint32_t CTRLA_RUNSTDBY = bit(6);
constexpr uint32_t CTRLA_ONDEMAND = bit(7);

// CTRLB: the ADC clock is divided by 2 << PRESCALER.
using CTRLB_PRESCALER = Field<0, 3>;
constexpr uint32_t PRESCALER_DIV2 = 0;
constexpr uint32_t PRESCALER_DIV4 = 1;
constexpr uint32_t PRESCALER_DIV8 = 2;
constexpr uint32_t PRESCALER_DIV16 = 3;
constexpr uint32_t PRESCALER_DIV32 = 4;
constexpr uint32_t PRESCALER_DIV64 = 5;
constexpr uint32_t PRESCALER_DIV128 = 6;
constexpr uint32_t PRESCALER_DIV256 = 7;

// REFCTRL
using REFCTRL_REFSEL = Field<0, 4>;
constexpr uint32_t REFSEL_INTREF = 0;  // SUPC VREF
constexpr uint32_t REFSEL_INTVCC0 = 1;
constexpr uint32_t REFSEL_INTVCC1 = 2;
constexpr uint32_t REFSEL_AREFA = 3;
constexpr uint32_t REFSEL_AREFB = 4;
constexpr uint32_t REFSEL_INTVCC2 = 5;
constexpr uint32_t REFCTRL_REFCOMP = bit(7);

// EVCTRL
constexpr uint32_t EVCTRL_FLUSHEI = bit(0);
constexpr uint32_t EVCTRL_STARTEI = bit(1);
constexpr uint32_t EVCTRL_FLUSHINV = bit(2);
constexpr uint32_t EVCTRL_STARTINV = bit(3);
constexpr uint32_t EVCTRL_RESRDYEO = bit(4);
constexpr uint32_t EVCTRL_WINMONEO = bit(5);

// INTENCLR / INTENSET / INTFLAG
constexpr uint32_t INTFLAG_RESRDY = bit(0);
constexpr uint32_t INTFLAG_OVERRUN = bit(1);
constexpr uint32_t INTFLAG_WINMON = bit(2);

// SEQSTATUS
using SEQSTATUS_SEQSTATE = Field<0, 5>;
constexpr uint32_t SEQSTATUS_SEQBUSY = bit(7);

// INPUTCTRL
using INPUTCTRL_MUXPOS = Field<0, 5>;
constexpr uint32_t MUXPOS_AIN0 = 0;
constexpr uint32_t MUXPOS_TEMP = 0x18;
constexpr uint32_t MUXPOS_BANDGAP = 0x19;
constexpr uint32_t MUXPOS_SCALEDCOREVCC = 0x1A;
constexpr uint32_t MUXPOS_SCALEDIOVCC = 0x1B;
using INPUTCTRL_MUXNEG = Field<8, 5>;
constexpr uint32_t MUXNEG_AIN0 = 0;
constexpr uint32_t MUXNEG_GND = 0x18;

// CTRLC
constexpr uint32_t CTRLC_DIFFMODE = bit(0);
constexpr uint32_t CTRLC_LEFTADJ = bit(1);
constexpr uint32_t CTRLC_FREERUN = bit(2);
constexpr uint32_t CTRLC_CORREN = bit(3);
using CTRLC_RESSEL = Field<4, 2>;
constexpr uint32_t RESSEL_12BIT = 0;
constexpr uint32_t RESSEL_16BIT = 1;
constexpr uint32_t RESSEL_10BIT = 2;
constexpr uint32_t RESSEL_8BIT = 3;
using CTRLC_WINMODE = Field<8, 3>;

// AVGCTRL, SAMPCTRL
using AVGCTRL_SAMPLENUM = Field<0, 4>;  // 2^n samples
constexpr uint32_t SAMPLENUM_1 = 0;
using AVGCTRL_ADJRES = Field<4, 3>;
using SAMPCTRL_SAMPLEN = Field<0, 6>;
constexpr uint32_t SAMPCTRL_OFFCOMP = bit(7);

// SWTRIG
constexpr uint32_t SWTRIG_FLUSH = bit(0);
constexpr uint32_t SWTRIG_START = bit(1);

constexpr uint32_t DBGCTRL_DBGRUN = bit(0);

// SYNCBUSY: one bit per synchronised register.
constexpr uint32_t SYNCBUSY_SWRST = bit(0);
constexpr uint32_t SYNCBUSY_ENABLE = bit(1);
constexpr uint32_t SYNCBUSY_INPUTCTRL = bit(2);
constexpr uint32_t SYNCBUSY_CTRLC = bit(3);
constexpr uint32_t SYNCBUSY_AVGCTRL = bit(4);
constexpr uint32_t SYNCBUSY_SAMPCTRL = bit(5);
constexpr uint32_t SYNCBUSY_WINLT = bit(6);
constexpr uint32_t SYNCBUSY_WINUT = bit(7);
constexpr uint32_t SYNCBUSY_GAINCORR = bit(8);
constexpr uint32_t SYNCBUSY_OFFSETCORR = bit(9);
constexpr uint32_t SYNCBUSY_SWTRIG = bit(10);
constexpr uint32_t SYNCBUSY_ALL = 0x7FF;

// CALIB
using CALIB_BIASCOMP = Field<0, 3>;
using CALIB_BIASREFBUF = Field<8, 3>;

}  // namespace adc

inline Adc& ADC = *reinterpret_cast<Adc*>(ADC_BASE);

}  // namespace chip
