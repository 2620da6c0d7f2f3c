// Running scripts: what the host observes is printed line by line, a wrong line stops the script
// with exit status 2 after what was printed, and the ScheduleUpdated listener runs inside every
// raise of the event.

#include "app/ScriptRunner.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <tuple>

namespace tarn::app {
namespace {

TEST(PlayScript, PrintsWhatTheHostObservesAndStopsAtTheFirstWrongLine) {
    // Script, exit status, standard output (nullptr: not compared) and standard error.
    // A whole Monday selected and enabled: one raise of ScheduleUpdated.
    const std::string enableMonday = "click cmdDay(0)\nclick cmdEnable\n";
    const std::string depth = std::to_string(ScriptRunner::kMaxListenerDepth);
    std::string raisedTooOften;
    for (int i = 0; i <= ScriptRunner::kMaxListenerDepth; ++i)
        raisedTooOften += "event ScheduleUpdated\n";
    const std::tuple<std::string, int, const char*, std::string> cases[] = {
        {"get Enable\nset SpecialDayCaption \"Bank \\\"holiday\\\"\"\nget SpecialDayCaption\n"
         "set Schedule_FridayStop3 -5\nget Schedule_FridayStop3\n",
         0,
         "Enable = True\nSpecialDayCaption = \"Bank \\\"holiday\\\"\"\nSchedule_FridayStop3 = -5\n",
         ""},
        {"get Enable\n\n# note\nstate 8\nget Enable\n", 2, "Enable = True\n",
         "play: line 4: BAR 8 is out of range 0 to 7\n"},
        {"row 0 30\n", 0, nullptr, ""},
        {"row 0 31\n", 2, "", "play: line 1: Y 31 is out of range 0 to 30 for bar 0\n"},
        {"resize 679 0\nrow 3 0\n", 2, "sleep 100\n", "play: line 2: bar 3 has no pixel rows\n"},
        {"screenshot out.png\n", 2, "", "play: line 1: screenshot needs the qt backend\n"},
        {"tick\non ScheduleUpdated screenshot out.png\n", 2, "",
         "play: line 2: screenshot needs the qt backend\n"},
        {"redraws\ntick\ntick\nredraws\ncall Refresh\ncall Refresh\nredraws\ntick\nredraws\n", 0,
         "redraws 0\nredraws 1\nredraws 0\nredraws 1\n", ""},
        // The listener runs inside every raise until it is removed, and may replace itself.
        {"tick\non ScheduleUpdated get Schedule_MondayStop1\n" + enableMonday +
             "on ScheduleUpdated\n" + enableMonday,
         0,
         "event ScheduleUpdated\nSchedule_MondayStop1 = 2400\n"
         "msgbox 48 \"Error\" \"Cannot enable overlapping regions\"\n",
         ""},
        {"tick\non ScheduleUpdated on ScheduleUpdated get Enable\n" + enableMonday +
             "click cmdDay(0)\nclick cmdDisable\n",
         0, "event ScheduleUpdated\nevent ScheduleUpdated\nEnable = True\n", ""},
        // A listener that raises the event again ends at the depth limit.
        {"tick\non ScheduleUpdated click cmdDisable\nclick cmdDay(2)\nclick cmdDisable\n"
         "get Enable\n",
         2, raisedTooOften.c_str(),
         "play: line 2: the ScheduleUpdated listener raised the event again more than " + depth +
             " times (run from line 4)\n"},
        {"tick\non ScheduleUpdated row 0 99\n" + enableMonday + "get Enable\n", 2,
         "event ScheduleUpdated\n",
         "play: line 2: Y 99 is out of range 0 to 30 for bar 0 (in the ScheduleUpdated "
         "listener, run from line 4)\n"},
        {"set Enable False\nclick cmdEnable\nclick cmdDay(0)\nset SpecialDayEnabled True\n"
         "click cmdDay(7)\n",
         0, "ignored cmdEnable\nignored cmdDay(0)\n", ""}};
    for (const auto& [script, status, expectedOut, expectedErr] : cases) {
        std::istringstream in(script);
        std::ostringstream out;
        std::ostringstream err;
        EXPECT_EQ(PlayScript(in, out, err, MakeMemoryControl, false), status) << script;
        EXPECT_EQ(out.str(), expectedOut ? expectedOut : out.str()) << script;
        EXPECT_EQ(err.str(), expectedErr) << script;
    }
}

}  // namespace
}  // namespace tarn::app
