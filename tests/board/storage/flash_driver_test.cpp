// The flash storage driver on the real image: geometry, row erase ranges and
// page programming, observed through the NVMCTRL model's command log.
#include <gtest/gtest.h>

#include "board_fixture.h"
#include "models/nvmctrl.h"
#include "storage_support.h"

namespace {

using namespace storage_support;
using vboard::Nvmctrl;

constexpr const char* kConstructor = "FlashClass::FlashClass(void const*, unsigned long)";
constexpr const char* kEraseRange = "FlashClass::erase(void const volatile*, unsigned long)";
constexpr const char* kWrite = "FlashClass::write(void const volatile*, void const*)";

// FlashClass fields, in declaration order, one word each.
enum FlashField : std::uint32_t {
    kPageSizeField = 0,
    kPages = 4,
    kMaxFlash = 8,
    kRowSizeField = 12,
    kFlashAddress = 16,
    kFlashSize = 20,
    kFlashClassSize = 24
};

class FlashDriver : public FullImageTest {
  protected:
    void SetUp() override { boot_to("setup"); }

    Nvmctrl& nvm() { return board().model<Nvmctrl>(); }
    // Free RAM above the program's data, for driver objects and buffers.
    std::uint32_t scratch() { return (address_of("__bss_end__") + 0xFF) & ~0xFFu; }
    // A FlashClass on the storage area storing `size` bytes, built by the firmware.
    std::uint32_t make_driver(std::uint32_t size) {
        const std::uint32_t self = scratch();
        call(kConstructor, {self, area_address(board()), size});
        return self;
    }
    std::vector<Nvmctrl::CommandRecord> commands_since(std::size_t first) {
        const auto& log = nvm().commands();
        return {log.begin() + static_cast<long>(first), log.end()};
    }
};

TEST_F(FlashDriver, GeometryComesFromParam) {
    const std::uint32_t storage =
        address_of("eeprom_storage");  // its FlashClass is its only member
    EXPECT_EQ(board().read32(storage + kPageSizeField), 64u);
    EXPECT_EQ(board().read32(storage + kPages), 2048u);
    EXPECT_EQ(board().read32(storage + kMaxFlash), 128u * 1024);
    EXPECT_EQ(board().read32(storage + kRowSizeField), 256u);
    EXPECT_EQ(board().read32(storage + kFlashAddress), area_address(board()));
    EXPECT_EQ(board().read32(storage + kFlashSize), kImageSize);
    EXPECT_EQ(area_address(board()) % kRowSize, 0u);
}

struct EraseCase {
    std::uint32_t size;
    unsigned rows;
};

class EraseRange : public FlashDriver, public ::testing::WithParamInterface<EraseCase> {};

TEST_P(EraseRange, ErasesEveryRowTheRangeTouchesAndNoMore) {
    load_area(board(), filled_area(0x00));
    const std::uint32_t self = make_driver(kImageSize);
    const std::size_t first = nvm().commands().size();
    call(kEraseRange, {self, area_address(board()), GetParam().size});
    const auto commands = commands_since(first);
    ASSERT_EQ(commands.size(), GetParam().rows);
    for (unsigned r = 0; r < GetParam().rows; ++r) {
        EXPECT_EQ(commands[r].cmd, Nvmctrl::kCmdER);
        EXPECT_EQ(commands[r].address, area_address(board()) + r * kRowSize);
        EXPECT_TRUE(commands[r].completed);
    }
    const Area area = read_area(board());
    const std::size_t erased = GetParam().rows * kRowSize;
    for (std::size_t i = 0; i < kAreaSize; ++i) ASSERT_EQ(area[i], i < erased ? 0xFF : 0x00) << i;
}

INSTANTIATE_TEST_SUITE_P(Sizes, EraseRange,
                         ::testing::Values(EraseCase{256, 1}, EraseCase{257, 2}, EraseCase{0, 1},
                                           EraseCase{1024, 4}, EraseCase{1032, 5}),
                         [](const auto& info) {
                             return "size_" + std::to_string(info.param.size);
                         });

TEST_F(FlashDriver, WriteOfNothingSetsManualWriteAndIssuesNoCommand) {
    const std::uint32_t self = make_driver(0);
    nvm().write(Nvmctrl::kCTRLB, 4, nvm().value(Nvmctrl::kCTRLB) & ~Nvmctrl::kCtrlbManw);
    const std::size_t first = nvm().commands().size();
    call(kWrite, {self, area_address(board()), scratch() + 0x40});
    EXPECT_TRUE(commands_since(first).empty());
    EXPECT_TRUE(nvm().manual_write());
}

TEST_F(FlashDriver, SourceAtAnOddAddressIsProgrammedByteForByte) {
    constexpr std::uint32_t kSize = 12;
    const std::uint32_t self = make_driver(kSize);
    const std::uint32_t source = scratch() + 0x41;
    std::vector<std::uint8_t> bytes(kSize);
    for (std::uint32_t i = 0; i < kSize; ++i) bytes[i] = static_cast<std::uint8_t>(0xA0 + i);
    board().write_bytes(source, bytes);
    call(kEraseRange, {self, area_address(board()), kSize});
    const std::size_t first = nvm().commands().size();
    call(kWrite, {self, area_address(board()), source});
    const Area area = read_area(board());
    EXPECT_EQ(hex({area.begin(), area.begin() + kSize}), hex(bytes));
    for (std::size_t i = kSize; i < kRowSize; ++i) ASSERT_EQ(area[i], 0xFF) << i;
    const auto commands = commands_since(first);
    ASSERT_EQ(commands.size(), 2u);
    EXPECT_EQ(commands[0].cmd, Nvmctrl::kCmdPBC);
    EXPECT_EQ(commands[1].cmd, Nvmctrl::kCmdWP);
    EXPECT_EQ(commands[1].buffer_bytes, kSize);
}

// A commit of the 1032-byte image: five row erases, then seventeen rounds of
// buffer clear and page write; the last page from two words.
TEST_F(FlashDriver, CommitProgramsSixteenFullPagesAndTwoWords) {
    load_area(board(), filled_area(0x00));
    const std::size_t first = nvm().commands().size();
    call("EEPROMClass::update(int, unsigned char)", {address_of("EEPROM"), 0, 1});
    call("EEPROMClass::commit()", {address_of("EEPROM")});
    const auto commands = commands_since(first);
    ASSERT_EQ(commands.size(), 5u + 2 * 17);
    const std::uint32_t base = area_address(board());
    for (unsigned r = 0; r < 5; ++r) EXPECT_EQ(commands[r].cmd, Nvmctrl::kCmdER) << r;
    for (unsigned p = 0; p < 17; ++p) {
        const auto& clear = commands[5 + 2 * p];
        const auto& write = commands[6 + 2 * p];
        EXPECT_EQ(clear.cmd, Nvmctrl::kCmdPBC) << p;
        EXPECT_EQ(write.cmd, Nvmctrl::kCmdWP) << p;
        EXPECT_EQ(write.address, base + p * kPageSize) << p;
        EXPECT_EQ(write.buffer_bytes, p < 16 ? kPageSize : 8u) << p;
        EXPECT_FALSE(write.automatic);
    }
    const Area area = read_area(board());
    for (std::size_t i = kImageSize; i < kAreaSize; ++i) ASSERT_EQ(area[i], 0xFF) << i;
    EXPECT_EQ(area[0], 1);
    EXPECT_EQ(area[kValidOffset], 1);
}

}  // namespace
