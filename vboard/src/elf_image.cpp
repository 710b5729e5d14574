#include "elf_image.h"

#include <cxxabi.h>
#include <fcntl.h>
#include <gelf.h>
#include <libelf.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <stdexcept>

namespace vboard {

namespace {

std::string demangle(const char* name) {
    int status = 0;
    std::unique_ptr<char, void (*)(void*)> out(abi::__cxa_demangle(name, nullptr, nullptr, &status),
                                               std::free);
    return status == 0 && out ? std::string(out.get()) : std::string(name);
}

// "ns::Class::method(int) const" -> "ns::Class::method"
std::string bare_name(const std::string& demangled) {
    const auto paren = demangled.find('(');
    return paren == std::string::npos ? demangled : demangled.substr(0, paren);
}

struct FileCloser {
    int fd;
    ~FileCloser() {
        if (fd >= 0) close(fd);
    }
};

}  // namespace

ElfImage::ElfImage(const std::string& path) : path_(path) {
    if (elf_version(EV_CURRENT) == EV_NONE)
        throw std::runtime_error("libelf initialisation failed");
    FileCloser file{open(path.c_str(), O_RDONLY)};
    if (file.fd < 0)
        throw std::runtime_error("cannot open firmware image " + path + ": " +
                                 std::strerror(errno));
    std::unique_ptr<Elf, int (*)(Elf*)> elf(elf_begin(file.fd, ELF_C_READ, nullptr), elf_end);
    if (!elf || elf_kind(elf.get()) != ELF_K_ELF)
        throw std::runtime_error(path + " is not an ELF file");
    GElf_Ehdr header;
    if (!gelf_getehdr(elf.get(), &header) || header.e_ident[EI_CLASS] != ELFCLASS32 ||
        header.e_machine != EM_ARM)
        throw std::runtime_error(path + " is not a 32-bit ARM ELF image");
    entry_ = static_cast<std::uint32_t>(header.e_entry);

    std::size_t program_headers = 0;
    elf_getphdrnum(elf.get(), &program_headers);
    for (std::size_t i = 0; i < program_headers; ++i) {
        GElf_Phdr ph;
        if (!gelf_getphdr(elf.get(), static_cast<int>(i), &ph) || ph.p_type != PT_LOAD ||
            ph.p_filesz == 0)
            continue;
        Segment segment{static_cast<std::uint32_t>(ph.p_paddr),
                        std::vector<std::uint8_t>(ph.p_filesz)};
        if (pread(file.fd, segment.bytes.data(), ph.p_filesz, static_cast<off_t>(ph.p_offset)) !=
            static_cast<ssize_t>(ph.p_filesz))
            throw std::runtime_error(path + ": truncated segment");
        segments_.push_back(std::move(segment));
    }

    Elf_Scn* section = nullptr;
    while ((section = elf_nextscn(elf.get(), section)) != nullptr) {
        GElf_Shdr sh;
        if (!gelf_getshdr(section, &sh) || sh.sh_type != SHT_SYMTAB) continue;
        Elf_Data* data = elf_getdata(section, nullptr);
        const std::size_t count = sh.sh_size / sh.sh_entsize;
        for (std::size_t i = 0; i < count; ++i) {
            GElf_Sym sym;
            if (!gelf_getsym(data, static_cast<int>(i), &sym)) continue;
            const int type = GELF_ST_TYPE(sym.st_info);
            if (type != STT_FUNC && type != STT_OBJECT && type != STT_NOTYPE) continue;
            const char* raw = elf_strptr(elf.get(), sh.sh_link, sym.st_name);
            if (!raw || !*raw || raw[0] == '$') continue;  // mapping symbols ($t, $d)
            const bool function = type == STT_FUNC;
            Symbol s{demangle(raw),
                     static_cast<std::uint32_t>(sym.st_value) & (function ? ~1u : ~0u),
                     static_cast<std::uint32_t>(sym.st_size), function};
            const std::size_t index = symbols_.size();
            // Prefer global definitions over local ones of the same name.
            const bool global = GELF_ST_BIND(sym.st_info) != STB_LOCAL;
            if (global || !by_name_.count(raw)) by_name_[raw] = index;
            if (global || !by_name_.count(s.name)) by_name_[s.name] = index;
            if (function) by_bare_name_[bare_name(s.name)].push_back(index);
            symbols_.push_back(std::move(s));
        }
    }
}

std::optional<Symbol> ElfImage::find(const std::string& name) const {
    if (auto it = by_name_.find(name); it != by_name_.end()) return symbols_[it->second];
    if (auto it = by_bare_name_.find(name); it != by_bare_name_.end() && it->second.size() == 1)
        return symbols_[it->second.front()];
    return std::nullopt;
}

const Symbol& ElfImage::symbol(const std::string& name) const {
    if (auto it = by_name_.find(name); it != by_name_.end()) return symbols_[it->second];
    if (auto it = by_bare_name_.find(name); it != by_bare_name_.end()) {
        if (it->second.size() == 1) return symbols_[it->second.front()];
        throw std::runtime_error("symbol '" + name + "' is overloaded in " + path_ +
                                 ": give the full signature");
    }
    throw std::runtime_error("no symbol '" + name + "' in " + path_);
}

std::optional<Symbol> ElfImage::symbol_at(std::uint32_t address) const {
    for (const Symbol& s : symbols_) {
        if (s.function && address >= s.address &&
            address < s.address + std::max<std::uint32_t>(s.size, 1))
            return s;
    }
    return std::nullopt;
}

}  // namespace vboard
