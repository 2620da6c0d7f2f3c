// Running scripts: what the host observes is printed line by line, a wrong line stops the script
// with exit status 2 after what was printed, and the ScheduleUpdated listener runs inside every
// raise of the event.

#include "app/ScriptRunner.h"

#include <gtest/gtest.h>

#include <sys/resource.h>

#include <csignal>
#include <cstdint>
#include <fstream>
#include <sstream>
#include <streambuf>
#include <string>
#include <tuple>

namespace tarn::app {
namespace {

TEST(PlayScript, PrintsWhatTheHostObservesAndStopsAtTheFirstWrongLine) {
    // Script, exit status, standard output (nullptr: not compared) and standard error; the
    // examples show the rest. A whole Monday selected and enabled: one raise of ScheduleUpdated.
    const std::string enableMonday = "click cmdDay(0)\nclick cmdEnable\n";
    const std::string depth = std::to_string(ScriptRunner::kMaxListenerDepth);
    std::string raisedTooOften;
    for (int i = 0; i <= ScriptRunner::kMaxListenerDepth; ++i)
        raisedTooOften += "event ScheduleUpdated\n";
    const std::tuple<std::string, int, const char*, std::string> cases[] = {
        {"row 0 30\n", 0, nullptr, ""},
        {"row 0 31\n", 2, "", "play: line 1: Y 31 is out of range 0 to 30 for bar 0\n"},
        {"resize 679 0\nrow 3 0\n", 2, "sleep 100\n", "play: line 2: bar 3 has no pixel rows\n"},
        // A listener that raises the event again ends at the depth limit.
        {"tick\non ScheduleUpdated click cmdDisable\nclick cmdDay(2)\nclick cmdDisable\n"
         "get Enable\n",
         2, raisedTooOften.c_str(),
         "play: line 2: the ScheduleUpdated listener raised the event again more than " + depth +
             " times (run from line 4)\n"},
        {"tick\non ScheduleUpdated row 0 99\n" + enableMonday + "get Enable\n", 2,
         "event ScheduleUpdated\n",
         "play: line 2: Y 99 is out of range 0 to 30 for bar 0 (in the ScheduleUpdated "
         "listener, run from line 4)\n"}};
    for (const auto& [script, status, expectedOut, expectedErr] : cases) {
        std::istringstream in(script);
        std::ostringstream out;
        std::ostringstream err;
        EXPECT_EQ(PlayScript(in, out, err, MakeMemoryControl, false), status) << script;
        EXPECT_EQ(out.str(), expectedOut ? expectedOut : out.str()) << script;
        EXPECT_EQ(err.str(), expectedErr) << script;
    }
}

TEST(ScriptRunner, NamesLinesPastThirtyTwoBits) {
    constexpr std::int64_t kLine = (std::int64_t{1} << 31) + 1;
    std::ostringstream out;
    ScriptRunner runner(out, MakeMemoryControl, false);
    const auto command = [](std::int64_t line, script::Action action) {
        Command command;
        command.line = line;
        command.action = std::move(action);
        return command;
    };
    const auto run = [&](std::int64_t line, script::Action action) {
        runner.Run(command(line, std::move(action)));
    };
    run(1, script::Tick{});
    run(kLine, script::On{std::make_shared<const Command>(command(kLine, script::Row{0, 99}))});
    run(kLine + 1, script::Click{0});
    try {
        run(kLine + 2, script::Click{8});
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
