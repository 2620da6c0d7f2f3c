// Every platform call of a representative session, made to fail once, as the host and the user
// see it: only an error of the redraw timer reaches the host, only from a call the host or a
// click made, as that call's error; otherwise the control shows at most one critical "System
// Message" box that names the error after the sentence of the drawing or saving step that failed,
// or nothing. No pen is left alive, and the control keeps working: the next redraw, drag and Enable
// give the expected schedule and pixels.
//
// The session is played once without faults while the injector records every checked call; then
// it is played again for each call, failing that call alone, up to the end of the step that makes
// it. Calls that repeat one call site (the 96 blocks of a fill, the marks of a tick level, the
// eight rows of a redraw) share one key, and only the first call of each key is failed.

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <map>
#include <optional>
#include <set>

#include "tests/support/FaultInjector.h"
#include "platform/PlatformError.h"
#include "tests/ScheduleFixture.h"

namespace tarn {
namespace {

using platform::FaultInjector;

/// The reports the control shows, each followed by " with error: " and the error's description.
constexpr std::string_view kReports[] = {
    "Failed to get current positions",       "Failed to initialize schedule blocks",
    "Failed to update schedule bar",         "Failed to draw minor tickmarks",
    "Failed to draw intermediate tickmarks", "Failed to draw major tickmarks",
    "Failed to update time labels",          "Failed to update time period labels",
    "Failed to update schedule selection",   "Failed to save selections"};

// --- the session ----------------------------------------------------------------------------

/// One thing the host or the user does; passesOn when an error of it reaches its caller.
struct Step {
    std::string_view name;
    bool passesOn;
    void (*run)(ScheduleFixture&);
};

constexpr int kGrownWidth = design::kControlWidth * 5 / 4;
constexpr int kGrownHeight = design::kControlHeight * 5 / 4;

// Steps that draw little come first, so that the calls first met late in the session are few.
const Step kSession[] = {
    {"initialize", true, [](ScheduleFixture& f) { f.schedule.Initialize(); }},
    {"first tick", true, [](ScheduleFixture& f) { f.Tick(); }},
    {"Enable off", false, [](ScheduleFixture& f) { f.schedule.SetEnable(false); }},
    {"Enable on", false, [](ScheduleFixture& f) { f.schedule.SetEnable(true); }},
    {"caption", false, [](ScheduleFixture& f) { f.schedule.SetSpecialDayCaption("Holiday"); }},
    {"Special off", false, [](ScheduleFixture& f) { f.schedule.SetSpecialDayEnabled(false); }},
    {"Special on", false, [](ScheduleFixture& f) { f.schedule.SetSpecialDayEnabled(true); }},
    {"resize", true,
     [](ScheduleFixture& f) {
         f.platform.SurfaceWidget().SetSize(kGrownWidth, kGrownHeight);
         f.schedule.Resize();
     }},
    {"paint", true, [](ScheduleFixture& f) { f.schedule.Paint(); }},
    {"tick", true, [](ScheduleFixture& f) { f.Tick(); }},
    {"press on Tuesday", false, [](ScheduleFixture& f) { f.Press(1, 10); }},
    {"release on Tuesday", false, [](ScheduleFixture& f) { f.Release(1, 10); }},
    {"press", false, [](ScheduleFixture& f) { f.Press(0, 32); }},
    {"move", false, [](ScheduleFixture& f) { f.Move(0, 33); }},
    {"move two blocks on", false, [](ScheduleFixture& f) { f.Move(0, 35); }},
    {"release", false, [](ScheduleFixture& f) { f.Release(0, 35); }},
    {"Enable", true, [](ScheduleFixture& f) { f.schedule.cmdEnable_Click(); }},
    {"press on the region", false, [](ScheduleFixture& f) { f.Press(0, 33); }},
    {"release on the region", false, [](ScheduleFixture& f) { f.Release(0, 33); }},
    {"Enable overlapping", true, [](ScheduleFixture& f) { f.schedule.cmdEnable_Click(); }},
    {"day button", true, [](ScheduleFixture& f) { f.schedule.cmdDay_Click(2); }},
    {"Disable", true, [](ScheduleFixture& f) { f.schedule.cmdDisable_Click(); }},
    {"host writes a stop", false,
     [](ScheduleFixture& f) { f.schedule.SetSchedule_SundayStop1(1300); }},
    {"Reset", true, [](ScheduleFixture& f) { f.schedule.Reset(); }},
    {"Refresh", true, [](ScheduleFixture& f) { f.schedule.Refresh(); }},
    {"tick after Reset", true, [](ScheduleFixture& f) { f.Tick(); }},
    {"terminate", false, [](ScheduleFixture& f) { f.schedule.Terminate(); }},
};
constexpr int kSteps = static_cast<int>(std::size(kSession));

/// A message box as one line: "STYLE TITLE: TEXT".
std::string BoxLine(const HostRecord& record) {
    return std::to_string(record.style) + " " + record.title + ": " + record.text;
}

std::multiset<std::string> BoxesSince(const ScheduleFixture& f, std::size_t from) {
    std::multiset<std::string> boxes;
    for (std::size_t i = from; i < f.log.size(); ++i)
        if (f.log[i].kind == HostRecord::MessageBox) boxes.insert(BoxLine(f.log[i]));
    return boxes;
}

/// The session without faults: every checked call, where each step begins, what each showed.
struct CleanSession {
    std::vector<FaultInjector::Call> calls;
    std::vector<long long> stepStart;  // kSteps + 1 entries, the last one the end
    std::vector<std::multiset<std::string>> boxes;
};

const CleanSession& Clean() {
    static const CleanSession session = [] {
        CleanSession clean;
        ScheduleFixture f(false);
        f.faults.Record(true);
        for (const Step& step : kSession) {
            clean.stepStart.push_back(f.faults.Checked());
            const std::size_t logged = f.log.size();
            step.run(f);
            clean.boxes.push_back(BoxesSince(f, logged));
        }
        clean.stepStart.push_back(f.faults.Checked());
        clean.calls = f.faults.Calls();
        return clean;
    }();
    return session;
}

int StepOf(long long call) {
    const auto& starts = Clean().stepStart;
    return static_cast<int>(std::upper_bound(starts.begin(), starts.end(), call) - starts.begin()) -
           1;
}

/// Calls that repeat one call site share a key: the operation, what it works on (a bar, the
/// surface, a day button, Enable, Disable), the two calls before and after it, and a count that
/// tells the drawing operations apart: for the calls of a fill the pens alive (three for the
/// background, two for the states, four for the selection marks), for any other call the pens
/// made since the last fill (which tells the three tick levels apart). Drawing calls keep their
/// key whichever step draws; other calls differ by step too.
std::vector<long long> CallsToFail(int step) {
    static const std::vector<std::vector<long long>> perStep = [] {
        const auto& calls = Clean().calls;
        const auto n = static_cast<long long>(calls.size());
        // Operations by number, -1 before the first call and after the last.
        std::map<std::string, int> numbers;
        std::vector<int> ids(calls.size());
        for (std::size_t i = 0; i < calls.size(); ++i)
            ids[i] = numbers.try_emplace(calls[i].operation, static_cast<int>(numbers.size()))
                         .first->second;
        auto id = [&](long long i) { return i < 0 || i >= n ? -1 : ids[i]; };
        auto numberOf = [&](const char* operation) {
            const auto found = numbers.find(operation);
            return found == numbers.end() ? -2 : found->second;
        };
        std::set<int> drawing;
        for (const char* operation :
             {"CreatePen", "DeleteObject", "SelectObject", "FillRect", "MoveToEx", "LineTo",
              "TextOutA", "hDC", "SurfaceHDC", "ScaleWidth", "ScaleHeight", "Cls", "DayBar", "Top",
              "Left", "Width", "Height", "ClearSurface"})
            drawing.insert(numberOf(operation));
        const int fillRect = numberOf("FillRect");
        const int createPen = numberOf("CreatePen");
        const int deleteObject = numberOf("DeleteObject");
        const std::set<int> fillCalls = {numberOf("hDC"), numberOf("SelectObject"), fillRect};
        // A call of a fill: one of its three operations with a FillRect at most two calls away.
        auto inFill = [&](long long i) {
            if (!fillCalls.contains(ids[i])) return false;
            for (long long j = i - 2; j <= i + 2; ++j)
                if (id(j) == fillRect) return true;
            return false;
        };

        std::vector<std::vector<long long>> chosen(kSteps);
        std::set<std::array<int, 8>> seen;
        int pensAlive = 0;
        int pensSinceFill = 0;
        for (long long i = 0; i < n; ++i) {
            if (ids[i] == fillRect) pensSinceFill = 0;
            if (ids[i] == createPen) ++pensAlive, ++pensSinceFill;
            if (ids[i] == deleteObject) --pensAlive;
            constexpr int kDayButtons = platform::memory::MemoryPlatform::kButtonTargetBase;
            const int target = calls[i].target;
            const int targetClass = target >= 0 && target <= 7 ? 0
                                    : target >= kDayButtons && target < kDayButtons + 8
                                        ? kDayButtons
                                        : target;
            const std::array<int, 8> key = {ids[i],
                                            targetClass,
                                            id(i - 2),
                                            id(i - 1),
                                            id(i + 1),
                                            id(i + 2),
                                            inFill(i) ? pensAlive : 100 + pensSinceFill,
                                            drawing.contains(ids[i]) ? -1 : StepOf(i)};
            if (seen.insert(key).second) chosen[StepOf(i)].push_back(i);
        }
        return chosen;
    }();
    return perStep[step];
}

// --- one failing call -----------------------------------------------------------------------

/// What came of failing one call, and every way the host or the user would see it go wrong.
struct Result {
    FaultInjector::Call failed;
    std::string caughtBy;  // the report shown, or "silent", or "escaped"
    std::vector<std::string> problems;
};

/// The middle band a day's properties call for: G where a region covers the block, else R.
std::string ExpectedStates(const ScheduleFixture& f, int day) {
    std::string states(96, 'R');
    const Values values = f.Day(day);
    for (int slot = 0; slot < 4; ++slot) {
        const int start = values[2 * slot] / 100 * 4 + values[2 * slot] % 100 / 15;
        const int stop = values[2 * slot + 1] / 100 * 4 + values[2 * slot + 1] % 100 / 15;
        for (int b = start; b < stop && b < 96; ++b)
            states[b] = 'G';
    }
    return states;
}

/// After the fault: a clean redraw, a drag on Friday and Enable save and show Friday 10:00 to
/// 11:00 beside whatever the other days hold, and every bar shows its day's properties.
void CheckStillWorks(ScheduleFixture& f, std::vector<std::string>& problems) {
    f.faults.Clear();
    const std::size_t logged = f.log.size();
    std::vector<Values> before;
    for (int day = 0; day < 8; ++day)
        before.push_back(f.Day(day));
    try {
        f.schedule.SetEnable(true);
        f.Redraw();
        f.Drag(4, 40, 43);
        f.schedule.cmdEnable_Click();
    } catch (const std::exception& error) {
        problems.push_back(std::string("afterwards an error escaped: ") + error.what());
        return;
    }
    if (f.log.size() != logged + 1 || f.log.back().kind != HostRecord::ScheduleUpdated)
        problems.push_back("afterwards the save told the host something else than one update");
    before[4] = Values{1000, 1100, 0, 0, 0, 0, 0, 0};
    for (int day = 0; day < 8; ++day) {
        if (f.Day(day) != before[day])
            problems.push_back("afterwards day " + std::to_string(day) + " holds other values");
        if (f.Blocks(day, 1) != ExpectedStates(f, day) || f.Marks(day) != std::string(96, 'W'))
            problems.push_back("afterwards bar " + std::to_string(day) + " does not show its day");
    }
    Texts labels;
    for (const auto& text : f.platform.SurfaceWidget().context().texts)
        labels.push_back(text.text);
    if (labels != Texts{"12", "2", "4", "6", "8", "10", "12", "2", "4", "6", "8", "10", "12", "AM",
                        "PM", "AM"})
        problems.push_back("afterwards the time labels are not all there");
    if (!f.State().ScheduleDrawn) problems.push_back("afterwards the redraw did not finish");
    if (f.LivePens() != 0) problems.push_back("afterwards pens are left alive");
}

Result FailCall(long long call) {
    const CleanSession& clean = Clean();
    const int last = StepOf(call);
    Result result;
    result.failed = clean.calls[call];
    const std::string description =
        FaultInjector::Describe(result.failed.operation, result.failed.target);
    auto& problems = result.problems;

    ScheduleFixture f(false);
    f.faults.Fail(std::string(FaultInjector::kAnyOperation), FaultInjector::kAnyTarget,
                             static_cast<int>(call), 1);
    for (int s = 0; s < last; ++s)
        kSession[s].run(f);
    const std::size_t logged = f.log.size();
    std::optional<std::string> escaped;
    try {
        kSession[last].run(f);
    } catch (const platform::PlatformError& error) {
        escaped = error.what();
    } catch (const std::exception& error) {
        problems.push_back(std::string("an error of another kind escaped: ") + error.what());
    }
    if (f.faults.LastFailure() != result.failed)
        problems.push_back("the session did not repeat itself: another call failed");

    // The boxes of the step: those of the clean step (less the box whose showing failed) and at
    // most one report.
    std::multiset<std::string> boxes = BoxesSince(f, logged);
    std::multiset<std::string> expected = clean.boxes[last];
    if (result.failed.operation == "MessageBox" && !expected.empty())
        expected.erase(expected.begin());
    std::multiset<std::string> extra;
    std::set_difference(boxes.begin(), boxes.end(), expected.begin(), expected.end(),
                        std::inserter(extra, extra.end()));
    std::multiset<std::string> missing;
    std::set_difference(expected.begin(), expected.end(), boxes.begin(), boxes.end(),
                        std::inserter(missing, missing.end()));
    if (!missing.empty())
        problems.push_back("a box of the step was not shown: " + *missing.begin());
    if (extra.size() > 1) problems.push_back("more than one report for one failure");

    if (escaped) {
        result.caughtBy = "escaped";
        if (*escaped != description) problems.push_back("another error escaped: " + *escaped);
        if (!kSession[last].passesOn)
            problems.push_back("the error escaped a step that handles it");
        if (result.failed.operation != "SetTimerEnabled" &&
            result.failed.operation != "TimerEnabled")
            problems.push_back("an error other than the redraw timer's reached the host");
        if (!extra.empty())
            problems.push_back("the error escaped and was reported: " + *extra.begin());
    } else if (!extra.empty()) {
        const std::string shown = *extra.begin();
        for (const std::string_view report : kReports)
            if (shown ==
                "16 System Message: " + std::string(report) + " with error: " + description)
                result.caughtBy = report;
        if (result.caughtBy.empty()) problems.push_back("a report of another form: " + shown);
    } else {
        result.caughtBy = "silent";
    }
    if (f.LivePens() != 0) problems.push_back("a pen outlived the failure");

    CheckStillWorks(f, problems);
    return result;
}

// --- the test -------------------------------------------------------------------------------

// Each call site of the session fails once and goes as the host and the user may see it; every
// report is met, and so are failures that pass silently and failures that reach the host.
TEST(EveryPlatformCall, FailingOnceIsReportedOrPassedOnAndLeavesTheControlWorking) {
    std::set<std::string> seen;
    for (int step = 0; step < kSteps; ++step) {
        for (const long long call : CallsToFail(step)) {
            const Result result = FailCall(call);
            seen.insert(result.caughtBy);
            for (const std::string& problem : result.problems)
                ADD_FAILURE() << "step '" << kSession[step].name << "', call " << call << " ("
                              << result.failed.operation << " on " << result.failed.target
                              << "): " << problem;
        }
    }
    for (const std::string_view report : kReports)
        EXPECT_TRUE(seen.contains(std::string(report))) << report << " was never shown";
    EXPECT_TRUE(seen.contains("silent") && seen.contains("escaped"));
}

}  // namespace
}  // namespace tarn
