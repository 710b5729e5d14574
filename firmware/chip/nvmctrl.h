// NVMCTRL: non-volatile memory controller.
#pragma once

#include <cstddef>
#include <cstdint>

#include "chip/base.h"
#include "chip/field.h"

namespace chip {

struct Nvmctrl {
    volatile uint16_t CTRLA;  // 0x00
    uint8_t Reserved1[2];
    volatile uint32_t CTRLB;        // 0x04
    const volatile uint32_t PARAM;  // 0x08, filled in by hardware
    volatile uint8_t INTENCLR;      // 0x0C
    uint8_t Reserved2[3];
    volatile uint8_t INTENSET;  // 0x10
    uint8_t Reserved3[3];
    volatile uint8_t INTFLAG;  // 0x14
    uint8_t Reserved4[3];
    volatile uint16_t STATUS;  // 0x18
    uint8_t Reserved5[2];
    volatile uint32_t ADDR;  // 0x1C, in 16-bit words on this part
    volatile uint16_t LOCK;  // 0x20
};

static_assert(offsetof(Nvmctrl, CTRLA) == 0x00);
static_assert(offsetof(Nvmctrl, CTRLB) == 0x04);
static_assert(offsetof(Nvmctrl, PARAM) == 0x08);
static_assert(offsetof(Nvmctrl, INTENCLR) == 0x0C);
static_assert(offsetof(Nvmctrl, INTENSET) == 0x10);
static_assert(offsetof(Nvmctrl, INTFLAG) == 0x14);
static_assert(offsetof(Nvmctrl, STATUS) == 0x18);
static_assert(offsetof(Nvmctrl, ADDR) == 0x1C);
static_assert(offsetof(Nvmctrl, LOCK) == 0x20);

namespace nvmctrl {

// CTRLA: a command is CMD and the key in CMDEX, written together.
using CTRLA_CMD = Field<0, 7>;
using CTRLA_CMDEX = Field<8, 8>;
constexpr uint32_t CTRLA_CMDEX_KEY = 0xA5;
constexpr uint32_t CMD_ER = 0x02;       // erase row
constexpr uint32_t CMD_WP = 0x04;       // write page
constexpr uint32_t CMD_EAR = 0x05;      // erase auxiliary row
constexpr uint32_t CMD_WAP = 0x06;      // write auxiliary page
constexpr uint32_t CMD_SF = 0x0A;       // security flow
constexpr uint32_t CMD_WL = 0x0F;       // write lockbits
constexpr uint32_t CMD_RWWEEER = 0x1A;  // RWW EEPROM erase row
constexpr uint32_t CMD_RWWEEWP = 0x1C;  // RWW EEPROM write page
constexpr uint32_t CMD_LR = 0x40;       // lock region
constexpr uint32_t CMD_UR = 0x41;       // unlock region
constexpr uint32_t CMD_SPRM = 0x42;     // set power reduction mode
constexpr uint32_t CMD_CPRM = 0x43;     // clear power reduction mode
constexpr uint32_t CMD_PBC = 0x44;      // page buffer clear
constexpr uint32_t CMD_SSB = 0x45;      // set security bit
constexpr uint32_t CMD_INVALL = 0x46;   // invalidate all caches
// The 16-bit CTRLA value that executes command cmd.
constexpr uint16_t command(uint32_t cmd) {
    return static_cast<uint16_t>(CTRLA_CMDEX::val(CTRLA_CMDEX_KEY) | CTRLA_CMD::val(cmd));
}
static_assert(command(CMD_ER) == 0xA502);
static_assert(command(CMD_WP) == 0xA504);
static_assert(command(CMD_PBC) == 0xA544);

// CTRLB
using CTRLB_RWS = Field<1, 4>;  // read wait states
constexpr uint32_t CTRLB_MANW = bit(7);
using CTRLB_SLEEPPRM = Field<8, 2>;
constexpr uint32_t CTRLB_FWUP = bit(11);
using CTRLB_READMODE = Field<16, 2>;
constexpr uint32_t CTRLB_CACHEDIS = bit(18);

// PARAM
using PARAM_NVMP = Field<0, 16>;  // number of pages
using PARAM_PSZ = Field<16, 3>;   // page size code: 8 << PSZ bytes
using PARAM_RWWEEP = Field<20, 12>;

// INTENCLR / INTENSET / INTFLAG
constexpr uint32_t INTFLAG_READY = bit(0);
constexpr uint32_t INTFLAG_ERROR = bit(1);

// STATUS
constexpr uint32_t STATUS_PRM = bit(0);
constexpr uint32_t STATUS_LOAD = bit(1);
constexpr uint32_t STATUS_PROGE = bit(2);
constexpr uint32_t STATUS_LOCKE = bit(3);
constexpr uint32_t STATUS_NVME = bit(4);
constexpr uint32_t STATUS_SB = bit(8);

// ADDR
using ADDR_ADDR = Field<0, 22>;

}  // namespace nvmctrl

inline Nvmctrl& NVMCTRL = *reinterpret_cast<Nvmctrl*>(NVMCTRL_BASE);

}  // namespace chip
