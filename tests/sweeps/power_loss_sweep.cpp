// Power-loss sweep of the configuration store.
//
// For each scenario (the first start on a zeroed storage area, and a start
// that repairs a stored record), the supply is cut at every k-th instruction
// of the commit that the firmware's own start makes, the board is powered up
// again, and the next start is checked: it must end with every impact field
// in range, the stored record equal to the globals, and the main loop
// sending frames; and a start after it must write nothing. Each cut is
// counted by what the record ended as: the intended record, the factory
// defaults, or another record (one partly programmed when the supply failed,
// repaired where an impact field was out of range).
//
//   power_loss_sweep [--points N] [--stride K] [--image ELF] [--json FILE]
//
// --points: cut points per scenario (default 1100; the stride follows from
// the commit's length); --stride overrides it. Exit code 0 when every cut
// passed the checks, 1 otherwise, 2 for a bad option or a failed set-up.
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <map>
#include <nlohmann/json.hpp>
#include <stdexcept>
#include <string>

#include "board_fixture.h"
#include "models/nvmctrl.h"
#include "models/power_supply.h"
#include "models/sercom.h"
#include "models/sercom_usart.h"
#include "storage_support.h"

namespace {

using namespace storage_support;
using vboard::Nvmctrl;

// A stored record with a light alarm time of 2 (replaced by 10) and a tilt
// section of its own.
constexpr Record kRecordToRepair = {0x02, 0x01, 0x01, 0x2D, 0x01, 0xF4, 0x02,
                                    0x01, 0x01, 0x50, 0x03, 0xE8, 0x1E, 0x01,
                                    0x01, 0x01, 0x0F, 0x01, 0x2C, 0x01, 0x01};
constexpr Record kRepairedRecord = {0x02, 0x01, 0x01, 0x2D, 0x01, 0xF4, 0x0A,
                                    0x01, 0x01, 0x50, 0x03, 0xE8, 0x1E, 0x01,
                                    0x01, 0x01, 0x0F, 0x01, 0x2C, 0x01, 0x01};
constexpr vboard::SimTime kRunAfterStart = 50 * vboard::kMillisecond;
constexpr unsigned kSerial1Module = 1;

struct Scenario {
    std::string name;
    Area area;
    Record intended;
};

struct Window {
    std::uint64_t first, last;  // instruction offsets from power-on
};

struct Tally {
    unsigned cuts = 0, intended = 0, factory = 0, repair = 0;
    unsigned defaults_stored = 0, repaired = 0, nothing_written = 0;
    unsigned tilt_kept = 0, failures = 0;
    std::map<std::string, std::map<std::string, unsigned>> by_phase;  // phase -> class -> cuts
    std::vector<std::string> failure_notes;
};

class Sweep {
  public:
    explicit Sweep(const std::string& image) {
        vboard::BoardOptions options = testing_support::test_options(image);
        board_ = std::make_unique<vboard::Board>(options);
    }

    // The instruction window of the scenario's commit, from a start without a cut.
    Window measure(const Scenario& s) {
        const std::uint64_t base = start_with(s.area);
        const std::size_t first_command = nvm().commands().size();
        boot_configuration(*board_);
        const auto& log = nvm().commands();
        std::optional<Window> window;
        for (std::size_t i = first_command; i < log.size(); ++i) {
            if (log[i].cmd != Nvmctrl::kCmdER && log[i].cmd != Nvmctrl::kCmdWP) continue;
            if (!window) window = Window{log[i].start_instructions - base, 0};
            window->last = log[i].end_instructions - base;
        }
        if (!window) throw std::runtime_error(s.name + ": the start writes no flash");
        if (stored_record(*board_) != s.intended)
            throw std::runtime_error(s.name + ": not the intended record");
        return *window;
    }

