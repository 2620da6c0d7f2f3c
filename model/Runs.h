// Runs of consecutive blocks: a selection must be one unbroken run, and a day holds one region
// per run of enabled blocks (at most kMaxRegions of them). A save by the user and a host's write
// of whole days both find a day's regions here, so touching regions merge the same way in both.
#pragma once

#include <vector>

#include "TarnSchedule/DayRanges.h"

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

/// The blocks of a day that its four Start/Stop pairs enable, as every redraw draws them: a pair
/// enables from the block its start begins to the last block its stop ends, when that runs
/// forward. value(slot, field) gives the pair's start (field 0) or stop (field 1);
/// toBlock(isStart, value) converts it, start before stop, pair by pair; mark(b) receives each
/// enabled block, 0 to 95.
template <class Value, class ToBlock, class Mark>
void MarkPairBlocks(Value value, ToBlock toBlock, Mark mark) {
    for (int slot = 0; slot < kMaxRegions; ++slot) {
        const int first = toBlock(true, value(slot, 0));
        const int last = toBlock(false, value(slot, 1));
        if (first < 0 || last < first) continue;
        for (int b = first; b <= last && b < kQuarterHoursPerDay; ++b)
            mark(b);
    }
}

}  // namespace tarn
