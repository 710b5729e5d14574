// The processor: Unicorn's Cortex-M0 model with the parts Unicorn leaves
// out. Unicorn executes instructions and reports exception returns; this
// class maps memory, routes I/O to the bus, counts instructions and cycles
// per translated block, and performs ARMv6-M exception entry and return.
#pragma once

#include <unicorn/unicorn.h>

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "thumb_timing.h"

namespace vboard {

class Board;

// Processor registers saved around a harness call.
struct CpuContext {
    std::array<std::uint32_t, 13> r{};
    std::uint32_t sp = 0, lr = 0, pc = 0, xpsr = 0, primask = 0;
};

class Cpu {
  public:
    explicit Cpu(Board& board);
    ~Cpu();
    Cpu(const Cpu&) = delete;
    Cpu& operator=(const Cpu&) = delete;

    void map_memory(std::uint32_t base, std::uint32_t size, std::uint32_t perms);
    void map_io(std::uint32_t base, std::uint32_t size);
    void write_memory(std::uint32_t address, const void* data, std::size_t size);
    void read_memory(std::uint32_t address, void* data, std::size_t size) const;
    // Code at [address, address + size) changed: drop translations and costs.
    void invalidate_code(std::uint32_t address, std::uint32_t size);

    std::uint32_t reg(int id) const;
    void set_reg(int id, std::uint32_t value);
    std::uint32_t pc() const { return reg(UC_ARM_REG_PC); }
    // PC must be written with the Thumb bit set; this does it.
    void set_pc(std::uint32_t address) { set_reg(UC_ARM_REG_PC, address | 1u); }
    void set_xpsr(std::uint32_t xpsr);
    bool primask() const { return reg(UC_ARM_REG_PRIMASK) & 1u; }

    CpuContext save() const;
    void restore(const CpuContext& context);

    // Reset: SP and PC from the vector table at `vector_table`.
    void reset(std::uint32_t vector_table);

    // Push the exception frame and branch to the handler of `exception`
    // (vector table at `vector_table`); `return_address` is where the
    // interrupted code resumes.
    void enter_exception(unsigned exception, std::uint32_t vector_table,
                         std::uint32_t return_address);
    // Unstack the frame for EXC_RETURN value `exc_return`; returns the
    // exception number that was returned from.
    unsigned return_from_exception(std::uint32_t exc_return);

    // Runs from the current PC until the board stops the engine; returns the
    // engine's error code (UC_ERR_OK when stopped).
    uc_err run();
    void stop();

    // Cost of the block at `address`; the hot path is the cache lookup.
    BlockCost block_cost(std::uint32_t address, std::uint32_t size) {
        const std::uint64_t key = address | (static_cast<std::uint64_t>(size) << 32);
        const CachedCost& cached = cost_cache_[(address >> 1) & (kCostCacheSize - 1)];
        return cached.key == key ? cached.cost : block_cost_slow(address, size, key);
    }

    uc_engine* engine() const { return uc_; }

  private:
    static void on_block(uc_engine*, std::uint64_t address, std::uint32_t size, void* self);
    static void on_interrupt(uc_engine*, std::uint32_t intno, void* self);
    static bool on_unmapped(uc_engine*, uc_mem_type type, std::uint64_t address, int size,
                            std::int64_t value, void* self);
    static bool on_write_protected(uc_engine*, uc_mem_type type, std::uint64_t address, int size,
                                   std::int64_t value, void* self);
    static std::uint64_t on_io_read(uc_engine*, std::uint64_t offset, unsigned size, void* window);
    static void on_io_write(uc_engine*, std::uint64_t offset, unsigned size, std::uint64_t value,
                            void* window);

    struct Window {
        Cpu* cpu;
        std::uint32_t base;
    };
    Board& board_;
    uc_engine* uc_ = nullptr;
    std::vector<std::unique_ptr<Window>> windows_;
    // Cost of each translated block, keyed by address and size, with a
    // direct-mapped cache in front: the block hook runs every few
    // instructions and must stay cheap.
    std::unordered_map<std::uint64_t, BlockCost> costs_;
    BlockCost block_cost_slow(std::uint32_t address, std::uint32_t size, std::uint64_t key);
    struct CachedCost {
        std::uint64_t key = ~std::uint64_t{0};
        BlockCost cost{};
    };
    static constexpr std::size_t kCostCacheSize = 4096;
    std::vector<CachedCost> cost_cache_ = std::vector<CachedCost>(kCostCacheSize);
    std::vector<std::uint8_t> code_scratch_;
};

}  // namespace vboard
