// SERCOM: serial-communication module. One register block per module, seen as a USART,
// an I2C master or an I2C slave depending on CTRLA.MODE.
#pragma once

#include <cstddef>
#include <cstdint>

#include "chip/base.h"
#include "chip/field.h"

namespace chip {

struct SercomUsart {
    volatile uint32_t CTRLA;  // 0x00
    volatile uint32_t CTRLB;  // 0x04
    uint8_t Reserved1[4];     // CTRLC does not exist on this part
    volatile uint16_t BAUD;   // 0x0C
    volatile uint8_t RXPL;    // 0x0E
    uint8_t Reserved2[5];
    volatile uint8_t INTENCLR;  // 0x14
    uint8_t Reserved3[1];
    volatile uint8_t INTENSET;  // 0x16
    uint8_t Reserved4[1];
    volatile uint8_t INTFLAG;  // 0x18
    uint8_t Reserved5[1];
    volatile uint16_t STATUS;          // 0x1A
    const volatile uint32_t SYNCBUSY;  // 0x1C
    uint8_t Reserved6[8];
    volatile uint16_t DATA;  // 0x28
    uint8_t Reserved7[6];
    volatile uint8_t DBGCTRL;  // 0x30
};

struct SercomI2cm {
    volatile uint32_t CTRLA;  // 0x00
    volatile uint32_t CTRLB;  // 0x04
    uint8_t Reserved1[4];
    volatile uint32_t BAUD;  // 0x0C
    uint8_t Reserved2[4];
    volatile uint8_t INTENCLR;  // 0x14
    uint8_t Reserved3[1];
    volatile uint8_t INTENSET;  // 0x16
    uint8_t Reserved4[1];
    volatile uint8_t INTFLAG;  // 0x18
    uint8_t Reserved5[1];
    volatile uint16_t STATUS;          // 0x1A
    const volatile uint32_t SYNCBUSY;  // 0x1C
    uint8_t Reserved6[4];
    volatile uint32_t ADDR;  // 0x24
    volatile uint8_t DATA;   // 0x28
    uint8_t Reserved7[7];
    volatile uint8_t DBGCTRL;  // 0x30
};

// The slave view shares the master view's register offsets. The fact sheet this file follows
// gives no slave-mode table; the slave fields below are the SAM0 SERCOM I2C slave layout
// (unconfirmed for this part, except the bits the I2C driver's slave service reads).
struct SercomI2cs {
    volatile uint32_t CTRLA;  // 0x00
    volatile uint32_t CTRLB;  // 0x04
    uint8_t Reserved1[12];
    volatile uint8_t INTENCLR;  // 0x14
    uint8_t Reserved2[1];
    volatile uint8_t INTENSET;  // 0x16
    uint8_t Reserved3[1];
    volatile uint8_t INTFLAG;  // 0x18
    uint8_t Reserved4[1];
    volatile uint16_t STATUS;          // 0x1A
    const volatile uint32_t SYNCBUSY;  // 0x1C
    uint8_t Reserved5[4];
    volatile uint32_t ADDR;  // 0x24
    volatile uint8_t DATA;   // 0x28
};

union Sercom {
    SercomI2cm I2CM;
    SercomI2cs I2CS;
    SercomUsart USART;
};

static_assert(offsetof(SercomUsart, CTRLA) == 0x00);
static_assert(offsetof(SercomUsart, CTRLB) == 0x04);
static_assert(offsetof(SercomUsart, BAUD) == 0x0C);
static_assert(offsetof(SercomUsart, RXPL) == 0x0E);
static_assert(offsetof(SercomUsart, INTENCLR) == 0x14);
static_assert(offsetof(SercomUsart, INTENSET) == 0x16);
static_assert(offsetof(SercomUsart, INTFLAG) == 0x18);
static_assert(offsetof(SercomUsart, STATUS) == 0x1A);
static_assert(offsetof(SercomUsart, SYNCBUSY) == 0x1C);
static_assert(offsetof(SercomUsart, DATA) == 0x28);
static_assert(offsetof(SercomUsart, DBGCTRL) == 0x30);

static_assert(offsetof(SercomI2cm, CTRLA) == 0x00);
static_assert(offsetof(SercomI2cm, CTRLB) == 0x04);
static_assert(offsetof(SercomI2cm, BAUD) == 0x0C);
static_assert(offsetof(SercomI2cm, INTENCLR) == 0x14);
static_assert(offsetof(SercomI2cm, INTENSET) == 0x16);
static_assert(offsetof(SercomI2cm, INTFLAG) == 0x18);
static_assert(offsetof(SercomI2cm, STATUS) == 0x1A);
static_assert(offsetof(SercomI2cm, SYNCBUSY) == 0x1C);
static_assert(offsetof(SercomI2cm, ADDR) == 0x24);
static_assert(offsetof(SercomI2cm, DATA) == 0x28);
static_assert(offsetof(SercomI2cm, DBGCTRL) == 0x30);

static_assert(offsetof(SercomI2cs, CTRLA) == 0x00);
static_assert(offsetof(SercomI2cs, CTRLB) == 0x04);
static_assert(offsetof(SercomI2cs, INTENCLR) == 0x14);
static_assert(offsetof(SercomI2cs, INTENSET) == 0x16);
static_assert(offsetof(SercomI2cs, INTFLAG) == 0x18);
static_assert(offsetof(SercomI2cs, STATUS) == 0x1A);
static_assert(offsetof(SercomI2cs, SYNCBUSY) == 0x1C);
static_assert(offsetof(SercomI2cs, ADDR) == 0x24);
static_assert(offsetof(SercomI2cs, DATA) == 0x28);

namespace sercom {

// CTRLA fields common to every mode.
constexpr uint32_t CTRLA_SWRST = bit(0);
constexpr uint32_t CTRLA_ENABLE = bit(1);
using CTRLA_MODE = Field<2, 3>;
constexpr uint32_t MODE_USART_EXT_CLK = 0;
constexpr uint32_t MODE_USART_INT_CLK = 1;
constexpr uint32_t MODE_SPI_SLAVE = 2;
constexpr uint32_t MODE_SPI_MASTER = 3;
constexpr uint32_t MODE_I2C_SLAVE = 4;
constexpr uint32_t MODE_I2C_MASTER = 5;
constexpr uint32_t CTRLA_RUNSTDBY = bit(7);

// SYNCBUSY fields common to every mode.
constexpr uint32_t SYNCBUSY_SWRST = bit(0);
constexpr uint32_t SYNCBUSY_ENABLE = bit(1);

}  // namespace sercom

namespace sercom_usart {

// CTRLA
constexpr uint32_t CTRLA_IBON = bit(8);
using CTRLA_SAMPR = Field<13, 3>;
constexpr uint32_t SAMPR_16X_ARITHMETIC = 0;
constexpr uint32_t SAMPR_16X_FRACTIONAL = 1;
constexpr uint32_t SAMPR_8X_ARITHMETIC = 2;
constexpr uint32_t SAMPR_8X_FRACTIONAL = 3;
constexpr uint32_t SAMPR_3X_ARITHMETIC = 4;
using CTRLA_TXPO = Field<16, 2>;
using CTRLA_RXPO = Field<20, 2>;
using CTRLA_SAMPA = Field<22, 2>;
using CTRLA_FORM = Field<24, 4>;
constexpr uint32_t FORM_USART = 0;
constexpr uint32_t FORM_USART_PARITY = 1;
constexpr uint32_t CTRLA_CMODE = bit(28);
constexpr uint32_t CTRLA_CPOL = bit(29);
constexpr uint32_t CTRLA_DORD = bit(30);  // 1 = LSB first

// CTRLB
using CTRLB_CHSIZE = Field<0, 3>;
constexpr uint32_t CTRLB_SBMODE = bit(6);
constexpr uint32_t CTRLB_COLDEN = bit(8);
constexpr uint32_t CTRLB_SFDE = bit(9);
constexpr uint32_t CTRLB_ENC = bit(10);
constexpr uint32_t CTRLB_PMODE = bit(13);
constexpr uint32_t CTRLB_TXEN = bit(16);
constexpr uint32_t CTRLB_RXEN = bit(17);

// BAUD: arithmetic view, and fractional view (integer part and eighths).
using BAUD_BAUD = Field<0, 16>;
using BAUD_FRAC_BAUD = Field<0, 13>;
using BAUD_FRAC_FP = Field<13, 3>;

// INTENCLR / INTENSET / INTFLAG
constexpr uint32_t INTFLAG_DRE = bit(0);
constexpr uint32_t INTFLAG_TXC = bit(1);
constexpr uint32_t INTFLAG_RXC = bit(2);
constexpr uint32_t INTFLAG_RXS = bit(3);
constexpr uint32_t INTFLAG_CTSIC = bit(4);
constexpr uint32_t INTFLAG_RXBRK = bit(5);
constexpr uint32_t INTFLAG_ERROR = bit(7);

// STATUS
constexpr uint32_t STATUS_PERR = bit(0);
constexpr uint32_t STATUS_FERR = bit(1);
constexpr uint32_t STATUS_BUFOVF = bit(2);
constexpr uint32_t STATUS_CTS = bit(3);
constexpr uint32_t STATUS_ISF = bit(4);
constexpr uint32_t STATUS_COLL = bit(5);

// SYNCBUSY
constexpr uint32_t SYNCBUSY_SWRST = bit(0);
constexpr uint32_t SYNCBUSY_ENABLE = bit(1);
constexpr uint32_t SYNCBUSY_CTRLB = bit(2);

using DATA_DATA = Field<0, 9>;
constexpr uint32_t DBGCTRL_DBGSTOP = bit(0);

}  // namespace sercom_usart

namespace sercom_i2cm {

// CTRLA
constexpr uint32_t CTRLA_PINOUT = bit(16);
using CTRLA_SDAHOLD = Field<20, 2>;
constexpr uint32_t CTRLA_MEXTTOEN = bit(22);
constexpr uint32_t CTRLA_SEXTTOEN = bit(23);
using CTRLA_SPEED = Field<24, 2>;
constexpr uint32_t CTRLA_SCLSM = bit(27);
using CTRLA_INACTOUT = Field<28, 2>;
constexpr uint32_t CTRLA_LOWTOUTEN = bit(30);

// CTRLB
constexpr uint32_t CTRLB_SMEN = bit(8);
constexpr uint32_t CTRLB_QCEN = bit(9);
using CTRLB_CMD = Field<16, 2>;
constexpr uint32_t CMD_NO_ACTION = 0;
constexpr uint32_t CMD_REPEATED_START = 1;
constexpr uint32_t CMD_READ = 2;
constexpr uint32_t CMD_STOP = 3;
constexpr uint32_t CTRLB_ACKACT = bit(18);  // 1 = answer with NACK

// BAUD
using BAUD_BAUD = Field<0, 8>;
using BAUD_BAUDLOW = Field<8, 8>;
using BAUD_HSBAUD = Field<16, 8>;
using BAUD_HSBAUDLOW = Field<24, 8>;

// INTENCLR / INTENSET / INTFLAG
constexpr uint32_t INTFLAG_MB = bit(0);  // master on bus
constexpr uint32_t INTFLAG_SB = bit(1);  // slave on bus
constexpr uint32_t INTFLAG_ERROR = bit(7);

// STATUS
constexpr uint32_t STATUS_BUSERR = bit(0);
constexpr uint32_t STATUS_ARBLOST = bit(1);
constexpr uint32_t STATUS_RXNACK = bit(2);
using STATUS_BUSSTATE = Field<4, 2>;
constexpr uint32_t BUSSTATE_UNKNOWN = 0;
constexpr uint32_t BUSSTATE_IDLE = 1;
constexpr uint32_t BUSSTATE_OWNER = 2;
constexpr uint32_t BUSSTATE_BUSY = 3;
constexpr uint32_t STATUS_LOWTOUT = bit(6);
constexpr uint32_t STATUS_CLKHOLD = bit(7);
constexpr uint32_t STATUS_MEXTTOUT = bit(8);
constexpr uint32_t STATUS_SEXTTOUT = bit(9);
constexpr uint32_t STATUS_LENERR = bit(10);

// SYNCBUSY
constexpr uint32_t SYNCBUSY_SWRST = bit(0);
constexpr uint32_t SYNCBUSY_ENABLE = bit(1);
constexpr uint32_t SYNCBUSY_SYSOP = bit(2);

// ADDR
using ADDR_ADDR = Field<0, 11>;
constexpr uint32_t ADDR_LENEN = bit(13);
constexpr uint32_t ADDR_HS = bit(14);
constexpr uint32_t ADDR_TENBITEN = bit(15);
using ADDR_LEN = Field<16, 8>;

using DATA_DATA = Field<0, 8>;
constexpr uint32_t DBGCTRL_DBGSTOP = bit(0);

}  // namespace sercom_i2cm

namespace sercom_i2cs {

// CTRLA (SDAHOLD, SEXTTOEN, SPEED, SCLSM and LOWTOUTEN as in the master view)
constexpr uint32_t CTRLA_PINOUT = bit(16);
using CTRLA_SDAHOLD = Field<20, 2>;
constexpr uint32_t CTRLA_SEXTTOEN = bit(23);
using CTRLA_SPEED = Field<24, 2>;
constexpr uint32_t CTRLA_SCLSM = bit(27);
constexpr uint32_t CTRLA_LOWTOUTEN = bit(30);

// CTRLB
constexpr uint32_t CTRLB_SMEN = bit(8);
constexpr uint32_t CTRLB_GCMD = bit(9);
constexpr uint32_t CTRLB_AACKEN = bit(10);
using CTRLB_AMODE = Field<14, 2>;
using CTRLB_CMD = Field<16, 2>;
constexpr uint32_t CTRLB_ACKACT = bit(18);

// INTENCLR / INTENSET / INTFLAG
constexpr uint32_t INTFLAG_PREC = bit(0);    // stop received
constexpr uint32_t INTFLAG_AMATCH = bit(1);  // address match
constexpr uint32_t INTFLAG_DRDY = bit(2);    // data ready
constexpr uint32_t INTFLAG_ERROR = bit(7);

// STATUS
constexpr uint32_t STATUS_BUSERR = bit(0);
constexpr uint32_t STATUS_COLL = bit(1);
constexpr uint32_t STATUS_RXNACK = bit(2);
constexpr uint32_t STATUS_DIR = bit(3);  // 1 = the master reads
constexpr uint32_t STATUS_SR = bit(4);   // repeated start
constexpr uint32_t STATUS_LOWTOUT = bit(6);
constexpr uint32_t STATUS_CLKHOLD = bit(7);
constexpr uint32_t STATUS_SEXTTOUT = bit(9);
constexpr uint32_t STATUS_HS = bit(10);

// SYNCBUSY
constexpr uint32_t SYNCBUSY_SWRST = bit(0);
constexpr uint32_t SYNCBUSY_ENABLE = bit(1);

// ADDR
constexpr uint32_t ADDR_GENCEN = bit(0);
using ADDR_ADDR = Field<1, 10>;
constexpr uint32_t ADDR_TENBITEN = bit(15);
using ADDR_ADDRMASK = Field<17, 10>;

using DATA_DATA = Field<0, 8>;

}  // namespace sercom_i2cs

constexpr unsigned SERCOM_INST_NUM = 6;

inline Sercom& SERCOM0 = *reinterpret_cast<Sercom*>(SERCOM0_BASE);
inline Sercom& SERCOM1 = *reinterpret_cast<Sercom*>(SERCOM1_BASE);
inline Sercom& SERCOM2 = *reinterpret_cast<Sercom*>(SERCOM2_BASE);
inline Sercom& SERCOM3 = *reinterpret_cast<Sercom*>(SERCOM3_BASE);
inline Sercom& SERCOM4 = *reinterpret_cast<Sercom*>(SERCOM4_BASE);
inline Sercom& SERCOM5 = *reinterpret_cast<Sercom*>(SERCOM5_BASE);

}  // namespace chip
