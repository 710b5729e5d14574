#include "storage_support.h"

#include <cstdio>
#include <cstring>
#include <stdexcept>

#include "models/nvmctrl.h"
#include "src/flash_persistence.h"

namespace storage_support {

namespace {

template <class T>
T read_global(const vboard::Board& board, const std::string& name) {
    const vboard::Symbol& s = board.image().symbol(name);
    if (s.size != sizeof(T))
        throw std::logic_error(name + ": the firmware's layout differs from the test's");
    T value;
    const std::vector<std::uint8_t> bytes = board.read_bytes(s.address, sizeof(T));
    std::memcpy(&value, bytes.data(), sizeof(T));
    return value;
}

template <class T>
void write_global(vboard::Board& board, const std::string& name, const T& value) {
    const vboard::Symbol& s = board.image().symbol(name);
    if (s.size != sizeof(T))
        throw std::logic_error(name + ": the firmware's layout differs from the test's");
    std::vector<std::uint8_t> bytes(sizeof(T));
    std::memcpy(bytes.data(), &value, sizeof(T));
    board.write_bytes(s.address, bytes);
}

constexpr std::uint8_t kErased = 0xFF;
constexpr std::uint8_t kValid = 1;
constexpr std::array<std::uint8_t, 4> kSignatureBytes = {0x55, 0xDA, 0xBA, 0x00};

}  // namespace

std::uint32_t area_address(const vboard::Board& board) {
    const auto area = vboard::find_storage_area(board.image());
    if (!area || area->size != kAreaSize)
        throw std::logic_error("the image has no 1280-byte storage area");
    return area->address;
}

void load_area(vboard::Board& board, const Area& area) {
    if (area.size() != kAreaSize) throw std::invalid_argument("an area fixture is 1280 bytes");
    const std::uint32_t address = area_address(board);
    board.cpu().write_memory(address, area.data(), area.size());
    board.cpu().invalidate_code(address, kAreaSize);
}

Area read_area(const vboard::Board& board) {
    return board.read_bytes(area_address(board), kAreaSize);
}

Record stored_record(const vboard::Board& board) {
    const Area area = read_area(board);
    Record record;
    std::copy(area.begin(), area.begin() + kRecordSize, record.begin());
    return record;
}

Area filled_area(std::uint8_t fill) {
    return Area(kAreaSize, fill);
}

Area committed_area(const Record& record) {
    Area area(kAreaSize, 0);
    std::copy(record.begin(), record.end(), area.begin());
    area[kValidOffset] = kValid;
    std::copy(kSignatureBytes.begin(), kSignatureBytes.end(), area.begin() + kSignatureOffset);
    std::fill(area.begin() + kImageSize, area.end(), kErased);
    return area;
}

Configuration read_configuration(const vboard::Board& board) {
    return {read_global<std::uint8_t>(board, "cmuestras_filtro"),
            read_global<ConfigImpacto>(board, "config_impacto"),
            read_global<ConfigInclinacion>(board, "config_inclinacion")};
}

void write_configuration(vboard::Board& board, const Configuration& config) {
    write_global(board, "cmuestras_filtro", config.cmuestras_filtro);
    write_global(board, "config_impacto", config.impacto);
    write_global(board, "config_inclinacion", config.inclinacion);
}

std::uint8_t read_global8(const vboard::Board& board, const std::string& name) {
    return read_global<std::uint8_t>(board, name);
}

void write_global8(vboard::Board& board, const std::string& name, std::uint8_t value) {
    write_global(board, name, value);
}

Record encode(const Configuration& c) {
    const auto tenths = [](float v) {
        return static_cast<std::uint8_t>(static_cast<std::int32_t>(v * 10.0f));
    };
    const auto high = [](std::uint16_t v) { return static_cast<std::uint8_t>(v >> 8); };
    const auto low = [](std::uint16_t v) { return static_cast<std::uint8_t>(v); };
    const std::uint8_t code = c.cmuestras_filtro == 5 ? 0 : c.cmuestras_filtro == 15 ? 2 : 1;
    const ConfigImpacto& i = c.impacto;
    const ConfigInclinacion& t = c.inclinacion;
    return {code,
            i.ceje,
            i.cenable_leve,
            tenths(i.fumbral_impacto_leve),
            high(i.iretardo_impacto_leve),
            low(i.iretardo_impacto_leve),
            i.ctiempo_alarma_impacto_leve,
            i.cinvertir_leve,
            i.cenable_grave,
            tenths(i.fumbral_impacto_grave),
            high(i.iretardo_impacto_grave),
            low(i.iretardo_impacto_grave),
            i.ctiempo_alarma_impacto_grave,
            i.cinvertir_grave,
            t.ceje,
            t.cenable_permanente,
            t.cumbral_permanente,
            high(t.iretardo_permanente),
            low(t.iretardo_permanente),
            t.cinvertir_permanente,
            t.cenable_basculante};
}

bool impact_fields_in_range(const Configuration& c) {
    const ConfigImpacto& i = c.impacto;
    const bool muestras =
        c.cmuestras_filtro == 5 || c.cmuestras_filtro == 10 || c.cmuestras_filtro == 15;
    const bool leve = i.cenable_leve <= 1 && i.fumbral_impacto_leve > 0.0f &&
                      static_cast<double>(i.fumbral_impacto_leve) <= 15.9 &&
                      i.iretardo_impacto_leve <= 9999 && i.ctiempo_alarma_impacto_leve != 2 &&
                      i.ctiempo_alarma_impacto_leve <= 99 && i.cinvertir_leve <= 1;
    const bool grave = i.cenable_grave <= 1 && i.fumbral_impacto_grave > 2.0f &&
                       static_cast<double>(i.fumbral_impacto_grave) <= 15.9 &&
                       i.iretardo_impacto_grave <= 9999 && i.ctiempo_alarma_impacto_grave >= 1 &&
                       i.ctiempo_alarma_impacto_grave <= 99 && i.cinvertir_grave <= 1;
    return muestras && i.ceje <= 3 && leve && grave;
}

namespace {

// Runs the start up to `function`'s entry; a power cut or a fault ends it.
void run_to(vboard::Board& board, const std::string& function, vboard::SimTime limit) {
    const vboard::RunResult r = board.run_until(function, limit);
    if (r.reason != vboard::StopReason::Breakpoint)
        throw std::runtime_error("the start did not reach " + function + ": " +
                                 vboard::stop_reason_name(r.reason) + " " + r.message);
}

}  // namespace

BootOutcome boot_configuration(vboard::Board& board, vboard::SimTime limit) {
    BootOutcome outcome;
    run_to(board, "verificacion_memoria", limit);
    Wear before = total_wear(board);
    run_to(board, "cargar_estructuras_configuracion", limit);
    outcome.defaults = total_wear(board) - before;
    before = total_wear(board);
    run_to(board, kAfterConfiguration, limit);
    outcome.load = total_wear(board) - before;
    return outcome;
}

void power_cycle(vboard::Board& board) {
    board.power_cut();
    board.power_on();
}

Wear total_wear(const vboard::Board& board) {
    const auto& nvm = board.model<vboard::Nvmctrl>();
    return {nvm.total_row_erases(), nvm.total_page_writes()};
}

Wear operator-(const Wear& a, const Wear& b) {
    return {a.row_erases - b.row_erases, a.page_writes - b.page_writes};
}

std::vector<Wear> area_wear(const vboard::Board& board) {
    const auto& nvm = board.model<vboard::Nvmctrl>();
    std::vector<Wear> rows;
    const std::uint32_t base = area_address(board);
    for (std::uint32_t row = base; row < base + kAreaSize; row += kRowSize) {
        const auto w = nvm.wear(row);
        rows.push_back({w.row_erases, w.page_writes});
    }
    return rows;
}

std::string hex(const std::vector<std::uint8_t>& bytes) {
    std::string text;
    char byte[4];
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        std::snprintf(byte, sizeof byte, i ? " %02X" : "%02X", bytes[i]);
        text += byte;
    }
    return text;
}

std::string hex(const Record& record) {
    return hex(std::vector<std::uint8_t>(record.begin(), record.end()));
}

}  // namespace storage_support
