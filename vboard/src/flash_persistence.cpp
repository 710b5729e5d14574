#include "flash_persistence.h"

#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <vector>

#include "board.h"

namespace vboard {

namespace {
constexpr const char* kStorageSymbol = "_dataeeprom_storage";
}

std::optional<StorageArea> find_storage_area(const ElfImage& image) {
    const std::optional<Symbol> s = image.find(kStorageSymbol);
    if (!s || s->size == 0) return std::nullopt;
    return StorageArea{s->address, s->size};
}

FlashPersistence::FlashPersistence(Board& board, std::string path)
    : board_(board), path_(std::move(path)) {
    const std::optional<StorageArea> area = find_storage_area(board.image());
    if (!area)
        throw std::runtime_error(board.image().path() + " has no flash storage area (" +
                                 kStorageSymbol + "): --flash cannot be used with it");
    area_ = *area;
}

bool FlashPersistence::load() {
    std::error_code error;
    if (!std::filesystem::exists(path_, error) && !error) return false;
    std::ifstream in(path_, std::ios::binary);
    if (!in) throw std::runtime_error("cannot read flash file " + path_);
    const std::vector<std::uint8_t> bytes{std::istreambuf_iterator<char>(in),
                                          std::istreambuf_iterator<char>()};
    if (in.bad()) throw std::runtime_error("cannot read flash file " + path_);
    if (bytes.size() != area_.size)
        throw std::runtime_error("flash file " + path_ + " holds " + std::to_string(bytes.size()) +
                                 " bytes; the storage area is " + std::to_string(area_.size) +
                                 " bytes: refused (delete it to start from the image's contents)");
    board_.cpu().write_memory(area_.address, bytes.data(), bytes.size());
    board_.cpu().invalidate_code(area_.address, area_.size);
    return true;
}

void FlashPersistence::save() const {
    const std::vector<std::uint8_t> bytes = board_.read_bytes(area_.address, area_.size);
    std::ofstream out(path_, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
    out.close();
    if (!out) throw std::runtime_error("cannot write flash file " + path_);
}

}  // namespace vboard
