// The control between its core and a Qt frontend, with no Qt Widgets in it: it owns the core
// object, the platform the core draws on and the event gate, runs every call into the core through
// the gate with its errors caught, and tells the frontend what changed: the time properties, the
// focus and cursor the core keeps, the time hint, the texts a screen reader reads. It also maps
// Qt's keys onto the bars' keys and derives the bars' colours from a QPalette. A widget frontend
// and a Qt Quick one can share it.
#pragma once

#include <QColor>
#include <QObject>
#include <QPalette>
#include <QString>
#include <array>
#include <cstdint>
#include <exception>
#include <functional>
#include <memory>
#include <optional>

#include "core/Keys.h"
#include "core/Schedule.h"
#include "platform/Platform.h"
#include "controller/EventGate.h"
#include "render/Theme.h"

namespace tarn::qt {

/// How the bars are coloured: the control's own fixed colours, or colours taken from the
/// frontend's palette.
enum class ColourScheme { Classic, Palette };

/// Colours for the bars taken from palette: band backgrounds from Base, marks and ticks from Text,
/// labels from WindowText, enabled blocks from Highlight turned toward green and disabled ones from
/// Base turned toward red. Light palettes give light blocks, dark palettes dark ones; enabled and
/// disabled blocks always differ in hue and lightness, and marks stand out from every fill.
render::Theme ThemeFromPalette(const QPalette& palette);

/// The colour of the keyboard cursor's frame over bars drawn in theme: a blue, far in hue from the
/// green and red of the blocks, dark over light bands and light over dark ones, so that it stands
/// out from the bands, the marks and both kinds of block.
QColor CursorColourOf(const render::Theme& theme);

/// The bar key a Qt key stands for; nothing for keys the bars do not use, Tab and Backtab among
/// them, which move the focus through the frontend's focus chain.
std::optional<Key> BarKeyOf(int qtKey);
/// Shift and Control as kShiftMask and kCtrlMask.
std::int16_t ModifierBitsOf(Qt::KeyboardModifiers modifiers);

class ScheduleController final : public QObject {
    Q_OBJECT
public:
    /// Makes the platform that the core draws on; it may keep the gate to hold events back while
    /// the host waits.
    using PlatformFactory = std::function<std::unique_ptr<platform::Platform>(EventGate& gate)>;

    /// Creates the gate, the platform and the core; the core is not initialized yet.
    explicit ScheduleController(const PlatformFactory& makePlatform, QObject* parent = nullptr);
    ~ScheduleController() override;

    Schedule& Control() { return *control_; }
    const Schedule& Control() const { return *control_; }
    EventGate& Gate() { return gate_; }
    platform::Platform& Platform() { return *platform_; }

    /// Runs one call into the core; its errors stop here, as warnings.
    template <class Call>
    static void Guarded(const char* operation, Call&& call) {
        try {
            call();
        } catch (const std::exception& error) {
            Warn(operation, error);
        }
    }

    /// Delivers a call into the core through the gate. scheduleChanged follows when the call, and
    /// everything it set off, changed the time properties.
    template <class Call>
    void Deliver(const char* operation, Call call, EventGate::Kind kind = EventGate::Kind::Single) {
        gate_.Deliver([this, operation,
                       call = std::move(call)] { Tracked([&] { Guarded(operation, call); }); },
                      kind);
    }

    void Initialize();
    /// Runs the core's Terminate once; later calls do nothing.
    void Terminate();
    bool Terminated() const { return terminated_; }

    // --- the keyboard, the pointer and the focus, from the frontend ---------------------------

    /// A key pressed on bar, which has the focus. False when the bars do not use the key; the
    /// frontend then handles it itself. When the core asks for the focus to move to a neighbour
    /// that can take it, focusMoveRequested follows.
    bool KeyPress(int bar, int qtKey, Qt::KeyboardModifiers modifiers);
    void BarFocusIn(int bar);
    void BarFocusOut(int bar);
    /// The pointer left the control.
    void PointerLeft();
    bool BarTakesFocus(int bar) const { return control_->BarTakesFocus(bar); }

    // --- what the frontend shows ------------------------------------------------------------

    QString HintText() const { return hint_; }
    QString BarName(int bar) const;
    QString BarDescription(int bar) const;
    int FocusedBar() const { return control_->FocusedBar(); }
    int CursorBlock() const { return control_->CursorBlock(); }
    bool CursorShown() const { return control_->CursorShown(); }
    /// The cursor's colour over the bars as they are drawn now.
    QColor CursorColour() const { return CursorColourOf(control_->CurrentTheme()); }

    // --- colours ------------------------------------------------------------------------------

    ColourScheme Scheme() const { return scheme_; }
    /// Takes the scheme, with palette for the Palette scheme, and redraws the bars when their
    /// colours change.
    void SetScheme(ColourScheme scheme, const QPalette& palette);
    /// The frontend's palette changed; the Palette scheme follows it.
    void PaletteChanged(const QPalette& palette);

Q_SIGNALS:
    /// One or more time properties changed; once per outermost call.
    void scheduleChanged();
    /// The time hint's text changed; empty when no hint shows.
    void hintChanged(const QString& text);
    /// The bar the core holds the focus on, -1 for none, its cursor, or the cursor's colour,
    /// changed.
    void cursorChanged();
    /// The core asks for the focus to move to bar, which can take it.
    void focusMoveRequested(int bar);
    /// The name or description of bar changed.
    void barTextChanged(int bar, bool name, bool description);
    /// Which bars may take the focus may have changed.
    void focusRulesChanged();

private:
    static void Warn(const char* operation, const std::exception& error);

    /// Runs a call into the core; the outermost one compares the time properties, the bar texts
    /// and the focus rules before and after.
    template <class Call>
    void Tracked(Call&& call) {
        if (changeDepth_ == 0) Snapshot();
        ++changeDepth_;
        call();
        --changeDepth_;
        if (changeDepth_ == 0) Compare();
    }
    void Snapshot();
    void Compare();
    void ViewChanged(Schedule::ViewChange change);
    void ApplyTheme(const render::Theme& theme);

    EventGate gate_;
    std::unique_ptr<platform::Platform> platform_;
    std::unique_ptr<Schedule> control_;
    bool initialized_ = false;
    bool terminated_ = false;
    int changeDepth_ = 0;
    std::array<std::int16_t, kTimePropertyCount> valuesBefore_{};
    /// Whether descriptions_ have been made at all.
    bool described_ = false;
    std::array<QString, platform::kDayCount> names_;
    std::array<QString, platform::kDayCount> descriptions_;
    std::array<bool, platform::kDayCount> takesFocus_{};
    QString hint_;
    ColourScheme scheme_ = ColourScheme::Classic;
};

}  // namespace tarn::qt
