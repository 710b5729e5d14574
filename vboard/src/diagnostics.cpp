#include "diagnostics.h"

#include <cstdio>
#include <nlohmann/json.hpp>

namespace vboard {

const char* finding_name(Finding kind) {
    switch (kind) {
        case Finding::UnclaimedAccess:
            return "unclaimed-access";
        case Finding::ReadOnlyWrite:
            return "read-only-write";
        case Finding::UnmodelledField:
            return "unmodelled-field";
        case Finding::Unsupported:
            return "unsupported";
    }
    return "?";
}

void Diagnostics::note(Finding kind, std::uint32_t key, std::uint32_t pc, const std::string& text) {
    auto [it, fresh] =
        entries_.try_emplace({static_cast<int>(kind), key}, Entry{kind, pc, text, 0});
    ++it->second.times;
    if (fresh && !quiet_) {
        std::fprintf(stderr, "vboard: %s: %s (pc 0x%08x)\n", finding_name(kind), text.c_str(), pc);
    }
}

std::size_t Diagnostics::count(Finding kind) const {
    std::size_t n = 0;
    for (const auto& [key, entry] : entries_)
        if (entry.kind == kind) ++n;
    return n;
}

std::size_t Diagnostics::total() const {
    return entries_.size();
}

void Diagnostics::to_json(nlohmann::json& out) const {
    out = nlohmann::json::array();
    for (const auto& [key, e] : entries_) {
        out.push_back(
            {{"kind", finding_name(e.kind)}, {"pc", e.pc}, {"text", e.text}, {"times", e.times}});
    }
}

}  // namespace vboard
