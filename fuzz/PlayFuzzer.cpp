// The libFuzzer target: every input is a host script, played on the in-memory backend and on the
// Qt widget at once with the control's invariants checked. A broken invariant or a difference
// between the backends aborts, so that libFuzzer keeps the input. The Qt Quick item is left to the
// replays: a QML engine and window for every input would cost most of the fuzzer's speed.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string_view>

#include "fuzz/PlayHarness.h"

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    tarn::fuzz::EnsureQtApplication("play_fuzzer");
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view script(reinterpret_cast<const char*>(data), size);
    const tarn::fuzz::PlayOutcome outcome = tarn::fuzz::PlayOnEach(script, false);
    if (!outcome.violation.empty()) {
        std::fprintf(stderr, "play_fuzzer: %s\n", outcome.violation.c_str());
        std::fflush(stderr);
        std::abort();
    }
    return 0;
}
