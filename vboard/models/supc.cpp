#include "supc.h"

namespace vboard {

Supc::Supc(Board& board)
    : RegisterPeripheral(board, "SUPC", kBase, 0x2C,
                         {
                             {"INTENCLR", kINTENCLR, 4, 0, Access::ReadWrite, 0},
                             {"INTENSET", kINTENSET, 4, 0, Access::ReadWrite, 0},
                             {"INTFLAG", kINTFLAG, 4, 0, Access::ReadWrite, 0},
                             {"STATUS", kSTATUS, 4, 0, Access::ReadOnly, 0xFFFFFFFF},
                             {"BOD33", kBOD33, 4, 0, Access::ReadWrite, 0},
                             {"BOD12", kBOD12, 4, 0, Access::ReadWrite, 0},
                             {"VREG", kVREG, 4, 0, Access::ReadWrite, 0},
                             {"VREF", kVREF, 4, 0, Access::ReadWrite, kVrefVrefoe | kVrefSelMask},
                             {"BBPS", kBBPS, 4, 0, Access::ReadWrite, 0},
                             {"BKOUT", kBKOUT, 4, 0, Access::ReadWrite, 0},
                             {"BKIN", kBKIN, 4, 0, Access::ReadOnly, 0xFFFFFFFF},
                         }) {}

}  // namespace vboard
