#include "cpu.h"

#include <memory>
#include <stdexcept>
#include <string>

#include "board.h"

namespace vboard {

namespace {

constexpr std::uint32_t kThumbBit = 1u << 24;      // EPSR.T
constexpr std::uint32_t kStackAlignBit = 1u << 9;  // stacked xPSR: frame was padded
constexpr std::uint32_t kIpsrMask = 0x3F;
constexpr std::uint32_t kApsrMask = 0xF0000000;
constexpr std::uint32_t kExcReturnThread = 0xFFFFFFF9;   // thread mode, main stack
constexpr std::uint32_t kExcReturnHandler = 0xFFFFFFF1;  // handler mode, main stack
constexpr std::uint32_t kFrameWords = 8;

void check(uc_err err, const char* what) {
    if (err != UC_ERR_OK) throw std::runtime_error(std::string(what) + ": " + uc_strerror(err));
}

}  // namespace

Cpu::Cpu(Board& board) : board_(board) {
    check(uc_open(UC_ARCH_ARM, UC_MODE_THUMB, &uc_), "uc_open");
    // The M0 model must be chosen before anything is mapped. UC_MODE_MCLASS
    // is not used: it silently selects a Cortex-M33.
    check(uc_ctl_set_cpu_model(uc_, UC_CPU_ARM_CORTEX_M0), "selecting the Cortex-M0 model");
    uc_hook hook;
    check(
        uc_hook_add(uc_, &hook, UC_HOOK_BLOCK, reinterpret_cast<void*>(&Cpu::on_block), this, 1, 0),
        "block hook");
    check(uc_hook_add(uc_, &hook, UC_HOOK_INTR, reinterpret_cast<void*>(&Cpu::on_interrupt), this,
                      1, 0),
          "interrupt hook");
    check(uc_hook_add(uc_, &hook, UC_HOOK_MEM_UNMAPPED, reinterpret_cast<void*>(&Cpu::on_unmapped),
                      this, 1, 0),
          "unmapped hook");
    check(uc_hook_add(uc_, &hook, UC_HOOK_MEM_WRITE_PROT,
                      reinterpret_cast<void*>(&Cpu::on_write_protected), this, 1, 0),
          "write-protect hook");
}

Cpu::~Cpu() {
    if (uc_) uc_close(uc_);
}

void Cpu::map_memory(std::uint32_t base, std::uint32_t size, std::uint32_t perms) {
    check(uc_mem_map(uc_, base, size, perms), "mapping memory");
}

void Cpu::map_io(std::uint32_t base, std::uint32_t size) {
    windows_.push_back(std::make_unique<Window>(Window{this, base}));
    check(uc_mmio_map(uc_, base, size, &Cpu::on_io_read, windows_.back().get(), &Cpu::on_io_write,
                      windows_.back().get()),
          "mapping I/O");
}

void Cpu::write_memory(std::uint32_t address, const void* data, std::size_t size) {
    check(uc_mem_write(uc_, address, data, size), "writing memory");
}

void Cpu::read_memory(std::uint32_t address, void* data, std::size_t size) const {
    check(uc_mem_read(uc_, address, data, size), "reading memory");
}

void Cpu::invalidate_code(std::uint32_t address, std::uint32_t size) {
    uc_ctl_remove_cache(uc_, address, address + size);
    for (CachedCost& c : cost_cache_) c = CachedCost{};
    for (auto it = costs_.begin(); it != costs_.end();) {
        const std::uint32_t block = static_cast<std::uint32_t>(it->first);
        const std::uint32_t bytes = static_cast<std::uint32_t>(it->first >> 32);
        if (block < address + size && address < block + bytes)
            it = costs_.erase(it);
        else
            ++it;
    }
}

std::uint32_t Cpu::reg(int id) const {
    std::uint32_t value = 0;
    uc_reg_read(uc_, id, &value);
    return value;
}

void Cpu::set_reg(int id, std::uint32_t value) {
    uc_reg_write(uc_, id, &value);
}

void Cpu::set_xpsr(std::uint32_t xpsr) {
    set_reg(UC_ARM_REG_XPSR, xpsr | kThumbBit);
    // Unicorn 2.0.1 does not rebuild its mode flags from an XPSR write; a
    // read and write of the flags does, so that EXC_RETURN works later.
    set_reg(UC_ARM_REG_APSR_NZCV, reg(UC_ARM_REG_APSR_NZCV));
}

CpuContext Cpu::save() const {
    CpuContext c;
    for (int i = 0; i < 13; ++i) c.r[i] = reg(UC_ARM_REG_R0 + i);
    c.sp = reg(UC_ARM_REG_SP);
    c.lr = reg(UC_ARM_REG_LR);
    c.pc = reg(UC_ARM_REG_PC);
    c.xpsr = reg(UC_ARM_REG_XPSR);
    c.primask = reg(UC_ARM_REG_PRIMASK);
    return c;
}

void Cpu::restore(const CpuContext& c) {
    for (int i = 0; i < 13; ++i) set_reg(UC_ARM_REG_R0 + i, c.r[i]);
    set_reg(UC_ARM_REG_SP, c.sp);
    set_reg(UC_ARM_REG_LR, c.lr);
    set_xpsr(c.xpsr);
    set_reg(UC_ARM_REG_PRIMASK, c.primask);
    set_pc(c.pc);
}

void Cpu::reset(std::uint32_t vector_table) {
    std::uint32_t words[2];
    read_memory(vector_table, words, sizeof words);
    for (int i = 0; i < 13; ++i) set_reg(UC_ARM_REG_R0 + i, 0);
    set_reg(UC_ARM_REG_CONTROL, 0);
    set_reg(UC_ARM_REG_PRIMASK, 0);
    set_reg(UC_ARM_REG_MSP, words[0]);
    set_reg(UC_ARM_REG_SP, words[0]);
    set_reg(UC_ARM_REG_LR, 0xFFFFFFFF);
    set_xpsr(0);
    set_pc(words[1]);
}

void Cpu::enter_exception(unsigned exception, std::uint32_t vector_table,
                          std::uint32_t return_address) {
    const std::uint32_t xpsr = reg(UC_ARM_REG_XPSR);
    const bool from_handler = (xpsr & kIpsrMask) != 0;
    std::uint32_t sp = reg(UC_ARM_REG_SP);
    std::uint32_t stacked_xpsr = (xpsr & ~kThumbBit) | kThumbBit;
    if (sp & 4u) {  // the frame is 8-byte aligned
        sp -= 4;
        stacked_xpsr |= kStackAlignBit;
    }
    sp -= kFrameWords * 4;
    const std::uint32_t frame[kFrameWords] = {
        reg(UC_ARM_REG_R0),  reg(UC_ARM_REG_R1), reg(UC_ARM_REG_R2),   reg(UC_ARM_REG_R3),
        reg(UC_ARM_REG_R12), reg(UC_ARM_REG_LR), return_address & ~1u, stacked_xpsr,
    };
    write_memory(sp, frame, sizeof frame);
    set_reg(UC_ARM_REG_SP, sp);
    set_reg(UC_ARM_REG_LR, from_handler ? kExcReturnHandler : kExcReturnThread);
    set_xpsr((xpsr & kApsrMask) | exception);
    std::uint32_t handler = 0;
    read_memory(vector_table + 4 * exception, &handler, sizeof handler);
    set_pc(handler);
}

unsigned Cpu::return_from_exception(std::uint32_t exc_return) {
    const unsigned returning = reg(UC_ARM_REG_XPSR) & kIpsrMask;
    std::uint32_t sp = reg(UC_ARM_REG_SP);
    std::uint32_t frame[kFrameWords];
    read_memory(sp, frame, sizeof frame);
    sp += kFrameWords * 4;
    if (frame[7] & kStackAlignBit) sp += 4;
    for (int i = 0; i < 4; ++i) set_reg(UC_ARM_REG_R0 + i, frame[i]);
    set_reg(UC_ARM_REG_R12, frame[4]);
    set_reg(UC_ARM_REG_LR, frame[5]);
    set_reg(UC_ARM_REG_SP, sp);
    set_xpsr(frame[7] & ~kStackAlignBit);
    set_pc(frame[6]);
    (void)exc_return;
    return returning;
}

uc_err Cpu::run() {
    // The end address is never reached: only the board stops a run.
    return uc_emu_start(uc_, pc() | 1u, 0xFFFFFFFF, 0, 0);
}

void Cpu::stop() {
    uc_emu_stop(uc_);
}

BlockCost Cpu::block_cost_slow(std::uint32_t address, std::uint32_t size, std::uint64_t key) {
    CachedCost& cached = cost_cache_[(address >> 1) & (kCostCacheSize - 1)];
    if (auto it = costs_.find(key); it != costs_.end()) {
        cached = {key, it->second};
        return it->second;
    }
    code_scratch_.resize(size);
    if (uc_mem_read(uc_, address, code_scratch_.data(), size) != UC_ERR_OK) return {1, 1};
    const BlockCost cost = thumb_block_cost(code_scratch_.data(), size);
    costs_.emplace(key, cost);
    cached = {key, cost};
    return cost;
}

void Cpu::on_block(uc_engine*, std::uint64_t address, std::uint32_t size, void* self) {
    static_cast<Cpu*>(self)->board_.on_block(static_cast<std::uint32_t>(address), size);
}

void Cpu::on_interrupt(uc_engine*, std::uint32_t intno, void* self) {
    static_cast<Cpu*>(self)->board_.on_cpu_exception(intno);
}

bool Cpu::on_unmapped(uc_engine*, uc_mem_type type, std::uint64_t address, int size,
                      std::int64_t value, void* self) {
    static_cast<Cpu*>(self)->board_.on_unmapped_access(
        type == UC_MEM_WRITE_UNMAPPED, type == UC_MEM_FETCH_UNMAPPED,
        static_cast<std::uint32_t>(address), size, static_cast<std::uint32_t>(value));
    return false;
}

bool Cpu::on_write_protected(uc_engine*, uc_mem_type, std::uint64_t address, int size,
                             std::int64_t value, void* self) {
    return static_cast<Cpu*>(self)->board_.on_flash_store(static_cast<std::uint32_t>(address),
                                                          static_cast<unsigned>(size),
                                                          static_cast<std::uint32_t>(value));
}

std::uint64_t Cpu::on_io_read(uc_engine*, std::uint64_t offset, unsigned size, void* window) {
    auto* w = static_cast<Window*>(window);
    return w->cpu->board_.bus().read(w->base + static_cast<std::uint32_t>(offset), size);
}

void Cpu::on_io_write(uc_engine*, std::uint64_t offset, unsigned size, std::uint64_t value,
                      void* window) {
    auto* w = static_cast<Window*>(window);
    w->cpu->board_.bus().write(w->base + static_cast<std::uint32_t>(offset), size,
                               static_cast<std::uint32_t>(value));
}

}  // namespace vboard
