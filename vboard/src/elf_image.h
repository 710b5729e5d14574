// The firmware image as the linker left it: loadable segments at their load
// (physical) addresses, and the symbol table, with C++ names demangled so
// that tests can name "RingBuffer::store_char(unsigned char)".
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

namespace vboard {

struct Segment {
    std::uint32_t address;  // load address
    std::vector<std::uint8_t> bytes;
};

struct Symbol {
    std::string name;       // demangled
    std::uint32_t address;  // for functions, without the Thumb bit
    std::uint32_t size;
    bool function;
};

class ElfImage {
  public:
    // Throws std::runtime_error with a readable message on a bad file.
    explicit ElfImage(const std::string& path);

    const std::string& path() const { return path_; }
    const std::vector<Segment>& segments() const { return segments_; }
    std::uint32_t entry() const { return entry_; }

    // By mangled or demangled name; for a C++ function also by its bare
    // qualified name when that is unambiguous ("TwoWire::begin").
    std::optional<Symbol> find(const std::string& name) const;
    const Symbol& symbol(const std::string& name) const;  // throws if absent
    // The symbol whose range holds `address`, for messages.
    std::optional<Symbol> symbol_at(std::uint32_t address) const;

  private:
    std::string path_;
    std::uint32_t entry_ = 0;
    std::vector<Segment> segments_;
    std::vector<Symbol> symbols_;
    std::unordered_map<std::string, std::size_t> by_name_;
    std::unordered_map<std::string, std::vector<std::size_t>> by_bare_name_;
};

}  // namespace vboard