    void cut_at(const Scenario& s, std::uint64_t offset, Tally& t) {
        ++t.cuts;
        const std::uint64_t base = start_with(s.area);
        board_->model<vboard::PowerSupply>().cut_at(
            {vboard::TimePoint::Kind::Instructions, base + offset});
        const std::size_t first_command = nvm().commands().size();
        bool cut = false;
        try {
            boot_configuration(*board_);
        } catch (const std::runtime_error&) {
            cut = board_->model<vboard::PowerSupply>().last_cut().has_value();
        }
        if (!cut) return fail(t, s, offset, "the start was not cut");
        const std::string phase = phase_of_cut(first_command);

        board_->power_on();
        BootOutcome next;
        try {
            next = boot_configuration(*board_);
        } catch (const std::exception& e) {
            return fail(t, s, offset, std::string("the next start failed: ") + e.what());
        }
        const Configuration config = read_configuration(*board_);
        const Record record = stored_record(*board_);
        if (!impact_fields_in_range(config)) return fail(t, s, offset, "a field out of range");
        if (encode(config) != record)
            return fail(t, s, offset, "stored record differs from the globals");
        if (const std::string stopped = run_to_the_stream(); !stopped.empty())
            return fail(t, s, offset, stopped);

        const char* kind = record == s.intended       ? "intended"
                           : record == kFactoryRecord ? "factory"
                                                      : "repair";
        ++(record == s.intended ? t.intended : record == kFactoryRecord ? t.factory : t.repair);
        ++t.by_phase[phase][kind];
        if (next.defaults != Wear{})
            ++t.defaults_stored;
        else if (next.load != Wear{})
            ++t.repaired;
        else
            ++t.nothing_written;
        if (std::equal(record.begin() + kInclEje, record.end(), s.intended.begin() + kInclEje))
            ++t.tilt_kept;

        // The start after that one has nothing to do.
        power_cycle(*board_);
        const BootOutcome third = boot_configuration(*board_);
        if (third.total() != Wear{} || stored_record(*board_) != record)
            return fail(t, s, offset, "the start after the repair wrote again");
    }

  private:
    Nvmctrl& nvm() { return board_->model<Nvmctrl>(); }

    vboard::SercomUsart& serial1() {
        for (const auto& m : board_->models())
            if (auto* s = dynamic_cast<vboard::Sercom*>(m.get()); s && s->index() == kSerial1Module)
                return s->usart();
        throw std::logic_error("no SERCOM1");
    }

    // The rest of the start, then the main loop sending frames; what went
    // wrong, or nothing.
    std::string run_to_the_stream() {
        vboard::RunResult r = board_->run_until("loop", kRunAfterStart);
        if (r.reason != vboard::StopReason::Breakpoint)
            return "the start did not reach loop: " + r.message;
        const vboard::SimTime loop_entered = board_->now();
        r = board_->run_for(kRunAfterStart);
        if (r.reason != vboard::StopReason::TimeLimit) return "the firmware stopped: " + r.message;
        // The transmit log keeps the newest frames: its last one tells.
        const auto& sent = serial1().transmitted();
        if (sent.empty() || sent.back().start < loop_entered) return "the main loop sends nothing";
        return "";
    }

    std::uint64_t start_with(const Area& area) {
        power_cycle(*board_);
        load_area(*board_, area);
        return board_->instructions();
    }

    // What the controller was doing when the supply failed.
    std::string phase_of_cut(std::size_t first_command) {
        const auto& log = nvm().commands();
        const std::uint32_t area = area_address(*board_);
        for (std::size_t i = log.size(); i-- > first_command;) {
            const Nvmctrl::CommandRecord& c = log[i];
            if (c.cmd != Nvmctrl::kCmdER && c.cmd != Nvmctrl::kCmdWP) continue;
            if (c.completed) break;
            const std::uint32_t offset = c.address - area;
            char text[24];
            std::snprintf(text, sizeof text,
                          c.cmd == Nvmctrl::kCmdER ? "ER row %u" : "WP page %02u",
                          c.cmd == Nvmctrl::kCmdER ? offset / kRowSize : offset / kPageSize);
            return text;
        }
        return "between commands";
    }

    void fail(Tally& t, const Scenario& s, std::uint64_t offset, const std::string& what) {
        ++t.failures;
        if (t.failure_notes.size() < 20)
            t.failure_notes.push_back(s.name + " cut at instruction " + std::to_string(offset) +
                                      ": " + what);
    }

