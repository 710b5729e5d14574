// The NVMCTRL model and the flash behind it: page buffer, commands, timing,
// power loss, persistence of the storage area, wear report.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <nlohmann/json.hpp>

#include "board_fixture.h"
#include "models/nvmctrl.h"
#include "models/power_supply.h"
#include "src/flash_persistence.h"

namespace {

using vboard::Nvmctrl;
using vboard::SimTime;

constexpr std::uint16_t kKey = 0xA5 << 8;
// Thumb code: store r1 at [r0] as a byte, halfword or word, then return.
constexpr std::uint16_t kStrb = 0x7001, kStrh = 0x8001, kStr = 0x6001, kBxLr = 0x4770;

class NvmctrlModel : public BoardTest {
  protected:
    void SetUp() override {
        boot_to("setup");
        area_ = vboard::find_storage_area(board().image()).value();
    }
    Nvmctrl& nvm() { return board().model<Nvmctrl>(); }
    std::uint32_t code() { return (address_of("__bss_end__") + 0xFF) & ~0xFFu; }

    // A store of `width` bytes executed by the processor.
    void guest_store(std::uint32_t address, unsigned width, std::uint32_t value) {
        const std::uint16_t op = width == 1 ? kStrb : width == 2 ? kStrh : kStr;
        board().write16(code(), op);
        board().write16(code() + 2, kBxLr);
        board().cpu().invalidate_code(code(), 4);
        board().call(code(), {address, value});
    }
    void command(std::uint32_t cmd) { nvm().write(Nvmctrl::kCTRLA, 2, kKey | cmd); }
    void set_addr(std::uint32_t byte_address) { nvm().write(Nvmctrl::kADDR, 4, byte_address >> 1); }
    bool ready() { return nvm().read(Nvmctrl::kINTFLAG, 1) & Nvmctrl::kIntflagReady; }
    void wait_ready() {
        for (int i = 0; i < 100 && !ready(); ++i) run_for(1 * vboard::kMillisecond);
        ASSERT_TRUE(ready());
    }
    void fill_flash(std::uint32_t address, std::size_t size, std::uint8_t value) {
        const std::vector<std::uint8_t> bytes(size, value);
        board().cpu().write_memory(address, bytes.data(), size);
    }
    std::vector<std::uint8_t> flash(std::uint32_t address, std::size_t size) {
        return board().read_bytes(address, size);
    }
    void expect_all(std::uint32_t address, std::size_t size, std::uint8_t value) {
        const auto bytes = flash(address, size);
        for (std::size_t i = 0; i < size; ++i) ASSERT_EQ(bytes[i], value) << "at +" << i;
    }
    // Erases the row at `row` and loads one word of the page buffer.
    void erase_row(std::uint32_t row) {
        set_addr(row);
        command(Nvmctrl::kCmdER);
        wait_ready();
    }

