#include "app/impact_sensor.h"

#include "app/comunicaciones_pc.h"
#include "app/globals.h"
#include "app/setup.h"
#include "app/tc0_registers.h"
#include "board/main.h"
#include "board/variant.h"
#include "board/wiring_digital.h"
#include "chip/tc.h"
#include "core/Wire.h"
#include "core/delay.h"
#include "sensors/adxl345.h"
#include "storage/procesado.h"
#include "supervision/Vardo_wdt.h"

namespace {

constexpr uint32_t kTickPriority = 1;  // above the system tick (2) and the serial modules (3)
constexpr uint32_t kCounterMask = 0xFFFF;

struct PrescalerSetting {
    uint32_t prescaler;
    uint32_t field;
};

constexpr PrescalerSetting kPrescalers[] = {
    {2, chip::tc::PRESCALER_DIV2},       {4, chip::tc::PRESCALER_DIV4},
    {8, chip::tc::PRESCALER_DIV8},       {16, chip::tc::PRESCALER_DIV16},
    {64, chip::tc::PRESCALER_DIV64},     {256, chip::tc::PRESCALER_DIV256},
    {1024, chip::tc::PRESCALER_DIV1024},
};

// CTRLA bits of a prescaler; a value outside the table divides by 1.
constexpr uint32_t prescalerConfigBits(uint32_t prescaler) {
    for (const PrescalerSetting& s : kPrescalers) {
        if (s.prescaler == prescaler) {
            return chip::tc::CTRLA_PRESCALER::val(s.field);
        }
    }
    return chip::tc::CTRLA_PRESCALER::val(chip::tc::PRESCALER_DIV1);
}
static_assert(prescalerConfigBits(2) == 0x100 && prescalerConfigBits(1024) == 0x700 &&
              prescalerConfigBits(3) == 0);

// Start-up settings.
constexpr uint8_t kPinesArranque = 1;  // PinConfig: levels and pull-downs too
constexpr unsigned long kBaudios = 115200;
constexpr uint32_t kPrescalerTick = 2;   // 4 MHz counter clock
constexpr uint32_t kCompareTick = 7273;  // 7274 counts: 1.8185 ms, 549.9 ticks per second

// The sample frame: three header bytes, the elapsed milliseconds, the six
// payload bytes.
constexpr uint8_t kCabeza = 0xFF;
constexpr unsigned kBytesCabecera = 3;
constexpr unsigned kBytesMuestra = 6;
constexpr uint32_t kMascaraByte = 0xFF;
constexpr uint8_t kLecturaCompleta = 1;  // leer_aceleracion: six bytes read
constexpr uint8_t kTickPendiente = 1;

// Start values of the working state and the configuration records.
constexpr uint8_t kLedEstadoInicial = 1;
constexpr uint8_t kMuestrasFiltroInicial = 5;
constexpr uint8_t kEjeInicial = 3;
constexpr uint8_t kHabilitado = 1;
constexpr uint8_t kNoInvertido = 0;
constexpr float kUmbralLeveInicial = 2.0f;
constexpr float kUmbralGraveInicial = 4.0f;
constexpr uint16_t kRetardoImpactoInicial = 100;
constexpr uint8_t kTiempoAlarmaInicial = 5;
constexpr uint8_t kDeshabilitado = 0;

}  // namespace

void setup_timerTC0(uint32_t prescaler, uint32_t ccVal) {
    tc0_registers::interruptLineOff(kTickPriority);
    tc0_registers::acknowledgeMatch();  // a stale compare flag
    tc0_registers::clockOn();
    const uint32_t bits = prescalerConfigBits(prescaler);
    tc0_registers::resetTC();
    tc0_registers::setPrescaler(bits);
    tc0_registers::matchFrequencyMode();
    tc0_registers::setCompare0(static_cast<uint16_t>(ccVal & kCounterMask));
    tc0_registers::enableMatchInterrupt();
}

void start_timerTC0() {
    tc0_registers::enable();
    tc0_registers::interruptLineOn();
}

void interrupcion_timer_cada_miliseg() {
    ctick = 1;
}

extern "C" void TC0_Handler() {
    tc0_registers::acknowledgeMatch();
    interrupcion_timer_cada_miliseg();
}

void inicializacion_dispositivo() {
    cled_estado = kLedEstadoInicial;
    test.en_test = 0;
    test.test_rapido = 0;
    test.posicion_test_rapido = 0;
    fmedida = 0.0f;
    cimpacto_leve = 0;
    iretardo_impacto_leve = 0;
    itemporizado_impacto_leve = 0;
    cimpacto_grave = 0;
    iretardo_impacto_grave = 0;
    itemporizado_impacto_grave = 0;
    for (float& v : fvalores_leve) {
        v = 0.0f;
    }
    for (float& v : fvalores_grave) {
        v = 0.0f;
    }

    cmuestras_filtro = kMuestrasFiltroInicial;
    config_impacto.ceje = kEjeInicial;
    config_impacto.cenable_leve = kHabilitado;
    config_impacto.fumbral_impacto_leve = kUmbralLeveInicial;
    config_impacto.iretardo_impacto_leve = kRetardoImpactoInicial;
    config_impacto.ctiempo_alarma_impacto_leve = kTiempoAlarmaInicial;
    config_impacto.cinvertir_leve = kNoInvertido;
    config_impacto.cenable_grave = kHabilitado;
    config_impacto.fumbral_impacto_grave = kUmbralGraveInicial;
    config_impacto.iretardo_impacto_grave = kRetardoImpactoInicial;
    config_impacto.ctiempo_alarma_impacto_grave = kTiempoAlarmaInicial;
    config_impacto.cinvertir_grave = kNoInvertido;
    config_inclinacion.cenable_permanente = kDeshabilitado;
    config_inclinacion.cenable_basculante = kDeshabilitado;
}

void setup() {
    PinConfig(kPinesArranque);
    Serial1.begin(kBaudios);
    Wire.begin();
    setup_timerTC0(kPrescalerTick, kCompareTick);
    start_timerTC0();  // ctick is set from here on
    vardo_wdt_enable(WDT_PERIOD_2X);
    vardo_wdt_reset();
    mensaje_de_bienvenida();
    inicializacion_dispositivo();
    verificacion_memoria();
    cargar_estructuras_configuracion();
    configurar_acelerometro();
    digitalWrite(pines::kIndicadorArranque, LOW);  // start-up done
}

// One frame per tick seen: the sample read after the tick, with the
// milliseconds since the previous read attempt. A failed read sends nothing and
// leaves the tick pending, so the next pass retries at once. Never returns.
void loop() {
    uint32_t lmilisec = 0;
    uint32_t lmilisec_ant = 0;
    aceleracion acMedida = {};
    for (;;) {
        vardo_wdt_reset();
        if (ctick != kTickPendiente) {
            continue;
        }
        const uint8_t cres = leer_aceleracion(&acMedida.acc_x, &acMedida.acc_y, &acMedida.acc_z);
        lmilisec_ant = lmilisec;
        lmilisec = millis();
        const uint32_t ldiff = lmilisec - lmilisec_ant;  // modulo 2^32: right across the wrap
        const uint8_t cdiff = static_cast<uint8_t>(ldiff & kMascaraByte);
        if (cres != kLecturaCompleta) {
            continue;
        }
        for (unsigned i = 0; i < kBytesCabecera; ++i) {
            Serial1.write(kCabeza);
        }
        Serial1.write(cdiff);
        for (uint8_t caux = 0; caux < kBytesMuestra; ++caux) {
            Serial1.write(cdatos[caux]);
        }
        ctick = 0;
    }
}
