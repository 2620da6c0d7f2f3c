#include "app/ScriptRunner.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>

namespace tarn::app {
namespace {

struct Played {
    int status;
    std::string out;
    std::string err;
};

Played Play(const std::string& script) {
    std::istringstream in(script);
    std::ostringstream out;
    std::ostringstream err;
    const int status = PlayScript(in, out, err, MakeMemoryControl, false);
    return {status, out.str(), err.str()};
}

int CountLines(const std::string& text, const std::string& line) {
    int count = 0;
    for (std::size_t at = text.find(line + "\n"); at != std::string::npos;
         at = text.find(line + "\n", at + 1))
        if (at == 0 || text[at - 1] == '\n') ++count;
    return count;
}

// A whole Monday selected and enabled: one raise of ScheduleUpdated.
const std::string kEnableMonday = "click cmdDay(0)\nclick cmdEnable\n";

TEST(PlayScript, PrintsPropertiesAsTheHostReadsThem) {
    const Played played = Play(
        "get Enable\nset SpecialDayCaption \"Bank \\\"holiday\\\"\"\nget SpecialDayCaption\n"
        "set Schedule_FridayStop3 -5\nget Schedule_FridayStop3\n");
    EXPECT_EQ(played.status, 0);
    EXPECT_EQ(played.out,
              "Enable = True\nSpecialDayCaption = \"Bank \\\"holiday\\\"\"\n"
              "Schedule_FridayStop3 = -5\n");
    EXPECT_EQ(played.err, "");
}

TEST(PlayScript, WrongLineStopsAfterWhatWasPrinted) {
    const Played played = Play("get Enable\n\n# note\nstate 8\nget Enable\n");
    EXPECT_EQ(played.status, 2);
    EXPECT_EQ(played.out, "Enable = True\n");
    EXPECT_EQ(played.err, "play: line 4: BAR 8 is out of range 0 to 7\n");
}

TEST(PlayScript, RowMustLieOnTheBarAsItIsNow) {
    EXPECT_EQ(Play("row 0 30\n").status, 0);
    const Played tall = Play("row 0 31\n");
    EXPECT_EQ(tall.status, 2);
    EXPECT_EQ(tall.err, "play: line 1: Y 31 is out of range 0 to 30 for bar 0\n");
    const Played flat = Play("resize 679 0\nrow 3 0\n");
    EXPECT_EQ(flat.err, "play: line 2: bar 3 has no pixel rows\n");
}

TEST(PlayScript, ScreenshotIsALineErrorWithoutTheWidget) {
    const Played direct = Play("screenshot out.png\n");
    EXPECT_EQ(direct.status, 2);
    EXPECT_EQ(direct.err, "play: line 1: screenshot needs the qt backend\n");
    const Played listener = Play("tick\non ScheduleUpdated screenshot out.png\n");
    EXPECT_EQ(listener.err, "play: line 2: screenshot needs the qt backend\n");
}

TEST(PlayScript, RedrawsCountsSinceTheLastLook) {
    const Played played = Play(
        "redraws\ntick\ntick\nredraws\ncall Refresh\ncall Refresh\n"
        "redraws\ntick\nredraws\n");
    EXPECT_EQ(played.out, "redraws 0\nredraws 1\nredraws 0\nredraws 1\n");
}

TEST(PlayScript, ListenerRunsInsideEveryRaiseUntilRemoved) {
    const Played played = Play("tick\non ScheduleUpdated get Schedule_MondayStop1\n" +
                               kEnableMonday + "on ScheduleUpdated\n" + kEnableMonday);
    EXPECT_EQ(played.status, 0);
    EXPECT_EQ(played.out,
              "event ScheduleUpdated\nSchedule_MondayStop1 = 2400\n"
              "msgbox 48 \"Error\" \"Cannot enable overlapping regions\"\n");
}

TEST(PlayScript, ListenerMayReplaceItself) {
    const Played played = Play("tick\non ScheduleUpdated on ScheduleUpdated get Enable\n" +
                               kEnableMonday + "click cmdDay(0)\nclick cmdDisable\n");
    EXPECT_EQ(played.status, 0);
    EXPECT_EQ(played.out, "event ScheduleUpdated\nevent ScheduleUpdated\nEnable = True\n");
}

TEST(PlayScript, ListenerThatRaisesAgainEndsAtTheDepthLimit) {
    // Every Disable raises the event, whose listener clicks Disable again.
    const Played played = Play(
        "tick\non ScheduleUpdated click cmdDisable\nclick cmdDay(2)\nclick cmdDisable\n"
        "get Enable\n");
    EXPECT_EQ(played.status, 2);
    EXPECT_EQ(CountLines(played.out, "event ScheduleUpdated"), ScriptRunner::kMaxListenerDepth + 1);
    EXPECT_EQ(played.out.find("Enable ="), std::string::npos);
    EXPECT_NE(played.err.find("play: line 2: "), std::string::npos) << played.err;
    EXPECT_NE(played.err.find("run from line 4"), std::string::npos) << played.err;
}

TEST(PlayScript, FailureInsideListenerStopsTheScriptSilently) {
    const Played played =
        Play("tick\non ScheduleUpdated row 0 99\n" + kEnableMonday + "get Enable\n");
    EXPECT_EQ(played.status, 2);
    EXPECT_EQ(played.out, "event ScheduleUpdated\n");
    EXPECT_EQ(played.err,
              "play: line 2: Y 99 is out of range 0 to 30 for bar 0 (in the ScheduleUpdated "
              "listener, run from line 4)\n");
}

TEST(PlayScript, DisabledButtonIsNotClicked) {
    const Played played = Play(
        "set Enable False\nclick cmdEnable\nclick cmdDay(0)\n"
        "set SpecialDayEnabled True\nclick cmdDay(7)\n");
    EXPECT_EQ(played.out, "ignored cmdEnable\nignored cmdDay(0)\n");
}

}  // namespace
}  // namespace tarn::app
