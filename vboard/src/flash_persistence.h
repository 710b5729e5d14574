// The flash storage area kept in a file between runs (vboard run --flash FILE).
//
// The area is the image's symbol _dataeeprom_storage (1280 bytes). load()
// copies the file into it before the run; a missing file leaves the image's
// contents (zeros, as on a freshly programmed device), a file of another size
// is refused. save() writes the area back, at the end of a run or after a
// power cut. The file holds the area's bytes as they are, nothing else.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace vboard {

class Board;
class ElfImage;

struct StorageArea {
    std::uint32_t address;
    std::uint32_t size;
};

// The storage area of `image`, if it has one.
std::optional<StorageArea> find_storage_area(const ElfImage& image);

class FlashPersistence {
  public:
    // Throws std::runtime_error when the image has no storage area.
    FlashPersistence(Board& board, std::string path);

    const StorageArea& area() const { return area_; }
    const std::string& path() const { return path_; }

    // Returns false when the file does not exist (the area keeps the image's
    // contents). Throws std::runtime_error for a file of the wrong size or one
    // that cannot be read.
    bool load();
    // Throws std::runtime_error when the file cannot be written.
    void save() const;

  private:
    Board& board_;
    std::string path_;
    StorageArea area_;
};

}  // namespace vboard
