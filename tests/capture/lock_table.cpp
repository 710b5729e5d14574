// Prints the lock results of the adversarial stream table: frames decoded, invented and lost.
#include <cstdio>

#include "adversarial_streams.hpp"

int main() {
    using namespace capture::test;
    std::printf("%-52s %6s %8s %9s %5s %8s %8s\n", "stream", "frames", "decoded", "invented",
                "lost", "resyncs", "skipped");
    for (const StreamCase& c : adversarial_cases()) {
        const Recording r = decode(c.stream.data(), c.stream.data().size());
        const LockResult s = score(c.stream.truth(), r.samples);
        std::printf("%-52s %6zu %8zu %9zu %5zu %8llu %8llu\n", c.name.c_str(), s.truth, s.decoded,
                    s.invented, s.lost, static_cast<unsigned long long>(r.sync.resyncs),
                    static_cast<unsigned long long>(r.sync.skipped_bytes));
    }
    return 0;
}
