// The control on the in-memory platform as the scripted host sees it: the driver (MemoryDriver.h)
// delivers the host's, the window system's and the user's events through the controller, as the
// Qt widget does; what a user would see is read back from the in-memory widgets.
#include <utility>

#include "app/HostedControl.h"
#include "app/ScriptCommand.h"
#include "frontends/memory/MemoryDriver.h"
#include "frontends/memory/MemoryPlatform.h"
#include "platform/Colour.h"

namespace tarn::app {

namespace {

using platform::memory::HostCallbacks;
using platform::memory::MemoryDriver;
using platform::memory::MemoryPlatform;

HostCallbacks ToCallbacks(HostEvents events) {
    HostCallbacks callbacks;
    callbacks.messageBox = std::move(events.messageBox);
    callbacks.sleep = std::move(events.sleep);
    callbacks.scheduleUpdated = std::move(events.scheduleUpdated);
    return callbacks;
}

std::optional<std::string> Refusal(const std::optional<QString>& message) {
    if (!message) return std::nullopt;
    return message->toStdString();
}

class MemoryControl final : public HostedControl {
public:
    MemoryControl(HostEvents events, double ratio) : driver_(ToCallbacks(std::move(events))) {
        driver_.Platform().SetPixelRatio(ratio);
        driver_.Initialize();
    }

    std::int16_t TimeValue(int index) override {
        return static_cast<std::int16_t>(Control().TimeValue(index));
    }
    void SetTimeValue(int index, std::int16_t value) override {
        Control().SetTimeValue(index, value);
    }
    bool Enable() override { return Control().Enable(); }
    bool SpecialDayEnabled() override { return Control().SpecialDayEnabled(); }
    std::string SpecialDayCaption() override { return Control().SpecialDayCaption().toStdString(); }
    void SetSpecialDayCaption(const std::string& caption) override {
        Control().SetSpecialDayCaption(QString::fromStdString(caption));
    }
    void Refresh() override { Control().Refresh(); }
    void Reset() override { Control().Reset(); }
    const qt::ScheduleController& Controller() override { return Control(); }

    void SetEnable(bool enable) override { driver_.SetEnable(enable); }
    void SetSpecialDayEnabled(bool enabled) override { driver_.SetSpecialDayEnabled(enabled); }

    DayRanges ReadDay(int day) override { return Control().ReadDay(day); }
    std::optional<std::string> WriteDay(int day, const DayRanges& ranges) override {
        return Refusal(Control().WriteDay(day, ranges));
    }
    std::optional<std::string> WriteWeek(const WeekRanges& week) override {
        return Refusal(Control().WriteWeek(week));
    }
    std::optional<std::string> CopyDay(int from, const std::vector<int>& to) override {
        return Refusal(Control().CopyDay(from, QList<int>(to.begin(), to.end())));
    }

    void Resize(int width, int height) override { driver_.Resize(width, height); }
    void Paint() override { driver_.Paint(); }
    bool Tick() override { return driver_.Tick(); }

    void Press(int bar, double x, int button, int shift) override {
        driver_.Press(bar, x, QtButtonOfPress(button), qt::ModifiersOfCodes(shift));
    }
    void Move(int bar, double x, int buttons) override {
        driver_.Move(bar, x, qt::ButtonsOfCodes(buttons));
    }
    void Release(int bar, double x, int button) override {
        driver_.Release(bar, x, QtButtonOfPress(button));
    }
    bool Click(int widget) override { return driver_.Click(widget); }

    bool Focus(FocusWidget widget) override { return driver_.Focus(widget); }
    void PressKey(Key key, int modifiers) override {
        driver_.PressKey(QtKeyOfPress(key, modifiers), QtModifiersOfPress(modifiers));
    }
    std::optional<FocusWidget> FocusedWidget() override { return driver_.Focused(); }

    std::pair<std::string, std::string> AccessibleText(int bar) override {
        return {Control().BarName(bar).toStdString(), Control().BarDescription(bar).toStdString()};
    }

    double PixelRatio() override { return Platform().Bar(0).context().PixelRatio(); }

    std::uint32_t BarPixel(int bar, int x, int y) override {
        return platform::ColourOf(Platform().Bar(bar).context().PixelAt(x, y));
    }

    std::vector<ButtonView> Buttons() override {
        std::vector<ButtonView> views;
        for (int index = 0; index < 10; ++index) {
            const auto& button = Platform().Button(index);
            views.push_back(ButtonView{WidgetName(index), button.caption(), button.enabled(),
                                       button.left(), button.top(), button.width(),
                                       button.height()});
        }
        return views;
    }

    std::vector<BarView> Bars() override {
        std::vector<BarView> views;
        for (int index = 0; index < 8; ++index) {
            const auto& bar = Platform().Bar(index);
            views.push_back(BarView{bar.left(), bar.top(), bar.width(), bar.height(),
                                    bar.innerWidth(), bar.innerHeight()});
        }
        return views;
    }

    std::vector<LabelView> Labels() override {
        std::vector<LabelView> views;
        for (const auto& text : Platform().SurfaceWidget().context().texts)
            views.push_back(LabelView{text.x, text.y, text.text});
        return views;
    }

    bool Screenshot(const std::string&, std::string& error) override {
        error = "screenshots need the qt backend";
        return false;
    }

    void Close() override { driver_.Terminate(); }

private:
    qt::ScheduleController& Control() { return driver_.Controller(); }
    MemoryPlatform& Platform() { return driver_.Platform(); }

    MemoryDriver driver_;
};

}  // namespace

std::unique_ptr<HostedControl> MakeMemoryControl(HostEvents events) {
    return std::make_unique<MemoryControl>(std::move(events), 1.0);
}

std::unique_ptr<HostedControl> MakeMemoryControlAtRatio(HostEvents events, double ratio) {
    return std::make_unique<MemoryControl>(std::move(events), ratio);
}

}  // namespace tarn::app
