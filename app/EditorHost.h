// What the hosts of the Qt widget and of the Qt Quick item do alike: the host's calls that both
// public classes take under the same names.
#pragma once

#include <QList>
#include <QString>
#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "app/HostedControl.h"
#include "platform/Colour.h"

namespace tarn::app {

/// The host's properties and methods on Editor, tarn::ScheduleWidget or tarn::ScheduleEditor,
/// and the readings of the bars of its Platform. The whole-day calls, which the two name apart,
/// stay with each host.
template <class Editor, class Platform>
class EditorHost : public HostedControl {
public:
    std::int16_t TimeValue(int index) override {
        return static_cast<std::int16_t>(Target().timeValue(index));
    }
    void SetTimeValue(int index, std::int16_t value) override {
        Target().setTimeValue(index, value);
    }
    bool Enable() override { return Target().Enable(); }
    bool SpecialDayEnabled() override { return Target().SpecialDayEnabled(); }
    std::string SpecialDayCaption() override { return Target().SpecialDayCaption().toStdString(); }
    void SetSpecialDayCaption(const std::string& caption) override {
        Target().setSpecialDayCaption(QString::fromStdString(caption));
    }
    void Refresh() override { Target().Refresh(); }
    void Reset() override { Target().Reset(); }
    // Through the public setters, which keep the bars' focus rules in step with the control.
    void SetEnable(bool enable) override { Target().setEnable(enable); }
    void SetSpecialDayEnabled(bool enabled) override { Target().setSpecialDayEnabled(enabled); }
    std::optional<std::string> CopyDay(int from, const std::vector<int>& to) override {
        return Refusal(Target().copyDay(from, QList<int>(to.begin(), to.end())));
    }
    bool Tick() override { return Target().deliverTimerTick(); }

    /// What the toolkit's accessibility gives a screen reader for the bar.
    std::pair<std::string, std::string> AccessibleText(int bar) override {
        return AccessibleTextOf(&ControlPlatform().Bar(bar));
    }
    double PixelRatio() override { return ControlPlatform().Bar(0).PixelRatio(); }
    std::uint32_t BarPixel(int bar, int x, int y) override {
        return platform::ColourOf(ControlPlatform().Bar(bar).pixelAt(x, y));
    }

protected:
    virtual Editor& Target() = 0;
    virtual Platform& ControlPlatform() = 0;

    /// A write's refusal as the script prints it, from the reason (none: accepted) or from the
    /// answer of a QML call ("": accepted).
    static std::optional<std::string> Refusal(const std::optional<QString>& reason) {
        if (!reason) return std::nullopt;
        return reason->toStdString();
    }
    static std::optional<std::string> Refusal(const QString& answer) {
        if (answer.isEmpty()) return std::nullopt;
        return answer.toStdString();
    }
};

}  // namespace tarn::app
