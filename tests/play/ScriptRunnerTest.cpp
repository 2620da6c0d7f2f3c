// Running scripts where the examples cannot: line numbers past 32 bits, a script or an output that
// fails part way, an export onto a full disk. The examples show what scripts print and the
// messages of wrong lines.

#include "app/ScriptRunner.h"

#include <gtest/gtest.h>

#include <sys/resource.h>

#include <csignal>
#include <cstdint>
#include <fstream>
#include <sstream>
#include <streambuf>
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

/// A script source that hands out `text` and then fails, as a disk or a pipe can.
class FailingAfter : public std::streambuf {
public:
    explicit FailingAfter(std::string text) : text_(std::move(text)) {
        setg(text_.data(), text_.data(), text_.data() + text_.size());
    }

protected:
    int_type underflow() override { throw std::ios_base::failure("read error"); }

private:
    std::string text_;
};

/// Output that takes `room` characters and then fails.
class FullAfter : public std::streambuf {
public:
    explicit FullAfter(std::size_t room) : room_(room) {}
    std::string written;

protected:
    int_type overflow(int_type c) override {
        if (written.size() == room_) return traits_type::eof();
        written += traits_type::to_char_type(c);
        return c;
    }

private:
    std::size_t room_;
};

TEST(PlayScript, AStreamThatFailsStopsTheScriptWithStatusOne) {
    // What was read before a read error runs, and its output stays; the line cut short by the
    // error does not run, and the message comes last.
    {
        FailingAfter source("get Enable\nstate 8");
        std::istream in(&source);
        std::ostringstream out;
        std::ostringstream err;
        EXPECT_EQ(PlayScript(in, out, err, MakeMemoryControl, false), 1);
        EXPECT_EQ(out.str(), "Enable = True\n");
        EXPECT_EQ(err.str(), "play: cannot read the script\n");
    }
    // Output that cannot be written stops the script after the line that lost it.
    {
        std::istringstream in("get Enable\nget Enable\nfrobnicate\n");
        FullAfter sink(5);
        std::ostream out(&sink);
        std::ostringstream err;
        EXPECT_EQ(PlayScript(in, out, err, MakeMemoryControl, false), 1);
        EXPECT_EQ(sink.written, "Enabl");
        EXPECT_EQ(err.str(), "play: cannot write the output\n");
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
