// Helpers for tests of the configuration store on the real image: the flash
// storage area, the configuration globals as the firmware lays them out, and
// the configuration part of a start.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "src/board.h"

namespace storage_support {

constexpr std::size_t kAreaSize = 1280;   // the storage area: five rows
constexpr std::size_t kImageSize = 1032;  // data, valid flag, signature
constexpr std::size_t kDataSize = 1024;
constexpr std::size_t kRecordSize = 21;
constexpr std::size_t kValidOffset = 1024;
constexpr std::size_t kSignatureOffset = 1028;
constexpr std::uint32_t kRowSize = 256, kPageSize = 64;

using Area = std::vector<std::uint8_t>;  // kAreaSize bytes
using Record = std::array<std::uint8_t, kRecordSize>;

// The record a first start stores with the factory defaults.
constexpr Record kFactoryRecord = {0x01, 0x03, 0x01, 0x1E, 0x00, 0x64, 0x0A, 0x00, 0x01, 0x32, 0x00,
                                   0x64, 0x0A, 0x00, 0x02, 0x00, 0x2D, 0x00, 0x64, 0x00, 0x00};

// Record offsets.
enum Offset : std::size_t {
    kMuestras = 0,
    kEje = 1,
    kEnableLeve = 2,
    kUmbralLeve = 3,
    kRetardoLeveAlto = 4,
    kRetardoLeveBajo = 5,
    kTiempoAlarmaLeve = 6,
    kInvertirLeve = 7,
    kEnableGrave = 8,
    kUmbralGrave = 9,
    kRetardoGraveAlto = 10,
    kRetardoGraveBajo = 11,
    kTiempoAlarmaGrave = 12,
    kInvertirGrave = 13,
    kInclEje = 14,
    kInclEnablePermanente = 15,
    kInclUmbralPermanente = 16,
    kInclRetardoAlto = 17,
    kInclRetardoBajo = 18,
    kInclInvertirPermanente = 19,
    kInclEnableBasculante = 20,
};

// The firmware's record types, field for field (the same natural alignment
// on the target; checked against the symbols' sizes when read).
struct ConfigImpacto {
    std::uint8_t ceje;
    std::uint8_t cenable_leve;
    float fumbral_impacto_leve;
    std::uint16_t iretardo_impacto_leve;
    std::uint8_t ctiempo_alarma_impacto_leve;
    std::uint8_t cinvertir_leve;
    std::uint8_t cenable_grave;
    float fumbral_impacto_grave;
    std::uint16_t iretardo_impacto_grave;
    std::uint8_t ctiempo_alarma_impacto_grave;
    std::uint8_t cinvertir_grave;
};
struct ConfigInclinacion {
    std::uint8_t ceje;
    std::uint8_t cenable_permanente;
    std::uint8_t cumbral_permanente;
    std::uint16_t iretardo_permanente;
    std::uint8_t cinvertir_permanente;
    std::uint8_t cenable_basculante;
    std::uint8_t cinvertir_basculante;
};
struct Configuration {
    std::uint8_t cmuestras_filtro;
    ConfigImpacto impacto;
    ConfigInclinacion inclinacion;
};

// ---- the storage area ----
std::uint32_t area_address(const vboard::Board& board);
// Programs the area's bytes as a device would hold them (no flash commands).
void load_area(vboard::Board& board, const Area& area);
Area read_area(const vboard::Board& board);
Record stored_record(const vboard::Board& board);

// Area fixtures: every byte `fill`; or a record at offset 0 on zeros, with
// the signature and valid flag of a committed image.
Area filled_area(std::uint8_t fill);
Area committed_area(const Record& record);

// ---- the configuration globals ----
Configuration read_configuration(const vboard::Board& board);
void write_configuration(vboard::Board& board, const Configuration& config);
std::uint8_t read_global8(const vboard::Board& board, const std::string& name);
void write_global8(vboard::Board& board, const std::string& name, std::uint8_t value);
// The record the save stores for `config` (the persisted layout).
Record encode(const Configuration& config);
// Every field within the range the load accepts.
bool impact_fields_in_range(const Configuration& config);
// ---- flash wear ----
struct Wear {
    unsigned row_erases = 0;
    unsigned page_writes = 0;
    bool operator==(const Wear& o) const {
        return row_erases == o.row_erases && page_writes == o.page_writes;
    }
    bool operator!=(const Wear& o) const { return !(*this == o); }
};
Wear total_wear(const vboard::Board& board);
Wear operator-(const Wear& a, const Wear& b);
// Wear per row of the storage area.
std::vector<Wear> area_wear(const vboard::Board& board);

// ---- a start ----
// What the configuration steps of a start wrote.
struct BootOutcome {
    Wear defaults;  // by verificacion_memoria: the factory defaults stored
    Wear load;      // by cargar_estructuras_configuracion: a repair
    Wear total() const {
        return {defaults.row_erases + load.row_erases, defaults.page_writes + load.page_writes};
    }
};
// The step of setup that follows the configuration steps.
constexpr const char* kAfterConfiguration = "configurar_acelerometro";
// Runs the firmware's start from reset through the configuration steps of
// setup (verificacion_memoria, cargar_estructuras_configuracion) and stops
// at kAfterConfiguration. A power cut or a fault during the start ends it
// with a std::runtime_error.
BootOutcome boot_configuration(vboard::Board& board, vboard::SimTime limit = 2 * vboard::kSecond);
// Power off (whatever is in progress is left half done) and on again.
void power_cycle(vboard::Board& board);

std::string hex(const std::vector<std::uint8_t>& bytes);
std::string hex(const Record& record);

}  // namespace storage_support
