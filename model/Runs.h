// Runs of consecutive blocks: a selection must be one unbroken run, and a day holds one region
// per run of enabled blocks.
#pragma once

namespace tarn {

/// True when the blocks for which marked(b) holds, b from 0 to count - 1, form at most one run.
template <class Marked>
bool IsAtMostOneRun(int count, Marked marked) {
    bool begun = false;
    bool ended = false;
    for (int b = 0; b < count; ++b) {
        if (marked(b)) {
            if (!begun)
                begun = true;
            else if (ended)
                return false;
        } else if (begun) {
            ended = true;
        }
    }
    return true;
}

/// Number of runs of consecutive blocks for which marked(b) holds, b from 0 to count - 1.
template <class Marked>
int CountRuns(int count, Marked marked) {
    int runs = 0;
    bool inside = false;
    for (int b = 0; b < count; ++b) {
        const bool now = marked(b);
        if (now && !inside) ++runs;
        inside = now;
    }
    return runs;
}

}  // namespace tarn
