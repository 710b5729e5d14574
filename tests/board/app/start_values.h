// The configuration start values that inicializacion_dispositivo stores
// before the stored record is loaded.
#pragma once

#include <gtest/gtest.h>

#include "../../../firmware/app/globals.h"

inline void expect_impact_start_values(const stconfig_impacto& impacto) {
    EXPECT_EQ(impacto.ceje, 3u);
    EXPECT_EQ(impacto.cenable_leve, 1u);
    EXPECT_EQ(impacto.fumbral_impacto_leve, 2.0f);
    EXPECT_EQ(impacto.iretardo_impacto_leve, 100u);
    EXPECT_EQ(impacto.ctiempo_alarma_impacto_leve, 5u);
    EXPECT_EQ(impacto.cinvertir_leve, 0u);
    EXPECT_EQ(impacto.cenable_grave, 1u);
    EXPECT_EQ(impacto.fumbral_impacto_grave, 4.0f);
    EXPECT_EQ(impacto.iretardo_impacto_grave, 100u);
    EXPECT_EQ(impacto.ctiempo_alarma_impacto_grave, 5u);
    EXPECT_EQ(impacto.cinvertir_grave, 0u);
}