    vboard::StorageArea area_{};
};

TEST_F(NvmctrlModel, ByteStoresIntoFlashAreBusErrors) {
    try {
        guest_store(area_.address, 1, 0x12);
        ADD_FAILURE() << "the byte store completed";
    } catch (const std::runtime_error& e) {
        EXPECT_NE(std::string(e.what()).find("HardFault"), std::string::npos) << e.what();
        EXPECT_NE(std::string(e.what()).find("store of 1 bytes to flash"), std::string::npos)
            << e.what();
    }
    expect_all(area_.address, 4, 0x00);
}

TEST_F(NvmctrlModel, HalfwordAndWordStoresLoadThePageBufferOnly) {
    fill_flash(area_.address, Nvmctrl::kRowSize, 0xFF);
    guest_store(area_.address + 0x46, 2, 0xBEEF);
    guest_store(area_.address + 0x48, 4, 0x11223344);
    EXPECT_EQ(nvm().value(Nvmctrl::kADDR), (area_.address + 0x48) >> 1);
    EXPECT_TRUE(nvm().value(Nvmctrl::kSTATUS) & Nvmctrl::kStatusLoad);
    expect_all(area_.address, Nvmctrl::kRowSize, 0xFF);  // nothing programmed yet

    command(Nvmctrl::kCmdWP);
    wait_ready();
    EXPECT_FALSE(nvm().value(Nvmctrl::kSTATUS) & Nvmctrl::kStatusLoad);
    const auto page = flash(area_.address + 0x40, Nvmctrl::kPageSize);
    EXPECT_EQ(page[6], 0xEF);
    EXPECT_EQ(page[7], 0xBE);
    EXPECT_EQ(page[8], 0x44);
    EXPECT_EQ(page[11], 0x11);
    EXPECT_EQ(page[0], 0xFF);
    EXPECT_EQ(page[12], 0xFF);
}

TEST_F(NvmctrlModel, RowEraseTakesItsTimeAndErasesTheRowAddressedIn16BitUnits) {
    fill_flash(area_.address, area_.size, 0x00);
    const std::uint32_t row = area_.address + Nvmctrl::kRowSize;
    nvm().write(Nvmctrl::kADDR, 4, (row + 0x42) / 2);
    command(Nvmctrl::kCmdER);
    EXPECT_FALSE(ready());
    run_for(Nvmctrl::kRowEraseTime - 100 * vboard::kMicrosecond);
    EXPECT_FALSE(ready());
    expect_all(row, Nvmctrl::kRowSize, 0x00);  // the flash changes when the erase completes
    run_for(200 * vboard::kMicrosecond);
    EXPECT_TRUE(ready());
    expect_all(row, Nvmctrl::kRowSize, 0xFF);
    expect_all(area_.address, Nvmctrl::kRowSize, 0x00);
    expect_all(row + Nvmctrl::kRowSize, Nvmctrl::kRowSize, 0x00);
}

TEST_F(NvmctrlModel, PageWriteTakesItsTime) {
    fill_flash(area_.address, Nvmctrl::kRowSize, 0xFF);
    guest_store(area_.address, 4, 0);
    command(Nvmctrl::kCmdWP);
    run_for(Nvmctrl::kPageWriteTime - 100 * vboard::kMicrosecond);
    EXPECT_FALSE(ready());
    run_for(200 * vboard::kMicrosecond);
    EXPECT_TRUE(ready());
}

// Programming only clears bits: unerased flash ends as the AND of old and new.
TEST_F(NvmctrlModel, WritingUnerasedFlashGivesTheAnd) {
    fill_flash(area_.address, Nvmctrl::kPageSize, 0xF0);
    guest_store(area_.address, 4, 0x3C3C3C3C);
    command(Nvmctrl::kCmdWP);
    wait_ready();
    expect_all(area_.address, 4, 0x30);
    expect_all(area_.address + 4, Nvmctrl::kPageSize - 4, 0xF0);
}

TEST_F(NvmctrlModel, PageBufferClearDropsLoadedWords) {
    fill_flash(area_.address, Nvmctrl::kPageSize, 0xFF);
    guest_store(area_.address, 4, 0);
    command(Nvmctrl::kCmdPBC);
    EXPECT_TRUE(ready());
    command(Nvmctrl::kCmdWP);
    wait_ready();
    expect_all(area_.address, Nvmctrl::kPageSize, 0xFF);
}

TEST_F(NvmctrlModel, WithoutManualWriteTheLastWordOfAPageStartsTheWrite) {
    fill_flash(area_.address, Nvmctrl::kPageSize, 0xFF);
    nvm().write(Nvmctrl::kCTRLB, 4, nvm().value(Nvmctrl::kCTRLB) & ~Nvmctrl::kCtrlbManw);
    guest_store(area_.address, 4, 0);
    EXPECT_TRUE(ready());
    guest_store(area_.address + Nvmctrl::kPageSize - 4, 4, 0);
    EXPECT_FALSE(ready());
    ASSERT_FALSE(nvm().commands().empty());
    EXPECT_TRUE(nvm().commands().back().automatic);
    wait_ready();
    expect_all(area_.address, 4, 0x00);
    expect_all(area_.address + Nvmctrl::kPageSize - 4, 4, 0x00);
}

TEST_F(NvmctrlModel, CommandWithoutTheKeyOrWhileBusyIsIgnoredAndFlagged) {
    fill_flash(area_.address, Nvmctrl::kRowSize, 0x00);
    set_addr(area_.address);
    nvm().write(Nvmctrl::kCTRLA, 2, Nvmctrl::kCmdER);  // CMDEX 0
    EXPECT_TRUE(ready());
    EXPECT_TRUE(nvm().value(Nvmctrl::kSTATUS) & Nvmctrl::kStatusProge);
    EXPECT_TRUE(nvm().value(Nvmctrl::kINTFLAG) & Nvmctrl::kIntflagError);
    run_for(Nvmctrl::kRowEraseTime * 2);
    expect_all(area_.address, Nvmctrl::kRowSize, 0x00);

    nvm().write(Nvmctrl::kSTATUS, 2, Nvmctrl::kStatusProge);  // write 1 to clear
    nvm().write(Nvmctrl::kINTFLAG, 1, Nvmctrl::kIntflagError);
    EXPECT_FALSE(nvm().value(Nvmctrl::kSTATUS) & Nvmctrl::kStatusProge);
    EXPECT_FALSE(nvm().value(Nvmctrl::kINTFLAG) & Nvmctrl::kIntflagError);

    command(Nvmctrl::kCmdER);
    set_addr(area_.address + Nvmctrl::kRowSize);
    command(Nvmctrl::kCmdER);  // refused: the first still runs
    EXPECT_TRUE(nvm().value(Nvmctrl::kSTATUS) & Nvmctrl::kStatusProge);
    wait_ready();
    expect_all(area_.address, Nvmctrl::kRowSize, 0xFF);
    expect_all(area_.address + Nvmctrl::kRowSize, Nvmctrl::kRowSize, 0x00);
}

// Nothing protects the program from itself: the last row of the flash, far
// from the storage area, is erased and programmed the same way.
TEST_F(NvmctrlModel, CommandsWorkOutsideTheStorageArea) {
    const std::uint32_t last_row = Nvmctrl::kMainArraySize - Nvmctrl::kRowSize;
    erase_row(last_row);
    expect_all(last_row, Nvmctrl::kRowSize, 0xFF);
    guest_store(last_row + 0x80, 4, 0x0);
    command(Nvmctrl::kCmdWP);
    wait_ready();
    expect_all(last_row + 0x80, 4, 0x00);
    EXPECT_EQ(nvm().wear(last_row).row_erases, 1u);
    EXPECT_EQ(nvm().wear(last_row).page_writes, 1u);
}

struct CutCase {
    const char* name;
    std::uint32_t cmd;
    SimTime after;
    std::size_t bytes_done;
};

class PowerLossDuringCommand : public NvmctrlModel,
                               public ::testing::WithParamInterface<CutCase> {};

// A cut leaves a prefix done in proportion to the time elapsed.
TEST_P(PowerLossDuringCommand, LeavesAPrefixDone) {
    const CutCase& c = GetParam();
    const std::uint8_t before = c.cmd == Nvmctrl::kCmdER ? 0x00 : 0xFF;
    const std::uint8_t after = c.cmd == Nvmctrl::kCmdER ? 0xFF : 0x00;
    const std::size_t size = c.cmd == Nvmctrl::kCmdER ? Nvmctrl::kRowSize : Nvmctrl::kPageSize;
    fill_flash(area_.address, Nvmctrl::kRowSize, before);
    if (c.cmd == Nvmctrl::kCmdWP) {
        for (std::uint32_t w = 0; w < Nvmctrl::kPageSize; w += 4)
            guest_store(area_.address + w, 4, 0);
    }
    set_addr(area_.address);
    const SimTime start = board().now();
    command(c.cmd);
    board().model<vboard::PowerSupply>().cut_at({vboard::TimePoint::Kind::Time, start + c.after});
    const vboard::RunResult r = board().run_for(vboard::kSecond);
    ASSERT_EQ(r.reason, vboard::StopReason::PowerCut) << r.message;
    const auto bytes = flash(area_.address, Nvmctrl::kRowSize);
    for (std::size_t i = 0; i < Nvmctrl::kRowSize; ++i)
        ASSERT_EQ(bytes[i], i < c.bytes_done ? after : before) << "at +" << i;
    EXPECT_EQ(nvm().commands().back().bytes_done, c.bytes_done);
    EXPECT_EQ(nvm().commands().back().completed, c.bytes_done == size);

    // Powered up again: the controller is idle, the flash keeps what was done.
    board().power_on();
    EXPECT_TRUE(ready());
    boot_to("setup");
    EXPECT_EQ(flash(area_.address, Nvmctrl::kRowSize), bytes);
}

INSTANTIATE_TEST_SUITE_P(
    Cuts, PowerLossDuringCommand,
    ::testing::Values(
        CutCase{"erase_at_a_quarter", Nvmctrl::kCmdER, Nvmctrl::kRowEraseTime / 4, 64},
        CutCase{"erase_at_once", Nvmctrl::kCmdER, 0, 0},
        CutCase{"erase_after_its_end", Nvmctrl::kCmdER, Nvmctrl::kRowEraseTime * 2, 256},
        CutCase{"write_at_half", Nvmctrl::kCmdWP, Nvmctrl::kPageWriteTime / 2, 32},
        CutCase{"write_near_its_end", Nvmctrl::kCmdWP, Nvmctrl::kPageWriteTime * 63 / 64, 63}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(NvmctrlModel, PowerCutAtAnInstructionCount) {
    const std::uint64_t target = board().instructions() + 12345;
    board().model<vboard::PowerSupply>().cut_at({vboard::TimePoint::Kind::Instructions, target});
    const vboard::RunResult r = board().run_for(vboard::kSecond);
    ASSERT_EQ(r.reason, vboard::StopReason::PowerCut) << r.message;
    EXPECT_GE(board().instructions(), target);
    EXPECT_LT(board().instructions(), target + 16);  // the block boundary at or after it
}

TEST_F(NvmctrlModel, ReportCountsWearPerRowOfTheStorageArea) {
    erase_row(area_.address + 2 * Nvmctrl::kRowSize);
    guest_store(area_.address + 2 * Nvmctrl::kRowSize + 0x40, 4, 0);
    command(Nvmctrl::kCmdWP);
    wait_ready();
    erase_row(area_.address + area_.size);  // the row after the area: counted outside it
    const nlohmann::json report = board().report()["nvmctrl"];
    EXPECT_EQ(report["row_erases"], 2);
    EXPECT_EQ(report["page_writes"], 1);
    const auto& rows = report["storage_area"]["rows"];
    ASSERT_EQ(rows.size(), 5u);
    for (std::size_t r = 0; r < 5; ++r) {
        EXPECT_EQ(rows[r]["row_erases"], r == 2 ? 1 : 0) << r;
        EXPECT_EQ(rows[r]["page_writes"], r == 2 ? 1 : 0) << r;
    }
    EXPECT_EQ(report["outside_storage_area"]["row_erases"], 1);
    EXPECT_EQ(report["outside_storage_area"]["page_writes"], 0);
}

// ---------------------------------------------------------------- persistence

class FlashFile : public NvmctrlModel {
  protected:
    void TearDown() override { std::filesystem::remove(path_); }
    void write_file(const std::vector<std::uint8_t>& bytes) {
        std::ofstream out(path_, std::ios::binary);
        out.write(reinterpret_cast<const char*>(bytes.data()),
                  static_cast<std::streamsize>(bytes.size()));
    }
    std::vector<std::uint8_t> file_bytes() {
        std::ifstream in(path_, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    }
    std::string path_ =
        (std::filesystem::temp_directory_path() /
         ("nvm_flash_file_" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) +
          "_" + ::testing::UnitTest::GetInstance()->current_test_info()->name() + ".bin"))
            .string();
};

TEST_F(FlashFile, MissingFileStartsFromTheImageAndIsWrittenBack) {
    vboard::FlashPersistence file(board(), path_);
    EXPECT_FALSE(file.load());
    expect_all(area_.address, area_.size, 0x00);
    erase_row(area_.address);
    file.save();
    const auto bytes = file_bytes();
    ASSERT_EQ(bytes.size(), 1280u);
    for (std::size_t i = 0; i < bytes.size(); ++i) ASSERT_EQ(bytes[i], i < 256 ? 0xFF : 0x00) << i;
}

TEST_F(FlashFile, AnyFileOfTheAreaSizeIsTakenAsItIs) {
    std::vector<std::uint8_t> bytes(1280);
    for (std::size_t i = 0; i < bytes.size(); ++i) bytes[i] = static_cast<std::uint8_t>(i * 31 + 7);
    write_file(bytes);
    vboard::FlashPersistence file(board(), path_);
    EXPECT_TRUE(file.load());
    EXPECT_EQ(flash(area_.address, area_.size), bytes);
}

TEST_F(FlashFile, FileOfAnotherSizeIsRefused) {
    for (std::size_t size : {0u, 1279u, 1281u, 1032u}) {
        write_file(std::vector<std::uint8_t>(size, 0x5A));
        vboard::FlashPersistence file(board(), path_);
        try {
            file.load();
            ADD_FAILURE() << size << " bytes accepted";
        } catch (const std::runtime_error& e) {
            EXPECT_NE(std::string(e.what()).find(std::to_string(size) + " bytes"),
                      std::string::npos)
                << e.what();
            EXPECT_NE(std::string(e.what()).find("1280"), std::string::npos) << e.what();
        }
        expect_all(area_.address, area_.size, 0x00);
    }
}

}  // namespace
