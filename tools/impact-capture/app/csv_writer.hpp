// One CSV row per decoded frame.
#pragma once

#include "output_file.hpp"
#include "sample.hpp"

namespace capture {

// The header row; the columns are a public interface.
constexpr const char* kCsvHeader =
    "frame,session,device_time_ms,elapsed_ms,x,y,z,x_g,y_g,z_g,host_time_s\n";

class CsvWriter {
  public:
    explicit CsvWriter(OutputFile& out);
    void write(const Sample& s);

  private:
    OutputFile& out_;
};

// Counts in g with four decimals, exact for 3.9 mg per count ("-0.0039").
std::size_t format_g(std::int16_t counts, char* out);

}  // namespace capture
