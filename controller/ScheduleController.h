// The one door into the control for a Qt frontend, in Qt Core and Qt Gui types only: the host's
// properties, methods and whole-day calls with their checks; the window system's resizes, repaint
// requests and timer ticks; the user's clicks, pointer, keys and focus; and what the frontend
// shows: the time hint and where it goes, the keyboard cursor's frame, the texts a screen reader
// reads, the focus rules, and the control's message boxes as requests the frontend answers when
// the user closes them. Every call runs through the event gate with its errors caught. The
// control's core stays behind it: a widget frontend and a Qt Quick one drive the same calls and
// copy none of its rules.
#pragma once

#include <QColor>
#include <QList>
#include <QObject>
#include <QPalette>
#include <QPoint>
#include <QPointF>
#include <QRect>
#include <QSize>
#include <QString>
#include <QStringList>
#include <functional>
#include <memory>
#include <optional>

#include "TarnSchedule/DayRanges.h"
#include "controller/EventGate.h"
#include "platform/Platform.h"

namespace tarn::qt {

/// How the bars are coloured: the control's own fixed colours, or colours taken from the
/// frontend's palette.
enum class ColourScheme { Classic, Palette };

/// Where the time hint goes: below and right of the pointer after a move over a bar, else just
/// above the keyboard cursor's frame. In the control's coordinates.
struct HintPlace {
    QString text;  // empty: no hint shows
    QPoint anchor;
    bool below = true;
    /// The hint came by the keyboard and follows the cursor when it moves.
    bool followsCursor = false;
};

/// The keyboard cursor: a frame around one block of the bar that has the focus, in the control's
/// coordinates, outside the block's own pixels.
struct CursorView {
    bool shown = false;
    int bar = -1;
    int block = 0;
    QRect frame;
    QColor colour;
};

class ScheduleController final : public QObject {
    Q_OBJECT
public:
    /// Makes the platform that the core draws on; its Host() must return host, through which
    /// the controller hears of message boxes, pauses and raises of ScheduleUpdated.
    using PlatformFactory =
        std::function<std::unique_ptr<platform::Platform>(platform::HostServices& host)>;

    /// Creates the gate, the platform and the core; the core is not initialized yet.
    explicit ScheduleController(const PlatformFactory& makePlatform, QObject* parent = nullptr);
    ~ScheduleController() override;

    /// The control's design size, at which it is created.
    static QSize DesignSize();
    /// The least size, never less than the design size, at which the layout, which scales every
    /// button and bar with the control, makes each of them at least least pixels high and wide.
    static QSize SizeForTargets(double least);

    /// Initializes the core once.
    void Initialize();
    /// Runs the core's Terminate once; later calls do nothing.
    void Terminate();
    bool Terminated() const;

    /// The gate every call goes through: held while a message box waits for its answer or the
    /// control pauses.
    EventGate& Gate();

    // --- the host ------------------------------------------------------------------------------

    bool Enable() const;
    void SetEnable(bool enable);
    QString SpecialDayCaption() const;
    void SetSpecialDayCaption(const QString& caption);
    bool SpecialDayEnabled() const;
    void SetSpecialDayEnabled(bool enabled);

    /// A time property by index, 0 to 63; 0 for another index.
    int TimeValue(int index) const;
    /// Writes a time property; refuses, with a warning and the reason, an index outside 0 to 63
    /// or a value outside -32768 to 32767.
    std::optional<QString> SetTimeValue(int index, int value);

    /// Days are 0 to 7 (Monday to Sunday, Special). Reads give the empty day for another day;
    /// writes return the reason when refused, nothing when accepted.
    DayRanges ReadDay(int day) const;
    WeekRanges ReadWeek() const;
    std::optional<QString> WriteDay(int day, const DayRanges& ranges);
    /// Ranges as "HH:MM-HH:MM" texts, in any order; touching ranges merge.
    std::optional<QString> WriteDay(int day, const QStringList& ranges);
    std::optional<QString> WriteWeek(const WeekRanges& week);
    std::optional<QString> CopyDay(int from, const QList<int>& to);

    void Refresh();
    void Reset();

    /// Pauses of the control run this in place while the gate holds everything; without one the
    /// control's own events are held for the pause while the event loop runs on.
    void SetPauseHandler(std::function<void(int milliseconds)> pause);

    /// Full redraws of all eight rows run to their end since the control was created.
    quint64 CompletedRedraws() const;
    /// True while a redraw is due on the timer's next tick.
    bool RedrawDue() const;

