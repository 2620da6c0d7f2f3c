// The harness must see what it is there to see: a control that breaks one of its rules, or two
// backends that print differently, is reported with the line. (That correct scripts at the edges
// of the rules are not reported is shown by the seeds and examples it replays.) Both sides run the
// in-memory backend; one of them is given a fault.

#include "fuzz/PlayHarness.h"

#include <gtest/gtest.h>

#include <memory>
#include <ostream>
#include <string>
#include <utility>

#include "app/HostedControl.h"
#include "fuzz/ScriptGenerator.h"

namespace tarn::fuzz {
namespace {

enum class Fault {
    PressWritesProperty,  // a mouse press changes a time property behind the host's back
    SaveRaisesTwice,      // Enable raises ScheduleUpdated a second time
    DayClickRaises,       // a day button raises ScheduleUpdated
    RefusalAlsoRaises,    // a refused save raises ScheduleUpdated all the same
    BarsReadWhite,        // the pixels read back differ from the other backend
    RowsMissing,          // one backend reports bars without pixel rows
    SaveEnablesBlock96,   // a save enables the block past the end of the day
    CopyMissesLastDay,    // a copy leaves its last day unwritten
};

/// The in-memory backend with one fault built into it.
class FaultyControl final : public app::HostedControl {
public:
    FaultyControl(Fault fault, app::HostEvents events)
        : fault_(fault),
          raise_(events.scheduleUpdated),
          refusal_(events.messageBox),
          inner_(app::MakeMemoryControl(WithRefusalHook(events))) {}

    std::int16_t TimeValue(int index) override { return inner_->TimeValue(index); }
    void SetTimeValue(int index, std::int16_t value) override {
        inner_->SetTimeValue(index, value);
    }
    bool Enable() override { return inner_->Enable(); }
    bool SpecialDayEnabled() override { return inner_->SpecialDayEnabled(); }
    std::string SpecialDayCaption() override { return inner_->SpecialDayCaption(); }
    void SetSpecialDayCaption(const std::string& caption) override {
        inner_->SetSpecialDayCaption(caption);
    }
    void Refresh() override { inner_->Refresh(); }
    void Reset() override { inner_->Reset(); }
    std::uint64_t CompletedRedraws() override { return inner_->CompletedRedraws(); }
    int CursorBlock() override { return inner_->CursorBlock(); }
    std::string HintText() override { return inner_->HintText(); }
    const Schedule* Core() const override { return inner_->Core(); }
    void SetEnable(bool enable) override { inner_->SetEnable(enable); }
    void SetSpecialDayEnabled(bool enabled) override { inner_->SetSpecialDayEnabled(enabled); }
    DayRanges ReadDay(int day) override { return inner_->ReadDay(day); }
    std::optional<std::string> WriteDay(int day, const DayRanges& ranges) override {
        return inner_->WriteDay(day, ranges);
    }
    std::optional<std::string> WriteWeek(const WeekRanges& week) override {
        return inner_->WriteWeek(week);
    }
    std::optional<std::string> CopyDay(int from, const std::vector<int>& to) override {
        if (fault_ != Fault::CopyMissesLastDay || to.empty()) return inner_->CopyDay(from, to);
        return inner_->CopyDay(from, std::vector<int>(to.begin(), to.end() - 1));
    }
    void Resize(int width, int height) override { inner_->Resize(width, height); }
    void Paint() override { inner_->Paint(); }
    bool Tick() override { return inner_->Tick(); }
    void Press(int bar, double x, int button, int shift) override {
        inner_->Press(bar, x, button, shift);
        if (fault_ == Fault::PressWritesProperty) {
            const_cast<ScheduleState&>(Core()->State()).TimeValues[3] = 1200;
        }
    }
    void Move(int bar, double x, int buttons) override { inner_->Move(bar, x, buttons); }
    void Release(int bar, double x, int button) override { inner_->Release(bar, x, button); }
    bool Click(int widget) override {
        const bool clicked = inner_->Click(widget);
        if (clicked && widget == 8 && fault_ == Fault::SaveRaisesTwice) raise_();
        if (clicked && widget < 8 && fault_ == Fault::DayClickRaises) raise_();
        if (clicked && widget == 9 && fault_ == Fault::SaveEnablesBlock96)
            const_cast<ScheduleState&>(Core()->State()).BlockEnabled[2][kBlocksPerDay] = true;
        return clicked;
    }
    bool Focus(app::FocusWidget widget) override { return inner_->Focus(widget); }
    void PressKey(Key key, int modifiers) override { inner_->PressKey(key, modifiers); }
    std::optional<app::FocusWidget> FocusedWidget() override { return inner_->FocusedWidget(); }
    std::pair<std::string, std::string> AccessibleText(int bar) override {
        return inner_->AccessibleText(bar);
    }
    double PixelRatio() override { return inner_->PixelRatio(); }
    std::uint32_t BarPixel(int bar, int x, int y) override {
        return fault_ == Fault::BarsReadWhite ? 0xffffffu : inner_->BarPixel(bar, x, y);
    }
    std::vector<app::ButtonView> Buttons() override { return inner_->Buttons(); }
    std::vector<app::BarView> Bars() override {
        std::vector<app::BarView> bars = inner_->Bars();
        if (fault_ == Fault::RowsMissing)
            for (app::BarView& bar : bars)
                bar.innerHeight = 0;
        return bars;
    }
    std::vector<app::LabelView> Labels() override { return inner_->Labels(); }
    bool Screenshot(const std::string& file, std::string& error) override {
        return inner_->Screenshot(file, error);
    }
    void Close() override { inner_->Close(); }

private:
    app::HostEvents WithRefusalHook(app::HostEvents events) {
        events.messageBox = [this](std::string_view text, int style, std::string_view title) {
            refusal_(text, style, title);
            if (fault_ == Fault::RefusalAlsoRaises && style == 48) raise_();
        };
        return events;
    }

