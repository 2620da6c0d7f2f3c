// One control placed on a host, as the scripted host drives it: the host's calls go to the
// control's controller, the user's mouse events, clicks and keys go through the backend's own
// delivery, and what a user would see is read back from the pixels. One implementation per
// backend.
#pragma once

#include <QAccessible>
#include <QString>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "TarnSchedule/DayRanges.h"
#include "app/ScriptCommand.h"
#include "controller/InputCodes.h"
#include "controller/ScheduleController.h"
#include "core/Keys.h"

namespace tarn::app {

/// What the control tells its host: message boxes (answered OK at once), pauses (not waited)
/// and raises of ScheduleUpdated (the host's listener runs inside).
struct HostEvents {
    std::function<void(std::string_view text, int style, std::string_view title)> messageBox;
    std::function<void(int milliseconds)> sleep;
    std::function<void()> scheduleUpdated;
};

struct ButtonView {
    std::string name;  // "cmdDay(0)" ... "cmdEnable", "cmdDisable"
    std::string caption;
    bool enabled = false;
    int left = 0, top = 0, width = 0, height = 0;
};

struct BarView {
    int left = 0, top = 0, width = 0, height = 0;
    int innerWidth = 0, innerHeight = 0;
};

struct LabelView {
    std::int32_t x = 0;
    std::int32_t y = 0;
    std::string text;
};

class HostedControl {
public:
    virtual ~HostedControl() = default;

    // The host's properties and methods, through the backend's own interface.
    virtual std::int16_t TimeValue(int index) = 0;
    virtual void SetTimeValue(int index, std::int16_t value) = 0;
    virtual bool Enable() = 0;
    virtual bool SpecialDayEnabled() = 0;
    virtual std::string SpecialDayCaption() = 0;
    virtual void SetSpecialDayCaption(const std::string& caption) = 0;
    virtual void Refresh() = 0;
    virtual void Reset() = 0;

    /// Full redraws run to their end since the control was created.
    std::uint64_t CompletedRedraws() { return Controller().CompletedRedraws(); }
    /// The keyboard cursor's block and the time hint's text, as the control shows them.
    int CursorBlock() { return Controller().CursorBlock(); }
    std::string HintText() { return Controller().Hint().text.toStdString(); }

    /// The controller that every call above goes through, for the checks of this project's test
    /// harness (controller/CoreAccess.h).
    virtual const qt::ScheduleController& Controller() = 0;

    // The host's writes of the two switches, which decide what can hold the keyboard focus: a
    // widget that has it and can no longer take it loses it, and no other widget gets it.
    virtual void SetEnable(bool enable) = 0;
    virtual void SetSpecialDayEnabled(bool enabled) = 0;

    // The host's whole-day calls (days 0 to 7), through the backend's own interface. A write
    // returns nothing when accepted and the control's reason when refused.
    virtual DayRanges ReadDay(int day) = 0;
    virtual std::optional<std::string> WriteDay(int day, const DayRanges& ranges) = 0;
    virtual std::optional<std::string> WriteWeek(const WeekRanges& week) = 0;
    virtual std::optional<std::string> CopyDay(int from, const std::vector<int>& to) = 0;

    // The window system and the timer.
    virtual void Resize(int width, int height) = 0;
    virtual void Paint() = 0;
    /// Delivers the timer's tick if it is armed; false when it was not.
    virtual bool Tick() = 0;

    // The user. Buttons: 1 left, 2 right, 4 middle; shift: 1 Shift, 2 Ctrl, 4 Alt.
    virtual void Press(int bar, double x, int button, int shift) = 0;
    virtual void Move(int bar, double x, int buttons) = 0;
    virtual void Release(int bar, double x, int button) = 0;
    /// widget: 0 to 7 day buttons, 8 Enable, 9 Disable. False when the button is disabled.
    virtual bool Click(int widget) = 0;

