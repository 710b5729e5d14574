// The board ends a run with a clear message when the firmware faults.
#include "board_fixture.h"

namespace {

using namespace vboard;

// Scratch RAM for small code snippets, above everything the image uses.
constexpr std::uint32_t kSnippet = 0x20003800;
const std::vector<std::uint8_t> kLoadWordAtR0 = {0x00, 0x68, 0x70, 0x47};  // ldr r0, [r0]; bx lr
const std::vector<std::uint8_t> kBreakpoint = {0x01, 0xBE, 0x70, 0x47};    // bkpt #1; bx lr

class Faults : public BoardTest {
  protected:
    void SetUp() override { boot_to("setup"); }
    std::string call_failure(const std::vector<std::uint8_t>& code, std::uint32_t r0) {
        board().write_bytes(kSnippet, code);
        try {
            board().call(kSnippet, {r0});
        } catch (const std::runtime_error& e) {
            return e.what();
        }
        return "";
    }
};

TEST_F(Faults, UnalignedLoadEndsInHardFault) {
    const std::string what = call_failure(kLoadWordAtR0, 0x20000001);
    EXPECT_NE(what.find("HardFault_Handler"), std::string::npos) << what;
}

TEST_F(Faults, LoadFromUnmappedAddressEndsInHardFaultNamingTheAddress) {
    const std::string what = call_failure(kLoadWordAtR0, 0x10000000);
    EXPECT_NE(what.find("HardFault_Handler"), std::string::npos) << what;
    EXPECT_NE(what.find("0x10000000"), std::string::npos) << what;
}

TEST_F(Faults, BreakpointInstructionStopsTheRun) {
    const std::string what = call_failure(kBreakpoint, 0);
    EXPECT_NE(what.find("breakpoint"), std::string::npos) << what;
}

TEST_F(Faults, UnclaimedPeripheralAccessIsReportedAndReadsZero) {
    const std::string none =
        call_failure(kLoadWordAtR0, 0x40003C00);  // no peripheral at HPB0 slot 15
    EXPECT_EQ(none, "");
    EXPECT_EQ(board().diagnostics().count(Finding::UnclaimedAccess), 1u);
}

TEST_F(Faults, InterruptWithoutHandlerEndsInDummyHandler) {
    constexpr std::uint32_t kIser = 0xE000E100, kIspr = 0xE000E200;
    constexpr unsigned kTrngLine = 27;
    board().write32(kIser, 1u << kTrngLine);
    board().write32(kIspr, 1u << kTrngLine);
    const RunResult r = board().run_for(kMillisecond);
    ASSERT_EQ(r.reason, StopReason::Fault);
    EXPECT_NE(r.message.find("Dummy_Handler"), std::string::npos) << r.message;
    EXPECT_NE(r.message.find("TRNG"), std::string::npos) << r.message;
}

TEST_F(Faults, SameImageSameRunInstructionForInstruction) {
    run_for(50 * kMillisecond);
    const std::uint64_t first = board().instructions();
    make_board(testing_support::test_options());
    boot_to("setup");
    run_for(50 * kMillisecond);
    EXPECT_EQ(board().instructions(), first);
}

}  // namespace
