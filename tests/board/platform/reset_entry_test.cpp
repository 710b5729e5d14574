// Reset and run-time entry: the vector table, RAM preparation and the
// order of start-up.
#include "board_fixture.h"

namespace {

constexpr std::uint32_t kStackTop = 0x20004000;

class ResetEntry : public BoardTest {};

TEST_F(ResetEntry, VectorTableWords) {
    const std::uint32_t table = address_of("exception_table");
    ASSERT_EQ(table, 0u);
    EXPECT_EQ(board().read32(0), kStackTop);
    EXPECT_EQ(board().read32(4), address_of("Reset_Handler") | 1u);
    for (unsigned word : {4, 5, 6, 7, 8, 9, 10, 12, 13, 22, 44})
        EXPECT_EQ(board().read32(4 * word), 0u) << "word " << word;
    EXPECT_EQ(board().read32(4 * 3), address_of("HardFault_Handler") | 1u);
    EXPECT_EQ(board().read32(4 * 15), address_of("SysTick_Handler") | 1u);
    for (unsigned word : {35, 36})
        EXPECT_EQ(board().read32(4 * word), address_of("Dummy_Handler") | 1u);
}

TEST_F(ResetEntry, MainSeesInitialisedDataAndClearedBss) {
    boot_to("main");
    EXPECT_EQ(read32("SystemCoreClock"), 8000000u);
    EXPECT_EQ(read32("_ulTickCount"), 0u);
    const std::uint32_t bss = address_of("__bss_start__"), bss_end = address_of("__bss_end__");
    for (std::uint32_t a = bss; a < bss_end; a += 4)
        ASSERT_EQ(board().read32(a), 0u) << std::hex << a;
}

TEST_F(ResetEntry, StaticConstructorsRunStorageThenWireThenBoard) {
    boot_to("main");
    EXPECT_EQ(address_of("__preinit_array_start"), address_of("__preinit_array_end"));
    std::vector<std::string> order;
    for (std::uint32_t entry = address_of("__init_array_start");
         entry < address_of("__init_array_end"); entry += 4) {
        const auto constructor = board().image().symbol_at(board().read32(entry) & ~1u);
        ASSERT_TRUE(constructor.has_value());
        order.push_back(constructor->name);
    }
    ASSERT_EQ(order.size(), 3u);
    EXPECT_NE(order[0].find("eeprom_storage"), std::string::npos) << order[0];
    EXPECT_NE(order[1].find("TwoWire"), std::string::npos) << order[1];
    EXPECT_NE(order[2].find("g_APinDescription"), std::string::npos)
        << order[2] << " (the board's objects)";
    // They run after init: the tick is already counting when they do.
    boot_to("setup");
    EXPECT_EQ(board().read32(address_of("sercom1")), 0x42000400u);
    EXPECT_EQ(board().read32(address_of("sercom5")), 0x43000400u);
}

TEST_F(ResetEntry, ZeroInitialisedDataIsClearedOnEveryReset) {
    boot_to("setup");
    const std::uint32_t bss = address_of("__bss_start__"), bss_end = address_of("__bss_end__");
    for (std::uint32_t a = bss; a < bss_end; a += 4) board().write32(a, 0xDEADBEEF);
    board().reset(vboard::ResetCause::Watchdog);  // RAM survives a reset; the handler clears it
    boot_to("main");
    for (std::uint32_t a = bss; a < bss_end; a += 4)
        ASSERT_EQ(board().read32(a), 0u) << std::hex << a;
}

TEST_F(ResetEntry, ProcessorStartsAt4MHzAndSystemInitSelects8MHz) {
    EXPECT_EQ(board().cpu_hz(), 4000000u);
    boot_to("main");
    EXPECT_EQ(board().cpu_hz(), 8000000u);
}

TEST_F(ResetEntry, SetupIsReachedAndRunsWithoutFindings) {
    boot_to("setup");
    run_for(100 * vboard::kMillisecond);
    EXPECT_EQ(board().diagnostics().total(), 0u);
}

}  // namespace
