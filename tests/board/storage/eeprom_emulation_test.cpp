// The EEPROM emulation on the real image: lazy loading, the RAM image's
// signature and valid flag, and when a commit writes flash.
#include <gtest/gtest.h>

#include "board_fixture.h"
#include "storage_support.h"

namespace {

using namespace storage_support;

constexpr const char* kRead = "EEPROMClass::read(int)";
constexpr const char* kUpdate = "EEPROMClass::update(int, unsigned char)";
constexpr const char* kCommitFn = "EEPROMClass::commit()";

// EEPROMClass: _initialized, the RAM image (word-aligned), _dirty.
constexpr std::uint32_t kInitialized = 0, kImage = 4, kDirty = kImage + kImageSize;
constexpr Wear kNoWrite{0, 0};
constexpr Wear kCommit{5, 17};
constexpr std::uint32_t kSignature = 0xBADA55;

class EepromEmulation : public FullImageTest {
  protected:
    void SetUp() override { start_with(filled_area(0x00)); }
    void start_with(const Area& area) {
        power_cycle(board());
        load_area(board(), area);
        boot_to("setup");
    }
    std::uint32_t eeprom() { return address_of("EEPROM"); }
    std::uint32_t read(std::uint32_t address) { return call(kRead, {eeprom(), address}); }
    void update(std::uint32_t address, std::uint8_t value) {
        call(kUpdate, {eeprom(), address, value});
    }
    Wear commit() {
        const Wear before = total_wear(board());
        call(kCommitFn, {eeprom()});
        return total_wear(board()) - before;
    }
    bool dirty() { return board().read8(eeprom() + kDirty) != 0; }
};

TEST_F(EepromEmulation, ConstructionDoesNotLoad) {
    EXPECT_EQ(board().read8(eeprom() + kInitialized), 0);
    EXPECT_FALSE(dirty());
}

TEST_F(EepromEmulation, ZeroAreaReadsZeroAndGetsItsSignatureInRamOnly) {
    for (std::uint32_t a = 0; a < kDataSize; a += 37) ASSERT_EQ(read(a), 0u) << a;
    EXPECT_EQ(board().read8(eeprom() + kInitialized), 1);
    EXPECT_EQ(board().read32(eeprom() + kImage + kSignatureOffset), kSignature);
    EXPECT_EQ(board().read8(eeprom() + kImage + kValidOffset), 1);
    EXPECT_EQ(read_area(board()), filled_area(0x00));
}

TEST_F(EepromEmulation, CommitBeforeAnyUpdateLoadsAndWritesNothing) {
    EXPECT_EQ(commit(), kNoWrite);
    EXPECT_EQ(board().read8(eeprom() + kInitialized), 1);
}

TEST_F(EepromEmulation, UpdateWithTheStoredValueKeepsTheImageClean) {
    update(5, 0);
    EXPECT_FALSE(dirty());
    EXPECT_EQ(commit(), kNoWrite);
}

TEST_F(EepromEmulation, UpdateAndBackStaysDirtyAndRewritesTheWholeImage) {
    update(5, 0x42);
    update(5, 0);
    EXPECT_TRUE(dirty());
    EXPECT_EQ(commit(), kCommit);
    EXPECT_FALSE(dirty());
    EXPECT_EQ(commit(), kNoWrite);
}

TEST_F(EepromEmulation, CommittedBytesAreReadAfterAPowerCycle) {
    for (std::uint32_t a : {0u, 20u, 511u, 1023u}) update(a, static_cast<std::uint8_t>(a * 3 + 1));
    EXPECT_EQ(commit(), kCommit);
    const Area area = read_area(board());
    EXPECT_EQ(area[kValidOffset], 1);
    EXPECT_EQ(hex({area.begin() + kSignatureOffset, area.begin() + kImageSize}), "55 DA BA 00");

    power_cycle(board());
    boot_to("setup");
    for (std::uint32_t a : {0u, 20u, 511u, 1023u}) EXPECT_EQ(read(a), (a * 3 + 1) & 0xFFu) << a;
    EXPECT_EQ(read(21), 0u);
}

// The three bytes between the valid flag and the signature are written back as read.
TEST_F(EepromEmulation, PaddingBytesAreKept) {
    Area area = filled_area(0x00);
    area[1025] = 0x11, area[1026] = 0x22, area[1027] = 0x33;
    start_with(area);
    update(0, 9);
    EXPECT_EQ(commit(), kCommit);
    const Area after = read_area(board());
    EXPECT_EQ(hex({after.begin() + 1025, after.begin() + 1028}), "11 22 33");
}

}  // namespace
