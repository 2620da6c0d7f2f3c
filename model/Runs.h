// Runs of consecutive blocks: a selection must be one unbroken run, and a day holds one region
// per run of enabled blocks (at most kMaxRegions of them). A save by the user and a host's write
// of whole days both find a day's regions here, so touching regions merge the same way in both.
#pragma once

#include <vector>

#include "model/DayRanges.h"

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

/// The runs of consecutive blocks for which marked(b) holds, b from 0 to count - 1, in order:
/// each from its first block to the block after its last (count for a run that reaches the end).
template <class Marked>
std::vector<TimeRange> FindRuns(int count, Marked marked) {
    std::vector<TimeRange> runs;
    bool inside = false;
    for (int b = 0; b < count; ++b) {
        const bool now = marked(b);
        if (now && !inside) runs.push_back({b, count});
        if (!now && inside) runs.back().stop = b;
        inside = now;
    }
    return runs;
}

}  // namespace tarn