    // --- the window system ---------------------------------------------------------------------

    /// The control was resized to size. hadOldSize is false when the window system reports a size
    /// with no old one (a first show); when the controller knows that size already, nothing
    /// happens.
    void Resized(QSize size, bool hadOldSize);
    /// The window system asks for a repaint.
    void PaintRequested();
    /// The redraw timer's tick; false, and nothing happens, when no redraw is due.
    bool TimerTick();

    // --- the user ------------------------------------------------------------------------------

    /// button: 0 to 7 the day buttons, 8 Enable, 9 Disable.
    void ButtonClicked(int button);
    /// The pointer on bar, at a point in the bar's own coordinates (frame included). Presses and
    /// releases name their button; moves the buttons held.
    void PointerPressed(int bar, QPointF at, Qt::MouseButton button,
                        Qt::KeyboardModifiers modifiers);
    void PointerMoved(int bar, QPointF at, Qt::MouseButtons buttons,
                      Qt::KeyboardModifiers modifiers);
    void PointerReleased(int bar, QPointF at, Qt::MouseButton button,
                         Qt::KeyboardModifiers modifiers);
    /// The pointer left the control.
    void PointerLeft();

    /// Whether the bars use the key; Tab and Backtab are not, so the frontend's focus chain moves
    /// the focus. A frontend lets these keys reach the bar before any shortcut.
    static bool IsBarKey(int qtKey);
    /// A key pressed on bar, which has the focus. False when the bars do not use the key. When
    /// the key asks for the focus to move to a neighbour that can take it, focusMoveRequested
    /// follows.
    bool KeyPressed(int bar, int qtKey, Qt::KeyboardModifiers modifiers);
    void BarFocusIn(int bar);
    void BarFocusOut(int bar);
    /// Whether bar may take the focus now.
    bool BarTakesFocus(int bar) const;
    /// True while a call of the host disables widgets: a focus that such a widget loses goes
    /// nowhere, so the frontend refuses to move the focus on meanwhile.
    bool FocusMovesBlocked() const;

    // --- what the frontend shows ---------------------------------------------------------------

    HintPlace Hint() const;
    CursorView Cursor() const;
    /// The bar that has the focus as the control sees it, -1 for none; the cursor's block.
    int FocusedBar() const;
    int CursorBlock() const;
    /// What a screen reader reads for a bar: its caption, and its enabled ranges.
    QString BarName(int bar) const;
    QString BarDescription(int bar) const;

    // --- colours -------------------------------------------------------------------------------

    ColourScheme Scheme() const;
    /// Takes the scheme, with palette for the Palette scheme, and redraws the bars when their
    /// colours change.
    void SetScheme(ColourScheme scheme, const QPalette& palette);
    /// The frontend's palette changed; the Palette scheme follows it.
    void PaletteChanged(const QPalette& palette);

    // --- message boxes -------------------------------------------------------------------------

    /// The user closed the box of request. Everything the control did after asking for it, and
    /// every event held meanwhile, then runs in order. An unknown or already answered request is
    /// ignored.
    void AnswerMessage(int request);
    /// True while a message box waits for its answer.
    bool MessagePending() const;

Q_SIGNALS:
    /// The control asks for a message box; style 16: critical icon, 48: exclamation icon, both
    /// with an OK button. The frontend shows it and calls AnswerMessage(request) once it is
    /// closed, at once or later.
    void messageRequested(int request, const QString& text, int style, const QString& title);
    /// The user's save changed the time properties of a day; connected listeners run inside.
    void scheduleUpdated();
    /// One or more time properties changed; once per outermost call.
    void scheduleChanged();
    /// The time hint's text or place changed.
    void hintChanged();
    /// The bar that has the focus, its cursor, or the cursor's colour changed.
    void cursorChanged();
    /// The bars moved: the cursor's frame and the hint follow them.
    void overlaysMoved();
    /// The core asks for the focus to move to bar, which can take it.
    void focusMoveRequested(int bar);
    /// The name or description of bar changed.
    void barTextChanged(int bar, bool name, bool description);
    /// Which bars may take the focus may have changed.
    void focusRulesChanged();
    /// A call of the frontend or the host has run, or waits in the gate: what it drew may be shown
    /// now, as part of the event being handled.
    void delivered();

private:
    /// Hands the core to this project's own checks (CoreAccess.h).
    friend struct CoreAccess;

    struct Impl;
    std::unique_ptr<Impl> d_;
};

}  // namespace tarn::qt
