// The configuration record on the real image: what a start does with the
// storage area it finds, and what the save writes.
#include <gtest/gtest.h>

#include "board_fixture.h"
#include "storage_support.h"

namespace {

using namespace storage_support;

constexpr Wear kNoWrite{0, 0};
constexpr Wear kCommit{5, 17};  // the whole area erased, the 1032-byte image programmed

// EEPROMClass: _initialized, then the RAM image (word-aligned), then _dirty.
constexpr std::uint32_t kEepromImageOffset = 4;
constexpr std::uint32_t kEepromDirtyOffset = kEepromImageOffset + kImageSize;

// A stored record with a tilt section different from the factory one.
constexpr Record kStoredRecord = {0x02, 0x01, 0x01, 0x2D, 0x01, 0xF4, 0x14, 0x01, 0x01, 0x50, 0x03,
                                  0xE8, 0x1E, 0x01, 0x01, 0x01, 0x0F, 0x01, 0x2C, 0x01, 0x01};

class ConfigurationStore : public FullImageTest {
  protected:
    // Powers up with `area` in the storage area and runs the configuration
    // steps of a start; returns the flash commands they issued.
    Wear boot_with(const Area& area) {
        power_cycle(board());
        load_area(board(), area);
        return reboot_keeping_flash();
    }
    Wear reboot_keeping_flash() {
        power_cycle(board());
        return boot_configuration(board()).total();
    }
    Wear call_and_count(const std::string& function) {
        const Wear before = total_wear(board());
        call(function);
        return total_wear(board()) - before;
    }
    Configuration config() { return read_configuration(board()); }

