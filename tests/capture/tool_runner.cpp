#include "tool_runner.hpp"

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <csignal>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <thread>

extern char** environ;

namespace {
constexpr std::chrono::seconds kRunLimit{60};
constexpr std::chrono::milliseconds kPollPeriod{10};
}  // namespace

namespace capture::test {

std::string read_file(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

void write_file(const std::string& path, const std::vector<unsigned char>& data) {
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(data.data()),
              static_cast<std::streamsize>(data.size()));
}

std::string scratch_dir() {
    const char* base = std::getenv("TMPDIR");
    std::string t = std::string(base && *base ? base : "/tmp") + "/capture-test.XXXXXX";
    if (!::mkdtemp(t.data())) throw std::runtime_error("mkdtemp failed");
    return t;
}

void Tool::start(const std::vector<std::string>& args, const std::string& stdin_file,
                 const std::string& path_env) {
    std::vector<std::string> argv_s{IMPACT_CAPTURE_BIN};
    argv_s.insert(argv_s.end(), args.begin(), args.end());
    std::vector<char*> argv;
    for (auto& a : argv_s) argv.push_back(a.data());
    argv.push_back(nullptr);

    std::vector<std::string> env_s;
    for (char** e = environ; *e; ++e) {
        const std::string v = *e;
        if (!path_env.empty() && v.rfind("PATH=", 0) == 0) continue;
        env_s.push_back(v);
    }
    if (!path_env.empty()) env_s.push_back("PATH=" + path_env);
    std::vector<char*> envp;
    for (auto& e : env_s) envp.push_back(e.data());
    envp.push_back(nullptr);

    const std::string out = dir_ + "/tool.out", err = dir_ + "/tool.err";
    posix_spawn_file_actions_t fa;
    posix_spawn_file_actions_init(&fa);
    posix_spawn_file_actions_addopen(&fa, 0, stdin_file.c_str(), O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&fa, 1, out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    posix_spawn_file_actions_addopen(&fa, 2, err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (::posix_spawn(&pid_, argv[0], &fa, nullptr, argv.data(), envp.data()) != 0) {
        throw std::runtime_error("cannot start impact-capture");
    }
    posix_spawn_file_actions_destroy(&fa);
}

ToolRun Tool::wait() {
    ToolRun r;
    int status = 0;
    // A tool that does not end by itself is stopped, so that a failing test cannot hang.
    const auto deadline = std::chrono::steady_clock::now() + kRunLimit;
    while (::waitpid(pid_, &status, WNOHANG) == 0) {
        if (std::chrono::steady_clock::now() > deadline) {
            ::kill(pid_, SIGKILL);
            ::waitpid(pid_, &status, 0);
            break;
        }
        std::this_thread::sleep_for(kPollPeriod);
    }
    r.exit_code = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    r.out = read_file(dir_ + "/tool.out");
    r.err = read_file(dir_ + "/tool.err");
    return r;
}

}  // namespace capture::test
