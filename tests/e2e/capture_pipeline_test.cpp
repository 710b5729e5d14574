// The board streams a known acceleration profile through its pseudo-terminal
// to impact-capture, across a watchdog reset; what the tool decodes must be
// the profile as the sensor quantises it, with no frame lost or invented.
#include <gtest/gtest.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iomanip>
#include <nlohmann/json.hpp>
#include <set>
#include <sstream>
#include <string>
#include <thread>
#include <tuple>
#include <vector>

extern char** environ;

namespace {

namespace fs = std::filesystem;

constexpr int kCountsPerG = 256;  // full resolution: 3.9 mg per count
constexpr double kPlateauSeconds = 0.25;
constexpr int kPlateaus = 24;  // 6 s of profile
constexpr int kBannerBytes = 170;
constexpr int kFrameBytes = 10;

using Counts = std::tuple<int, int, int>;

// Plateau k of the profile, in counts (exact multiples of 1/256 g, so the
// sensor's rounding leaves them as they are).
Counts plateau(int k) {
    return {16 * k - 100, 50 - 8 * k, kCountsPerG + 4 * k};
}

std::string write_profile(const fs::path& dir) {
    const fs::path file = dir / "profile.csv";
    std::ofstream out(file);
    out << std::setprecision(10) << "t,x,y,z\n";
    for (int k = 0; k < kPlateaus; ++k) {
        const auto [x, y, z] = plateau(k);
        // Two rows per plateau: the sensor interpolates only across the
        // microsecond between plateaus.
        for (double t : {k * kPlateauSeconds, (k + 1) * kPlateauSeconds - 1e-6})
            out << t << "," << double(x) / kCountsPerG << "," << double(y) / kCountsPerG << ","
                << double(z) / kCountsPerG << "\n";
    }
    return file.string();
}

pid_t spawn(const std::vector<std::string>& args, int stderr_fd) {
    std::vector<char*> argv;
    for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    if (stderr_fd >= 0) posix_spawn_file_actions_adddup2(&actions, stderr_fd, STDERR_FILENO);
    pid_t pid = -1;
    const int err = posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    return err == 0 ? pid : -1;
}

int wait_exit(pid_t pid) {
    int status = 0;
    waitpid(pid, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

std::string pty_path_from(const fs::path& log) {
    for (int tries = 0; tries < 500; ++tries) {
        std::ifstream in(log);
        std::string line;
        while (std::getline(in, line)) {
            const auto at = line.find("/dev/pts/");
            if (at != std::string::npos) return line.substr(at);
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return "";
}

struct Row {
    int session;
    Counts counts;
};

std::vector<Row> read_csv(const fs::path& file) {
    std::ifstream in(file);
    std::string line;
    std::getline(in, line);  // header
    std::vector<Row> rows;
    while (std::getline(in, line)) {
        std::stringstream s(line);
        std::string field;
        std::vector<std::string> f;
        while (std::getline(s, field, ',')) f.push_back(field);
        rows.push_back({std::stoi(f[1]), {std::stoi(f[4]), std::stoi(f[5]), std::stoi(f[6])}});
    }
    return rows;
}

TEST(CapturePipeline, DecodesTheProfileThroughThePtyAcrossAWatchdogReset) {
    const fs::path dir = fs::temp_directory_path() / ("e2e-capture-" + std::to_string(getpid()));
    fs::create_directories(dir);
    const std::string profile = write_profile(dir);
    const fs::path board_log = dir / "vboard.err", report = dir / "report.json";
    const fs::path csv = dir / "capture.csv", summary = dir / "summary.json";

    // The clock line is held low from 1 s to 3.5 s: the loop stalls and the
    // watchdog resets the board 2 s after its last kick.
    FILE* log = std::fopen(board_log.c_str(), "w");
    ASSERT_NE(log, nullptr);
    const pid_t board = spawn({VBOARD_EXE, "run", "--firmware", FIRMWARE_ELF, "--sensor", profile,
                               "--seconds", "5", "--uart1-pty-wait", "--realtime", "--quiet",
                               "--fault", "scl-low@1s..3.5s", "--report", report.string()},
                              fileno(log));
    std::fclose(log);
    ASSERT_GT(board, 0);
    const std::string pty = pty_path_from(board_log);
    ASSERT_FALSE(pty.empty()) << "the board printed no pseudo-terminal";
    const pid_t tool = spawn({CAPTURE_EXE, "--device", pty, "--csv", csv.string(), "--summary",
                              summary.string(), "--quiet", "--duration", "30"},
                             -1);
    ASSERT_GT(tool, 0);
    EXPECT_EQ(wait_exit(board), 0);
    EXPECT_EQ(wait_exit(tool), 3) << "the tool ends when the board goes away";

    const nlohmann::json board_report = nlohmann::json::parse(std::ifstream(report));
    const nlohmann::json capture = nlohmann::json::parse(std::ifstream(summary));
    ASSERT_EQ(board_report["resets"].size(), 2u);
    EXPECT_EQ(board_report["resets"][1]["cause"], "watchdog");
    ASSERT_EQ(capture["resets"].size(), 2u) << "both banners are seen";

    // Every whole frame the board sent is decoded, and nothing else.
    const long delivered = board_report["serial"]["SERCOM1"]["line"]["delivered"];
    const long frames_sent = (delivered - 2 * kBannerBytes) / kFrameBytes;
    EXPECT_EQ(capture["frames"].get<long>(), frames_sent);
    EXPECT_EQ(capture["resyncs"], 0);

    // Each sample is a plateau of the profile, and plateaus only move on
    // within a session (a reset starts the profile's clock nowhere new: the
    // board's time runs on).
    std::set<Counts> profile_values;
    for (int k = 0; k < kPlateaus; ++k) profile_values.insert(plateau(k));
    const std::vector<Row> rows = read_csv(csv);
    ASSERT_EQ(static_cast<long>(rows.size()), frames_sent);
    int last_k = -1, zero_samples = 0;
    for (const Row& r : rows) {
        if (r.counts == Counts{0, 0, 0}) {
            ++zero_samples;  // read before the sensor's first conversion after start-up
            continue;
        }
        ASSERT_TRUE(profile_values.count(r.counts)) << "invented sample " << std::get<0>(r.counts);
        const int k = (std::get<0>(r.counts) + 100) / 16;
        EXPECT_GE(k, last_k) << "samples go back in time";
        last_k = k;
    }
    EXPECT_LE(zero_samples, 2);
    fs::remove_all(dir);
}

}  // namespace
