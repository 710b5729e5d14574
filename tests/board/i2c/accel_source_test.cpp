// The sample sources behind --sensor: still, demo and CSV files.
#include "models/accel_source.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cmath>
#include <cstdio>
#include <fstream>
#include <stdexcept>

#include "models/accel_source_csv.h"
#include "models/accel_source_demo.h"

namespace {

using namespace vboard;

class TempFile {
  public:
    explicit TempFile(const std::string& content) {
        char name[] = "/tmp/accel_source_test_XXXXXX";
        const int fd = mkstemp(name);
        if (fd < 0) throw std::runtime_error("mkstemp");
        close(fd);
        path_ = name;
        std::ofstream(path_) << content;
    }
    ~TempFile() { std::remove(path_.c_str()); }
    const std::string& path() const { return path_; }

  private:
    std::string path_;
};

TEST(StillSource, LiesFlatWithSmallNoiseThatRepeatsRunToRun) {
    const auto a = make_accel_source("still");
    const auto b = make_accel_source("");
    constexpr unsigned kSamples = 4000;
    constexpr SimTime kPeriod = 625 * kMicrosecond;
    double sum_z = 0, sum_sq_x = 0;
    for (unsigned n = 0; n < kSamples; ++n) {
        const Acceleration s = a->at(n * kPeriod);
        const Acceleration again = b->at(n * kPeriod);
        ASSERT_EQ(s.x, again.x);
        ASSERT_EQ(s.z, again.z);
        ASSERT_LT(std::abs(s.x), 0.05);
        ASSERT_LT(std::abs(s.z - 1.0), 0.05);
        sum_z += s.z;
        sum_sq_x += s.x * s.x;
    }
    EXPECT_NEAR(sum_z / kSamples, 1.0, 0.001);
    EXPECT_NEAR(std::sqrt(sum_sq_x / kSamples), 0.004, 0.001);
    EXPECT_NE(a->at(0).x, a->at(kPeriod).x);
}

TEST(DemoSource, RestsBetweenImpactsOfSeveralG) {
    const auto demo = make_accel_source("demo");
    double peak = 0;
    for (SimTime t = 0; t < DemoSource::kCycle; t += 625 * kMicrosecond) {
        const Acceleration a = demo->at(t);
        peak = std::max(peak, std::sqrt(a.x * a.x + a.y * a.y + (a.z - 1) * (a.z - 1)));
    }
    EXPECT_GT(peak, 16.0);  // the hardest impact goes past the sensor's range
    const Acceleration rest = demo->at(DemoSource::kSchedule[0].offset - kMillisecond);
    EXPECT_NEAR(rest.z, 1.0, 0.05);
    // The pattern repeats every cycle.
    const SimTime in_impact = DemoSource::kSchedule[1].offset + 3 * kMillisecond;
    EXPECT_NEAR(demo->at(in_impact).x, demo->at(in_impact + DemoSource::kCycle).x, 0.05);
    EXPECT_GT(std::abs(demo->at(in_impact).x), 1.0);
}

TEST(CsvSource, InterpolatesBetweenRowsAndHoldsTheEnds) {
    const TempFile file(
        "# a drop\n"
        "t,x,y,z\n"
        "0.5, 0, 0, 1\n"
        "\n"
        "1.5, 2, -4, 1\n"
        "2.0, 30, 0, -1\n");
    CsvSource csv(file.path());
    EXPECT_EQ(csv.rows(), 3u);
    struct Case {
        double t;
        Acceleration a;
    };
    const Case cases[] = {
        {0.0, {0, 0, 1}},  {0.5, {0, 0, 1}},    {1.0, {1, -2, 1}},
        {1.5, {2, -4, 1}}, {1.75, {16, -2, 0}}, {9.0, {30, 0, -1}},
    };
    for (const Case& c : cases) {
        const Acceleration a = csv.at(from_seconds(c.t));
        EXPECT_DOUBLE_EQ(a.x, c.a.x) << "t = " << c.t;
        EXPECT_DOUBLE_EQ(a.y, c.a.y) << "t = " << c.t;
        EXPECT_DOUBLE_EQ(a.z, c.a.z) << "t = " << c.t;
    }
}

TEST(CsvSource, RefusesMalformedFilesNamingTheLine) {
    struct Case {
        const char* content;
        const char* message;
    };
    const Case cases[] = {
        {"", "no header"},
        {"time,x,y,z\n0,0,0,1\n", "line 1: the header must be t,x,y,z"},
        {"t,x,y,z\n", "no samples"},
        {"t,x,y,z\n0,0,0\n", "line 2: expected 4 values"},
        {"t,x,y,z\n0,0,0,1,\n", "line 2: expected 4 values"},
        {"t,x,y,z\n0,0,zero,1\n", "line 2: 'zero' is not a number"},
        {"t,x,y,z\n0,0,0,nan\n", "line 2: 'nan' is not a number"},
        {"t,x,y,z\n-1,0,0,1\n", "line 2: negative time"},
        {"T,X,Y,Z\n1,0,0,1\n1,0,0,1\n", "line 3: times must increase"},
    };
    for (const Case& c : cases) {
        const TempFile file(c.content);
        try {
            CsvSource csv(file.path());
            ADD_FAILURE() << "accepted: " << c.content;
        } catch (const std::runtime_error& e) {
            EXPECT_NE(std::string(e.what()).find(c.message), std::string::npos) << e.what();
        }
    }
    EXPECT_THROW(make_accel_source("/nonexistent/samples.csv"), std::runtime_error);
}

}  // namespace