    // After every start: the globals are in range and stored exactly, and the
    // flash controller saw nothing it reports.
    void expect_consistent() {
        const Configuration c = config();
        EXPECT_TRUE(impact_fields_in_range(c));
        EXPECT_EQ(hex(encode(c)), hex(stored_record(board())));
        for (const auto& [key, entry] : board().diagnostics().entries())
            EXPECT_EQ(entry.text.find("NVMCTRL"), std::string::npos) << entry.text;
    }
};

Record with(Record record, std::initializer_list<std::pair<std::size_t, std::uint8_t>> bytes) {
    for (const auto& [offset, value] : bytes) record[offset] = value;
    return record;
}

Area blank_mix() {
    Area area = filled_area(0x00);
    for (std::size_t i = 0; i < kDataSize; ++i)
        if ((i * 7 + i / 5) % 3 == 0) area[i] = 0xFF;
    return area;
}

Area with_byte(Area area, std::size_t offset, std::uint8_t value) {
    area[offset] = value;
    return area;
}

// ---------------------------------------------------------------- blank memory

struct BlankCase {
    const char* name;
    Area area;
};

class BlankMemory : public ConfigurationStore, public ::testing::WithParamInterface<BlankCase> {};

TEST_P(BlankMemory, StoresTheFactoryDefaultsWithOneCommit) {
    EXPECT_EQ(boot_with(GetParam().area), kCommit);
    EXPECT_EQ(hex(stored_record(board())), hex(kFactoryRecord));
    const Area area = read_area(board());
    EXPECT_EQ(area[kValidOffset], 1);
    EXPECT_EQ(hex({area.begin() + kSignatureOffset, area.begin() + kImageSize}), "55 DA BA 00");
    // The rest of the data as read, the rows' tail erased and never programmed.
    for (std::size_t i = kRecordSize; i < kDataSize; ++i)
        ASSERT_EQ(area[i], GetParam().area[i]) << i;
    for (std::size_t i = kImageSize; i < kAreaSize; ++i) ASSERT_EQ(area[i], 0xFF) << i;
    // One page write per page of the image: four per row, one for the last two words.
    const std::vector<Wear> rows = area_wear(board());
    ASSERT_EQ(rows.size(), 5u);
    for (std::size_t r = 0; r < 4; ++r) EXPECT_EQ(rows[r], (Wear{1, 4})) << "row " << r;
    EXPECT_EQ(rows[4], (Wear{1, 1}));
    expect_consistent();
    // The tilt section holds the defaults too.
    EXPECT_EQ(config().inclinacion.ceje, 2);
    EXPECT_EQ(config().inclinacion.cumbral_permanente, 45);
    EXPECT_EQ(config().inclinacion.iretardo_permanente, 100);
}

TEST_P(BlankMemory, TheNextStartWritesNothing) {
    boot_with(GetParam().area);
    const Configuration first = config();
    const Area stored = read_area(board());
    EXPECT_EQ(reboot_keeping_flash(), kNoWrite);
    EXPECT_EQ(read_area(board()), stored);
    EXPECT_EQ(hex(encode(config())), hex(encode(first)));
}

INSTANTIATE_TEST_SUITE_P(Fixtures, BlankMemory,
                         ::testing::Values(BlankCase{"zeroed", filled_area(0x00)},
                                           BlankCase{"erased", filled_area(0xFF)},
                                           BlankCase{"zero_and_erased_mix", blank_mix()}),
                         [](const auto& info) { return std::string(info.param.name); });

// ---------------------------------------------------------------- stored records

struct LoadCase {
    const char* name;
    Area area;
    Record after;  // the record stored after the start
    Wear wear;
};

class StoredRecord : public ConfigurationStore, public ::testing::WithParamInterface<LoadCase> {};

TEST_P(StoredRecord, LoadsChecksAndRepairs) {
    const LoadCase& c = GetParam();
    EXPECT_EQ(boot_with(c.area), c.wear);
    EXPECT_EQ(hex(stored_record(board())), hex(c.after));
    expect_consistent();
    // Bytes after the record are neither written nor interpreted.
    const Area area = read_area(board());
    for (std::size_t i = kRecordSize; i < kDataSize; ++i) ASSERT_EQ(area[i], c.area[i]) << i;
}

// The light-level fields of the stored record at offsets 1 to 13, with one
// value changed: accepted as it is, or replaced by the substitute.
LoadCase accepted(const char* name, std::size_t offset, std::uint8_t value) {
    const Record r = with(kStoredRecord, {{offset, value}});
    return {name, committed_area(r), r, kNoWrite};
}
LoadCase replaced(const char* name, std::size_t offset, std::uint8_t value,
                  std::uint8_t substitute) {
    return {name, committed_area(with(kStoredRecord, {{offset, value}})),
            with(kStoredRecord, {{offset, substitute}}), kCommit};
}
LoadCase delay(const char* name, std::size_t high_offset, std::uint8_t high, std::uint8_t low,
               bool accept) {
    const Record r = with(kStoredRecord, {{high_offset, high}, {high_offset + 1, low}});
    return {name, committed_area(r),
            accept ? r : with(kStoredRecord, {{high_offset, 0x00}, {high_offset + 1, 0x64}}),
            accept ? kNoWrite : kCommit};
}

constexpr Record kZeroRecordRepaired = {0x00, 0x00, 0x00, 0x1E, 0x00, 0x00, 0x00,
                                        0x00, 0x00, 0x32, 0x00, 0x00, 0x0A, 0x00,
                                        0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00};

INSTANTIATE_TEST_SUITE_P(
    Fixtures, StoredRecord,
    ::testing::Values(
        LoadCase{"stored_record_in_range", committed_area(kStoredRecord), kStoredRecord, kNoWrite},
        LoadCase{"single_byte_at_1000_on_zeros", with_byte(filled_area(0x00), 1000, 0x5A),
                 kZeroRecordRepaired, kCommit},
        replaced("samples_code_3", kMuestras, 3, 1),
        replaced("samples_code_255", kMuestras, 0xFF, 1), accepted("samples_code_0", kMuestras, 0),
        accepted("axis_3", kEje, 3), replaced("axis_4", kEje, 4, 3),
        replaced("light_enable_2", kEnableLeve, 2, 1),
        replaced("severe_enable_2", kEnableGrave, 2, 1),
        replaced("light_invert_2", kInvertirLeve, 2, 0),
        replaced("severe_invert_2", kInvertirGrave, 2, 0),
        replaced("light_threshold_0", kUmbralLeve, 0, 30),
        accepted("light_threshold_1", kUmbralLeve, 1),
        accepted("light_threshold_159", kUmbralLeve, 159),
        replaced("light_threshold_160", kUmbralLeve, 160, 30),
        replaced("severe_threshold_20", kUmbralGrave, 20, 50),
        accepted("severe_threshold_21", kUmbralGrave, 21),
        accepted("severe_threshold_159", kUmbralGrave, 159),
        replaced("severe_threshold_160", kUmbralGrave, 160, 50),
        accepted("light_alarm_time_0", kTiempoAlarmaLeve, 0),
        accepted("light_alarm_time_1", kTiempoAlarmaLeve, 1),
        replaced("light_alarm_time_2", kTiempoAlarmaLeve, 2, 10),
        accepted("light_alarm_time_99", kTiempoAlarmaLeve, 99),
        replaced("light_alarm_time_100", kTiempoAlarmaLeve, 100, 10),
        replaced("severe_alarm_time_0", kTiempoAlarmaGrave, 0, 10),
        accepted("severe_alarm_time_1", kTiempoAlarmaGrave, 1),
        accepted("severe_alarm_time_2", kTiempoAlarmaGrave, 2),
        accepted("severe_alarm_time_99", kTiempoAlarmaGrave, 99),
        replaced("severe_alarm_time_100", kTiempoAlarmaGrave, 100, 10),
        delay("light_delay_9999", kRetardoLeveAlto, 0x27, 0x0F, true),
        delay("light_delay_10000", kRetardoLeveAlto, 0x27, 0x10, false),
        delay("severe_delay_9999", kRetardoGraveAlto, 0x27, 0x0F, true),
        delay("severe_delay_10000", kRetardoGraveAlto, 0x27, 0x10, false),
        delay("severe_delay_65535", kRetardoGraveAlto, 0xFF, 0xFF, false)),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(ConfigurationStore, SingleNonBlankByteGivesTheRepairedRecord) {
    boot_with(with_byte(filled_area(0x00), 1000, 0x5A));
    const Configuration c = config();
    EXPECT_EQ(c.cmuestras_filtro, 5);
    EXPECT_EQ(c.impacto.fumbral_impacto_leve, 3.0f);
    EXPECT_EQ(c.impacto.fumbral_impacto_grave, 5.0f);
    EXPECT_EQ(c.impacto.ctiempo_alarma_impacto_grave, 10);
    EXPECT_EQ(c.impacto.ceje, 0);
    EXPECT_EQ(c.impacto.cenable_leve, 0);
    EXPECT_EQ(c.impacto.iretardo_impacto_leve, 0);
    EXPECT_EQ(c.impacto.ctiempo_alarma_impacto_leve, 0);
}

TEST_F(ConfigurationStore, SampleCodesDecode) {
    for (const auto& [code, samples] : {std::pair{0, 5}, {1, 10}, {2, 15}, {3, 10}}) {
        boot_with(
            committed_area(with(kStoredRecord, {{kMuestras, static_cast<std::uint8_t>(code)}})));
        EXPECT_EQ(config().cmuestras_filtro, samples) << "code " << code;
    }
}

// The load reads the tilt section back, so a repair rewrites it unchanged.
TEST_F(ConfigurationStore, RepairKeepsTheStoredTiltSection) {
    boot_with(committed_area(with(kStoredRecord, {{kEje, 9}})));
    const Record after = stored_record(board());
    for (std::size_t i = kInclEje; i < kRecordSize; ++i)
        EXPECT_EQ(after[i], kStoredRecord[i]) << "offset " << i;
    const ConfigInclinacion t = config().inclinacion;
    EXPECT_EQ(t.ceje, 1);
    EXPECT_EQ(t.cenable_permanente, 1);
    EXPECT_EQ(t.cumbral_permanente, 15);
    EXPECT_EQ(t.iretardo_permanente, 300);
    EXPECT_EQ(t.cinvertir_permanente, 1);
    EXPECT_EQ(t.cenable_basculante, 1);
    EXPECT_EQ(t.cinvertir_basculante, 0);  // not persisted
}

// Every accepted threshold byte survives a load and a save: the save finds
// nothing to change, so a repair rewrite stores each one back as it was.
TEST_F(ConfigurationStore, LoadAndSaveKeepEveryAcceptedThresholdByte) {
    constexpr std::uint8_t kLightMin = 1, kSevereMin = 21, kMax = 159;
    boot_with(committed_area(kStoredRecord));
    const std::uint32_t data = address_of("EEPROM") + kEepromImageOffset;
    for (unsigned b = kLightMin; b <= kMax; ++b) {
        const auto light = static_cast<std::uint8_t>(b);
        const auto severe = static_cast<std::uint8_t>(std::max<unsigned>(b, kSevereMin));
        board().write8(data + kUmbralLeve, light);
        board().write8(data + kUmbralGrave, severe);
        const Wear before = total_wear(board());
        call("cargar_estructuras_configuracion");
        call("grabar_configuracion");
        ASSERT_EQ(total_wear(board()) - before, kNoWrite)
            << "threshold bytes " << b << ", " << unsigned{severe};
        ASSERT_EQ(board().read8(address_of("EEPROM") + kEepromDirtyOffset), 0) << b;
        ASSERT_EQ(board().read8(data + kUmbralLeve), light);
        ASSERT_EQ(board().read8(data + kUmbralGrave), severe);
    }
}

TEST_F(ConfigurationStore, WrongSignatureKeepsTheData) {
    Area area = committed_area(kStoredRecord);
    area[kValidOffset] = 0;
    for (std::size_t i = 0; i < 4; ++i)
        area[kSignatureOffset + i] = static_cast<std::uint8_t>(0x12 + i);
    area[700] = 0xA7;
    EXPECT_EQ(boot_with(area), kNoWrite);
    EXPECT_EQ(hex(encode(config())), hex(kStoredRecord));
    EXPECT_EQ(call("EEPROMClass::read(int)", {address_of("EEPROM"), 700}), 0xA7u);

    // The first commit writes the signature and the valid flag, the data as they were.
    area[kEje] = 9;
    EXPECT_EQ(boot_with(area), kCommit);
    const Area after = read_area(board());
    EXPECT_EQ(after[700], 0xA7);
    EXPECT_EQ(after[kValidOffset], 1);
    EXPECT_EQ(hex({after.begin() + kSignatureOffset, after.begin() + kImageSize}), "55 DA BA 00");
    EXPECT_EQ(hex(stored_record(board())), hex(with(kStoredRecord, {{kEje, 3}})));
}

TEST_F(ConfigurationStore, SaveReplacesAnUnknownSampleCount) {
    boot_with(committed_area(with(kStoredRecord, {{kMuestras, 0}})));
    write_global8(board(), "cmuestras_filtro", 7);
    EXPECT_EQ(call_and_count("grabar_configuracion"), kCommit);
    EXPECT_EQ(read_global8(board(), "cmuestras_filtro"), 10);
    EXPECT_EQ(stored_record(board())[kMuestras], 1);
}

TEST_F(ConfigurationStore, SaveThatChangesNothingTouchesNoFlash) {
    boot_with(committed_area(kStoredRecord));
    Configuration c = config();
    c.inclinacion.cinvertir_basculante = 1;
    write_configuration(board(), c);
    EXPECT_EQ(call_and_count("grabar_configuracion"), kNoWrite);
    EXPECT_EQ(hex(stored_record(board())), hex(kStoredRecord));
}

TEST_F(ConfigurationStore, StartAfterARepairWritesNothing) {
    boot_with(committed_area(with(kStoredRecord, {{kTiempoAlarmaLeve, 2}})));
    const Area repaired = read_area(board());
    EXPECT_EQ(reboot_keeping_flash(), kNoWrite);
    EXPECT_EQ(read_area(board()), repaired);
}

}  // namespace
