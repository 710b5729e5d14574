#include "gnuplot_plotter.hpp"

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>

#include "capture_error.hpp"

extern char** environ;

namespace capture {

namespace {

constexpr double kMsPerSecond = 1000.0;
constexpr const char* kGnuplot = "gnuplot";
constexpr std::size_t kErrorLines = 5;

// A gnuplot single-quoted string: a quote inside is written twice.
std::string quoted(const std::string& s) {
    std::string q = "'";
    for (char ch : s) {
        q.push_back(ch);
        if (ch == '\'') q.push_back('\'');
    }
    return q + "'";
}

bool is_svg(const std::string& path) {
    const std::size_t dot = path.rfind('.');
    if (dot == std::string::npos) return false;
    std::string ext = path.substr(dot + 1);
    for (char& ch : ext) ch = static_cast<char>(std::tolower(static_cast<unsigned char>(ch)));
    return ext == "svg";
}

class TempDir {
  public:
    TempDir() {
        const char* base = std::getenv("TMPDIR");
        std::string tmpl = std::string(base && *base ? base : "/tmp") + "/impact-capture.XXXXXX";
        std::vector<char> buf(tmpl.begin(), tmpl.end());
        buf.push_back('\0');
        if (!::mkdtemp(buf.data())) throw CaptureError(describe_errno(tmpl, errno));
        path_ = buf.data();
    }
    ~TempDir() {
        for (const std::string& f : files_) ::unlink(f.c_str());
        ::rmdir(path_.c_str());
    }
    std::string file(const std::string& name) {
        files_.push_back(path_ + "/" + name);
        return files_.back();
    }

  private:
    std::string path_;
    std::vector<std::string> files_;
};

void write_data(const PlotSeries& series, const std::string& path) {
    std::ofstream out(path);
    char line[128];
    for (const PlotPoint& p : series.points()) {
        const int n = std::snprintf(line, sizeof line, "%.4f %.4f %.4f %.4f %.4f\n",
                                    static_cast<double>(p.timeline_ms) / kMsPerSecond,
                                    counts_to_g(p.counts[0]), counts_to_g(p.counts[1]),
                                    counts_to_g(p.counts[2]), p.magnitude_g);
        out.write(line, n);
    }
    out.flush();
    if (!out) throw CaptureError("cannot write plot data " + describe_errno(path, errno));
}

std::string first_lines(const std::string& path) {
    std::ifstream in(path);
    std::string line, text;
    for (std::size_t k = 0; k < kErrorLines && std::getline(in, line); ++k) text += "\n  " + line;
    return text;
}

}  // namespace

std::string plot_script(const PlotRequest& r, const std::string& data_file) {
    std::ostringstream s;
    if (is_svg(r.output)) {
        s << "set terminal svg size 1400,900 dynamic enhanced font 'Sans,11'\n";
    } else {
        s << "if (strstrt(GPVAL_TERMINALS, 'pngcairo') > 0) {\n"
             "  set terminal pngcairo size 1400,900 enhanced font 'Sans,10'\n"
             "} else {\n"
             "  set terminal png size 1400,900\n"
             "}\n";
    }
    s << "set output " << quoted(r.output) << "\n"
      << "set grid\nset key outside right top\nset lmargin 12\nset rmargin 16\n"
      << "set xlabel 'device time (s), carried on across resets'\n";
    int object = 1;
    if (r.events) {
        for (const ThresholdEvent& e : *r.events) {
            const double t0 = static_cast<double>(e.start_timeline_ms) / kMsPerSecond;
            const double t1 =
                static_cast<double>(e.start_timeline_ms + e.duration_ms) / kMsPerSecond;
            s << "set object " << object++ << " rect from " << t0 << ", graph 0 to " << t1
              << ", graph 1 fc rgb '#f0a000' fs transparent solid 0.35 noborder behind\n";
        }
    }
    if (r.resets) {
        for (const ResetEvent& e : *r.resets) {
            const double t = static_cast<double>(e.timeline_ms) / kMsPerSecond;
            s << "set arrow from " << t << ", graph 0 to " << t
              << ", graph 1 nohead lc rgb '#d00000' lw 2 dt 2\n";
        }
    }
    // Invisible samples name the markings in the key.
    const std::string legend =
        " NaN with lines lc rgb '#d00000' lw 2 dt 2 title 'reset', "
        "NaN with boxes fs solid 0.35 lc rgb '#f0a000' title 'event'";
    const std::string d = quoted(data_file);
    s << "set multiplot layout 2,1 title " << quoted(r.title) << "\n"
      << "set ylabel 'acceleration (g)'\n"
      << "plot " << d << " using 1:2 with lines lw 1 title 'X', " << d
      << " using 1:3 with lines lw 1 title 'Y', " << d << " using 1:4 with lines lw 1 title 'Z',"
      << legend << "\n"
      << "set ylabel '|a| (g)'\n"
      << "plot " << d << " using 1:5 with lines lw 1 lc rgb '#202020' title '|a|'";
    if (r.threshold_g) {
        s << ", " << *r.threshold_g << " with lines lc rgb '#f0a000' dt 3 lw 2 title 'threshold "
          << *r.threshold_g << " g'";
    }
    s << "\nunset multiplot\nset output\n";
    return s.str();
}

void draw_plot(const PlotRequest& r) {
    if (!r.series || r.series->points().empty()) {
        throw CaptureError("cannot draw " + r.output + ": no frames to plot");
    }
    TempDir dir;
    const std::string data = dir.file("samples.dat");
    const std::string script = dir.file("plot.gp");
    const std::string errors = dir.file("gnuplot.err");
    write_data(*r.series, data);
    {
        std::ofstream out(script);
        out << plot_script(r, data);
        if (!out) throw CaptureError("cannot write plot script " + describe_errno(script, errno));
    }

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, errors.c_str(),
                                     O_WRONLY | O_CREAT | O_TRUNC, 0600);
    std::string arg0 = kGnuplot;
    std::string arg1 = script;
    char* argv[] = {arg0.data(), arg1.data(), nullptr};
    pid_t pid = 0;
    const int rc = ::posix_spawnp(&pid, kGnuplot, &actions, nullptr, argv, environ);
    posix_spawn_file_actions_destroy(&actions);
    if (rc == ENOENT) {
        throw CaptureError("cannot draw " + r.output +
                           ": gnuplot not found (install the Debian package gnuplot-nox)");
    }
    if (rc != 0)
        throw CaptureError("cannot draw " + r.output + ": " + describe_errno(kGnuplot, rc));
    int status = 0;
    while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
        throw CaptureError("cannot draw " + r.output + ": gnuplot failed:" + first_lines(errors));
    }
}

}  // namespace capture