    // The keyboard.
    /// Moves the focus to widget as Tab would; false, and nothing changes, when it cannot take it.
    virtual bool Focus(FocusWidget widget) = 0;
    /// The user presses and releases key on the widget that has the focus (on the window when
    /// none has). modifiers: kShiftMask, kCtrlMask.
    virtual void PressKey(Key key, int modifiers) = 0;
    /// The widget that has the focus, nothing when none has.
    virtual std::optional<FocusWidget> FocusedWidget() = 0;
    /// What a screen reader reads for a bar: its name and its description.
    virtual std::pair<std::string, std::string> AccessibleText(int bar) = 0;

    // Looking.
    /// Device pixels per logical pixel of the bars' pixels.
    virtual double PixelRatio() = 0;
    /// The colour (0xRRGGBB) of inner device pixel (x, y) of a bar.
    virtual std::uint32_t BarPixel(int bar, int x, int y) = 0;
    virtual std::vector<ButtonView> Buttons() = 0;
    virtual std::vector<BarView> Bars() = 0;
    /// Texts drawn on the control's surface since it was last cleared, in drawing order.
    virtual std::vector<LabelView> Labels() = 0;
    /// Writes the control as the user sees it; false with a reason when it cannot.
    virtual bool Screenshot(const std::string& file, std::string& error) = 0;

    /// Runs Terminate.
    virtual void Close() = 0;
};

/// Shift+Tab reaches widgets as the back-tab key, as a keyboard sends it.
inline int QtKeyOfPress(Key key, int modifiers) {
    if (key == Key::Tab && (modifiers & kShiftMask) != 0) return Qt::Key_Backtab;
    return qt::QtKeyOf(key);
}
/// The Qt button of a press or release; codes that name no single button press none.
inline Qt::MouseButton QtButtonOfPress(int code) {
    if (code == 1 || code == 2 || code == 4)
        return static_cast<Qt::MouseButton>(int(qt::ButtonsOfCodes(code)));
    return Qt::NoButton;
}
/// The Qt modifiers of a key's kShiftMask and kCtrlMask.
inline Qt::KeyboardModifiers QtModifiersOfPress(int modifiers) {
    return qt::ModifiersOfCodes(modifiers & (kShiftMask | kCtrlMask));
}

/// The text a keyboard sends with the key.
inline QString QtKeyTextOfPress(Key key, int modifiers) {
    switch (key) {
        case Key::Return:
        case Key::Enter:
            return QStringLiteral("\r");
        case Key::Space:
            return QStringLiteral(" ");
        case Key::Delete:
            return QString(QChar(0x7f));
        case Key::Backspace:
            return QStringLiteral("\b");
        case Key::Escape:
            return QString(QChar(0x1b));
        case Key::Tab:
            return QStringLiteral("\t");
        case Key::A:
            if ((modifiers & kCtrlMask) != 0) return QString(QChar(0x01));
            return (modifiers & kShiftMask) != 0 ? QStringLiteral("A") : QStringLiteral("a");
        default:
            return {};
    }
}

/// What the toolkit's accessibility gives a screen reader for a bar: its name and description.
inline std::pair<std::string, std::string> AccessibleTextOf(QObject* bar) {
    QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(bar);
    if (accessible == nullptr) return {};
    return {accessible->text(QAccessible::Name).toStdString(),
            accessible->text(QAccessible::Description).toStdString()};
}

/// The in-memory backend, its bars at a device pixel ratio of 1, or of ratio (1 to 4).
std::unique_ptr<HostedControl> MakeMemoryControl(HostEvents events);
std::unique_ptr<HostedControl> MakeMemoryControlAtRatio(HostEvents events, double ratio);

#ifdef TARN_HAVE_QT
/// The real Qt widget on an off-screen platform; events go through Qt's own delivery.
/// Needs a QApplication to exist.
std::unique_ptr<HostedControl> MakeQtControl(HostEvents events);
#endif

#ifdef TARN_HAVE_QUICK
/// The Qt Quick item in an off-screen window; events go through Qt's own delivery. Needs a
/// QGuiApplication to exist.
std::unique_ptr<HostedControl> MakeQuickControl(HostEvents events);
#endif

}  // namespace tarn::app
