// Running scripts where the examples cannot: line numbers past 32 bits. The examples show what
// scripts print, the messages of wrong lines, and a script or an output that cannot be read or
// written; the store command's script shows a week file written onto a full disk.

#include "app/ScriptRunner.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <sstream>
#include <string>

#include "app/ScriptParser.h"

namespace tarn::app {
namespace {

TEST(ScriptRunner, NamesLinesPastThirtyTwoBits) {
    // The parser keeps the line of a listener's command too.
    constexpr std::int64_t kLine = (std::int64_t{1} << 31) + 1;
    std::ostringstream out;
    ScriptRunner runner(out, MakeMemoryControl, false);
    runner.Run(*ParseLine("tick", 1));
    runner.Run(*ParseLine("on ScheduleUpdated row 0 99", kLine));
    runner.Run(*ParseLine("click cmdDay(0)", kLine + 1));
    try {
        runner.Run(*ParseLine("click cmdEnable", kLine + 2));
        FAIL() << "the listener's row is off the bar";
    } catch (const ScriptFailure& failure) {
        EXPECT_STREQ(failure.what(),
                     "line 2147483649: Y 99 is out of range 0 to 30 for bar 0 (in the "
                     "ScheduleUpdated listener, run from line 2147483651)");
    }
}

}  // namespace
}  // namespace tarn::app
