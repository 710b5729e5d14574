#include "accel_source.h"

#include "accel_source_csv.h"
#include "accel_source_demo.h"
#include "accel_source_still.h"

namespace vboard {

std::unique_ptr<AccelSource> make_accel_source(const std::string& spec) {
    if (spec.empty() || spec == "still") return std::make_unique<StillSource>();
    if (spec == "demo") return std::make_unique<DemoSource>();
    return std::make_unique<CsvSource>(spec);
}

}  // namespace vboard
