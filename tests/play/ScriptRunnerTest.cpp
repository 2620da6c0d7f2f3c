// Running scripts where the examples cannot: line numbers past 32 bits and an export onto a full
// disk. The examples show what scripts print, the messages of wrong lines, and a script or an
// output that cannot be read or written.

#include "app/ScriptRunner.h"

#include <gtest/gtest.h>

#include <sys/resource.h>

#include <csignal>
#include <cstdint>
#include <fstream>
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

TEST(PlayScript, AnExportThatCannotBeWrittenLeavesTheOldFileWhole) {
    // A file size limit of nothing stands for a full disk: every write to a file fails.
    const std::string file = testing::TempDir() + "kept-week.json";
    std::ofstream(file) << "kept\n";
    rlimit saved{};
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &saved), 0);
    rlimit full = saved;
    full.rlim_cur = 0;
    const auto signal = std::signal(SIGXFSZ, SIG_IGN);
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &full), 0);
    std::istringstream in("export " + file + "\n");
    std::ostringstream out;
    std::ostringstream err;
    const int status = PlayScript(in, out, err, MakeMemoryControl, false);
    ::setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, signal);
    EXPECT_EQ(status, 1);
    EXPECT_TRUE(err.str().ends_with(": File too large\n")) << err.str();
    std::stringstream kept;
    kept << std::ifstream(file).rdbuf();
    EXPECT_EQ(kept.str(), "kept\n");
}

}  // namespace
}  // namespace tarn::app
