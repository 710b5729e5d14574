// The executable end to end: sources, outputs, stops and the errors a user meets.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <pty.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

#include <chrono>
#include <nlohmann/json.hpp>
#include <thread>

#include "stream_builder.hpp"
#include "tool_runner.hpp"

namespace capture::test {
namespace {

constexpr const char* kHeader =
    "frame,session,device_time_ms,elapsed_ms,x,y,z,x_g,y_g,z_g,host_time_s";

AxisCounts level(std::size_t k) {
    return {static_cast<std::int16_t>(k % 7), -1, static_cast<std::int16_t>(256 + k % 3)};
}

std::size_t lines(const std::string& s) {
    return static_cast<std::size_t>(std::count(s.begin(), s.end(), '\n'));
}

class CliTest : public ::testing::Test {
  protected:
    void SetUp() override { dir_ = scratch_dir(); }
    void TearDown() override { std::system(("rm -rf '" + dir_ + "'").c_str()); }
    std::string path(const std::string& name) const { return dir_ + "/" + name; }
    std::string capture_file(const StreamBuilder& b) {
        write_file(path("in.cap"), b.data());
        return path("in.cap");
    }
    ToolRun run(const std::vector<std::string>& args, const std::string& stdin_file = "/dev/null",
                const std::string& path_env = "") {
        return Tool(dir_).run(args, stdin_file, path_env);
    }
    std::string dir_;
};

TEST_F(CliTest, ReplaysACaptureIntoCsvRawAndSummary) {
    StreamBuilder b;
    b.frames(100, level).reset(37).frames(50, level);
    const std::string in = capture_file(b);
    const ToolRun r = run({"--input", in, "--csv", path("o.csv"), "--raw", path("o.raw"),
                           "--summary", path("o.json")});
    ASSERT_EQ(r.exit_code, 0) << r.err;
    const std::string csv = read_file(path("o.csv"));
    EXPECT_EQ(csv.substr(0, csv.find('\n')), kHeader);
    EXPECT_EQ(lines(csv), 151u);
    EXPECT_NE(csv.find("\n100,1,37,37,0,-1,256,0.0000,-0.0039,0.9984,"), std::string::npos);
    EXPECT_EQ(read_file(path("o.raw")), read_file(in));
    const auto j = nlohmann::json::parse(read_file(path("o.json")));
    EXPECT_EQ(j["frames"], 150);
    EXPECT_EQ(j["resets"].size(), 1u);
    EXPECT_EQ(j["stopped_by"], "end_of_input");
    EXPECT_EQ(j["peaks"]["y"]["counts"], -1);
}

TEST_F(CliTest, StandardInputGivesTheSameRowsAsTheFile) {
    StreamBuilder b;
    b.frames(300, level);
    const std::string in = capture_file(b);
    const ToolRun f = run({in, "--csv", "-", "--quiet"});
    const ToolRun s = run({"--input", "-", "--csv", "-", "--quiet"}, in);
    ASSERT_EQ(f.exit_code, 0) << f.err;
    ASSERT_EQ(s.exit_code, 0) << s.err;
    EXPECT_EQ(lines(f.out), 301u);
    EXPECT_EQ(lines(s.out), lines(f.out));
}

TEST_F(CliTest, StopsAfterFramesOrDeviceDuration) {
    StreamBuilder b;
    b.frames(1000, level);
    const std::string in = capture_file(b);
    const ToolRun n = run({in, "--frames", "10", "--csv", path("n.csv")});
    ASSERT_EQ(n.exit_code, 0) << n.err;
    EXPECT_EQ(lines(read_file(path("n.csv"))), 11u);
    EXPECT_EQ(nlohmann::json::parse(n.out)["stopped_by"], "frames");
    // 1000 frames cover 1.8 s of device time; 0.5 s of it is 275 frames.
    const ToolRun d = run({in, "--duration", "0.5"});
    ASSERT_EQ(d.exit_code, 0) << d.err;
    const auto j = nlohmann::json::parse(d.out);
    EXPECT_EQ(j["stopped_by"], "duration");
    EXPECT_NEAR(j["frames"].get<double>(), 275, 2);
}

TEST_F(CliTest, ThresholdEventsAreInTheSummary) {
    StreamBuilder b;
    b.frames(20, level);
    for (int k = 0; k < 5; ++k) b.frame({0, 0, 2000});
    b.frames(20, level);
    const ToolRun r = run({capture_file(b), "--threshold", "4"});
    ASSERT_EQ(r.exit_code, 0) << r.err;
    const auto j = nlohmann::json::parse(r.out);
    ASSERT_EQ(j["events"].size(), 1u);
    EXPECT_EQ(j["events"][0]["first_frame"], 20);
    EXPECT_EQ(j["events"][0]["frames"], 5);
    EXPECT_EQ(j["events"][0]["peak_g"], 7.8);
}

struct ErrorCase {
    const char* name;
    std::vector<std::string> args;  // "@" stands for the scratch directory
    int exit_code;
    const char* message;
};

class CliErrorTest : public CliTest, public ::testing::WithParamInterface<ErrorCase> {};

TEST_P(CliErrorTest, SaysWhatIsWrong) {
    write_file(path("zeros.bin"), std::vector<unsigned char>(5000, 0));
    write_file(path("empty.bin"), {});
    StreamBuilder b;
    b.frames(50, level);
    write_file(path("good.cap"), b.data());
    std::vector<std::string> args;
    for (std::string a : GetParam().args) {
        if (a[0] == '@') a = dir_ + a.substr(1);
        args.push_back(a);
    }
    const ToolRun r = run(args);
    EXPECT_EQ(r.exit_code, GetParam().exit_code);
    EXPECT_NE(r.err.find(GetParam().message), std::string::npos) << r.err;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, CliErrorTest,
    ::testing::Values(
        ErrorCase{"missing_device", {"--device", "/dev/ttyNOSUCH9"}, 1, "no such file or device"},
        ErrorCase{"file_as_device", {"--device", "@/good.cap"}, 1, "not a serial device"},
        ErrorCase{"not_a_capture", {"@/zeros.bin"}, 1, "is not a capture"},
        ErrorCase{"empty", {"--input", "@/empty.bin"}, 1, "is empty"},
        ErrorCase{"directory", {"--input", "@"}, 1, "is a directory"},
        ErrorCase{"disk_full", {"@/good.cap", "--csv", "/dev/full"}, 1, "disk full"},
        ErrorCase{"raw_disk_full", {"@/good.cap", "--raw", "/dev/full"}, 1, "disk full"},
        ErrorCase{"no_source", {"--csv", "x.csv"}, 2, "no source"},
        ErrorCase{"two_sources", {"@/good.cap", "--input", "@/good.cap"}, 2, "excludes"},
        ErrorCase{"plot_type", {"@/good.cap", "--plot", "x.jpg"}, 2, ".png or .svg"}),
    [](const ::testing::TestParamInfo<ErrorCase>& info) { return info.param.name; });

TEST_F(CliTest, UnreadableFileIsPermissionDenied) {
    if (::geteuid() == 0) GTEST_SKIP() << "root reads any file";
    write_file(path("locked.cap"), {0xFF});
    ::chmod(path("locked.cap").c_str(), 0);
    const ToolRun r = run({path("locked.cap")});
    EXPECT_EQ(r.exit_code, 1);
    EXPECT_NE(r.err.find("permission denied"), std::string::npos) << r.err;
}

TEST_F(CliTest, PlotsPngAndSvg) {
    StreamBuilder b;
    b.frames(200, level).reset(37).frames(200, level);
    const std::string in = capture_file(b);
    for (const char* name : {"p.png", "p.svg"}) {
        const ToolRun r = run({in, "--plot", path(name), "--threshold", "0.5"});
        ASSERT_EQ(r.exit_code, 0) << r.err;
    }
    EXPECT_EQ(read_file(path("p.png")).substr(1, 3), "PNG");
    EXPECT_NE(read_file(path("p.svg")).find("<svg"), std::string::npos);
}

TEST_F(CliTest, MissingGnuplotIsSaidPlainlyAndTheRestIsKept) {
    StreamBuilder b;
    b.frames(50, level);
    const ToolRun r = run({capture_file(b), "--plot", path("p.png"), "--csv", path("o.csv")},
                          "/dev/null", "/nonexistent");
    EXPECT_EQ(r.exit_code, 1);
    EXPECT_NE(r.err.find("gnuplot not found"), std::string::npos) << r.err;
    EXPECT_EQ(lines(read_file(path("o.csv"))), 51u);
}

// A pty stands in for the serial line, as the virtual board's will.
// Host time after which the tool stops even when the test's stop did not reach it.
constexpr const char* kSafetyStopS = "20";

class PtyTest : public CliTest {
  protected:
    void SetUp() override {
        CliTest::SetUp();
        char name[128];
        ASSERT_EQ(::openpty(&master_, &slave_, name, nullptr, nullptr), 0);
        slave_name_ = name;
        ::close(slave_);
        // The tool must not inherit the master, or closing it here would not hang up the line.
        ::fcntl(master_, F_SETFD, FD_CLOEXEC);
    }
    void TearDown() override {
        if (master_ >= 0) ::close(master_);
        CliTest::TearDown();
    }
    // The tool has the port once it has put it in raw mode.
    bool wait_until_raw() {
        for (int k = 0; k < 500; ++k) {
            termios t{};
            if (::tcgetattr(master_, &t) == 0 && !(t.c_lflag & ICANON)) return true;
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        return false;
    }
    void send(const std::vector<unsigned char>& d) {
        ASSERT_EQ(::write(master_, d.data(), d.size()), static_cast<ssize_t>(d.size()));
    }
    int master_ = -1;
    int slave_ = -1;
    std::string slave_name_;
};

TEST_F(PtyTest, CapturesFromAPtyUntilTheFrameLimit) {
    Tool tool(dir_);
    tool.start({slave_name_, "--frames", "40", "--csv", path("o.csv"), "--baud", "117647",
                "--duration", kSafetyStopS});
    ASSERT_TRUE(wait_until_raw());
    StreamBuilder b;
    b.reset(37).frames(60, level);
    send(b.data());
    const ToolRun r = tool.wait();
    ASSERT_EQ(r.exit_code, 0) << r.err;
    EXPECT_EQ(lines(read_file(path("o.csv"))), 41u);
    const auto j = nlohmann::json::parse(r.out);
    EXPECT_EQ(j["source_kind"], "device");
    EXPECT_EQ(j["stopped_by"], "frames");
    EXPECT_EQ(j["resets"].size(), 1u);
}

TEST_F(PtyTest, ADeviceThatGoesAwayKeepsWhatWasCaptured) {
    Tool tool(dir_);
    tool.start({"--device", slave_name_, "--csv", path("o.csv"), "--summary", path("o.json"),
                "--duration", kSafetyStopS});
    ASSERT_TRUE(wait_until_raw());
    StreamBuilder b;
    b.frames(30, level);
    send(b.data());
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    ::close(master_);
    master_ = -1;
    const ToolRun r = tool.wait();
    EXPECT_EQ(r.exit_code, 3);
    EXPECT_NE(r.err.find("device went away"), std::string::npos) << r.err;
    EXPECT_NE(r.err.find("kept 30 frames"), std::string::npos) << r.err;
    EXPECT_EQ(lines(read_file(path("o.csv"))), 31u);
    const auto j = nlohmann::json::parse(read_file(path("o.json")));
    EXPECT_EQ(j["stopped_by"], "device_lost");
    EXPECT_EQ(j["frames"], 30);
}

TEST_F(PtyTest, InterruptFlushesEverything) {
    Tool tool(dir_);
    tool.start({slave_name_, "--csv", path("o.csv"), "--summary", path("o.json"), "--duration",
                kSafetyStopS});
    ASSERT_TRUE(wait_until_raw());
    StreamBuilder b;
    b.frames(25, level);
    send(b.data());
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    ::kill(tool.pid(), SIGINT);
    const ToolRun r = tool.wait();
    EXPECT_EQ(r.exit_code, 0) << r.err;
    EXPECT_EQ(lines(read_file(path("o.csv"))), 26u);
    EXPECT_EQ(nlohmann::json::parse(read_file(path("o.json")))["stopped_by"], "interrupt");
}

}  // namespace
}  // namespace capture::test