    std::unique_ptr<vboard::Board> board_;
};

nlohmann::json to_json(const Scenario& s, const Window& w, std::uint64_t stride, const Tally& t) {
    return {{"scenario", s.name},
            {"window_instructions", {w.first, w.last}},
            {"stride", stride},
            {"cuts", t.cuts},
            {"ended_in",
             {{"intended", t.intended}, {"factory_defaults", t.factory}, {"repair", t.repair}}},
            {"next_start",
             {{"stored_defaults", t.defaults_stored},
              {"repaired", t.repaired},
              {"wrote_nothing", t.nothing_written}}},
            {"tilt_section_kept", t.tilt_kept},
            {"by_phase", t.by_phase},
            {"failures", t.failures},
            {"failure_notes", t.failure_notes}};
}

void print(const Scenario& s, const Window& w, std::uint64_t stride, const Tally& t) {
    std::printf("%s: commit at instructions %llu..%llu after power-on, cut every %llu: %u cuts\n",
                s.name.c_str(), static_cast<unsigned long long>(w.first),
                static_cast<unsigned long long>(w.last), static_cast<unsigned long long>(stride),
                t.cuts);
    std::printf("  ended in: intended record %u, factory defaults %u, another record %u\n",
                t.intended, t.factory, t.repair);
    std::printf(
        "  the next start: stored the defaults %u, repaired %u, wrote nothing %u; tilt section "
        "kept %u\n",
        t.defaults_stored, t.repaired, t.nothing_written, t.tilt_kept);
    for (const auto& [phase, kinds] : t.by_phase) {
        std::printf("    %-18s", phase.c_str());
        for (const auto& [kind, n] : kinds) std::printf(" %s %u", kind.c_str(), n);
        std::printf("\n");
    }
    std::printf("  failures: %u\n", t.failures);
    for (const std::string& note : t.failure_notes) std::printf("    %s\n", note.c_str());
}

}  // namespace

int main(int argc, char** argv) {
    std::uint64_t points = 1100, stride = 0;
    std::string image = testing_support::full_image(), json_file;
    for (int i = 1; i + 1 < argc; i += 2) {
        const std::string option = argv[i], value = argv[i + 1];
        if (option == "--points")
            points = std::stoull(value);
        else if (option == "--stride")
            stride = std::stoull(value);
        else if (option == "--image")
            image = value;
        else if (option == "--json")
            json_file = value;
        else {
            std::cerr << "power_loss_sweep: unknown option " << option << "\n";
            return 2;
        }
    }
    const auto wall_start = std::chrono::steady_clock::now();
    try {
        Sweep sweep(image);
        const std::vector<Scenario> scenarios = {
            {"first start on a zeroed area", filled_area(0x00), kFactoryRecord},
            {"repair of a stored record", committed_area(kRecordToRepair), kRepairedRecord},
        };
        nlohmann::json report = nlohmann::json::array();
        unsigned failures = 0, cuts = 0;
        for (const Scenario& s : scenarios) {
            const Window w = sweep.measure(s);
            const std::uint64_t span = w.last - w.first + 1;
            const std::uint64_t k = stride ? stride : std::max<std::uint64_t>(1, span / points);
            Tally t;
            for (std::uint64_t offset = w.first; offset <= w.last; offset += k)
                sweep.cut_at(s, offset, t);
            print(s, w, k, t);
            report.push_back(to_json(s, w, k, t));
            failures += t.failures;
            cuts += t.cuts;
        }
        const double wall =
            std::chrono::duration<double>(std::chrono::steady_clock::now() - wall_start).count();
        std::printf("%u cuts, %u failures, %.1f s\n", cuts, failures, wall);
        if (!json_file.empty()) std::ofstream(json_file) << report.dump(2) << "\n";
        return failures == 0 ? 0 : 1;
    } catch (const std::exception& e) {
        std::cerr << "power_loss_sweep: " << e.what() << "\n";
        return 2;
    }
}
