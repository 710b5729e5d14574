// Runs the impact-capture executable with files for its standard streams.
#pragma once

#include <string>
#include <vector>

namespace capture::test {

struct ToolRun {
    int exit_code = -1;
    std::string out;
    std::string err;
};

class Tool {
  public:
    // `dir`: a scratch directory for the streams' files.
    explicit Tool(std::string dir) : dir_(std::move(dir)) {}
    // Starts the tool; `path_env` replaces PATH when not empty.
    void start(const std::vector<std::string>& args, const std::string& stdin_file = "/dev/null",
               const std::string& path_env = "");
    ToolRun wait();
    int pid() const { return pid_; }
    ToolRun run(const std::vector<std::string>& args, const std::string& stdin_file = "/dev/null",
                const std::string& path_env = "") {
        start(args, stdin_file, path_env);
        return wait();
    }

  private:
    std::string dir_;
    int pid_ = -1;
};

std::string read_file(const std::string& path);
void write_file(const std::string& path, const std::vector<unsigned char>& data);
// A fresh directory under the system's temporary directory.
std::string scratch_dir();

}  // namespace capture::test
