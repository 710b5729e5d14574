// What the board noticed about the firmware's behaviour that the firmware
// itself cannot see: accesses nothing claims, writes to read-only registers,
// fields written that no model implements. Each distinct finding is printed
// once and counted every time.
#pragma once

#include <cstdint>
#include <map>
#include <nlohmann/json_fwd.hpp>
#include <string>
#include <vector>

namespace vboard {

enum class Finding { UnclaimedAccess, ReadOnlyWrite, UnmodelledField, Unsupported };

const char* finding_name(Finding kind);

class Diagnostics {
  public:
    // `key` identifies the finding for de-duplication (usually the address).
    void note(Finding kind, std::uint32_t key, std::uint32_t pc, const std::string& text);

    std::size_t count(Finding kind) const;
    std::size_t total() const;
    void set_quiet(bool quiet) { quiet_ = quiet; }
    void to_json(nlohmann::json& out) const;

    struct Entry {
        Finding kind;
        std::uint32_t pc;
        std::string text;
        std::uint64_t times;
    };
    const std::map<std::pair<int, std::uint32_t>, Entry>& entries() const { return entries_; }

  private:
    std::map<std::pair<int, std::uint32_t>, Entry> entries_;
    bool quiet_ = false;
};

}  // namespace vboard