    Fault fault_;
    std::function<void()> raise_;
    std::function<void(std::string_view, int, std::string_view)> refusal_;
    std::unique_ptr<app::HostedControl> inner_;
};

Backend FaultyBackend(Fault fault) {
    return Backend{"faulty", [fault](app::HostEvents events) {
                       return std::make_unique<FaultyControl>(fault, std::move(events));
                   }};
}

struct HarnessCase {
    const char* name;
    Fault fault;
    std::string script;
    const char* expected;  // part of the violation
};

void PrintTo(const HarnessCase& c, std::ostream* out) {
    *out << c.name;
}

const std::string kEnableMonday = "tick\nclick cmdDay(0)\nclick cmdEnable\n";

class PlayHarnessReports : public testing::TestWithParam<HarnessCase> {};

TEST_P(PlayHarnessReports, WhatIsWrongAndNothingElse) {
    const HarnessCase& c = GetParam();
    const PlayOutcome outcome = PlayOnBoth(c.script, MemoryBackend(), FaultyBackend(c.fault));
    EXPECT_NE(outcome.violation.find(c.expected), std::string::npos)
        << "expected \"" << c.expected << "\" in \"" << outcome.violation << "\"";
}

INSTANTIATE_TEST_SUITE_P(
    PlayHarness, PlayHarnessReports,
    testing::Values(
        // Each fault is caught on the line that shows it.
        HarnessCase{"PropertyChangedByAPress", Fault::PressWritesProperty, "tick\npress 0 100\n",
                    "line 2 `press`"},
        HarnessCase{"SaveRaisingTwice", Fault::SaveRaisesTwice, kEnableMonday,
                    "line 3 `click cmdEnable` must raise ScheduleUpdated once"},
        HarnessCase{"DayButtonRaising", Fault::DayClickRaises, kEnableMonday,
                    "line 2 `click cmdDay(0)` saves nothing"},
        HarnessCase{"RefusedSaveRaising", Fault::RefusalAlsoRaises,
                    kEnableMonday + "click cmdDay(0)\nclick cmdEnable\n",
                    "line 5 `click cmdEnable`"},
        HarnessCase{"BackendsPrintingDifferently", Fault::BarsReadWhite,
                    kEnableMonday + "marks 1\nstate 0\n", "line 5 `state 0`: memory printed"},
        HarnessCase{"OneBackendStopping", Fault::RowsMissing, "tick\nrow 0 3\n",
                    "memory went on, faulty stopped with status 2"},
        HarnessCase{"BlockPastTheEndEnabled", Fault::SaveEnablesBlock96,
                    "tick\nclick cmdDay(2)\nclick cmdDisable\n",
                    "line 3: block 96 of row 2 is enabled after line 3 `click cmdDisable`"},
        HarnessCase{"CopyMissingADay", Fault::CopyMissesLastDay,
                    "tick\nsetday Monday 08:00-09:00\ncopyday Monday Tuesday Wednesday\n",
                    "line 3 `copyday`"}),
    [](const testing::TestParamInfo<HarnessCase>& info) { return std::string(info.param.name); });

TEST(ScriptGenerator, SameSeedSameScriptAndEveryLineRuns) {
    EXPECT_EQ(GenerateScript(7, 60), GenerateScript(7, 60));
    EXPECT_NE(GenerateScript(7, 60), GenerateScript(8, 60));
    // Every generated line parses; a script ends early only on the listener depth limit.
    for (std::uint64_t seed = 1; seed <= 40; ++seed) {
        const PlayOutcome outcome =
            PlayOnBoth(GenerateScript(seed, 60), MemoryBackend(), MemoryBackend());
        EXPECT_EQ(outcome.violation, "") << "seed " << seed;
        if (outcome.transcript.find("play: ") != std::string::npos) {
            EXPECT_NE(outcome.transcript.find("raised the event again"), std::string::npos)
                << "seed " << seed << ": " << outcome.transcript;
        }
    }
}

}  // namespace
}  // namespace tarn::fuzz
