// libFuzzer target: arbitrary bytes as the engine's output. The sanitizers
// catch memory faults and undefined behaviour; feedEngineOutput reports the
// wrong results they cannot see, and those abort the run too.
#include "engineoutputfeed.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QString problem =
        feedEngineOutput(QByteArray(reinterpret_cast<const char *>(data), qsizetype(size)));
    if (!problem.isEmpty()) {
        std::fprintf(stderr, "engine output fuzz: %s\n", qPrintable(problem));
        std::abort();
    }
    return 0;
}
