// The weekly schedule editor as a Qt widget: eight day rows with a button and a bar each, the
// Enable and Disable buttons, and the public interface of the control as typed C++ accessors,
// Qt properties (readable and writable by name, and in Qt Designer), whole days and weeks as time
// ranges, and the ScheduleUpdated and ScheduleChanged signals. The bars take the keyboard focus,
// show a cursor and a time hint, speak to screen readers, and can take their colours from the
// widget's palette.
#pragma once

#include <QList>
#include <QString>
#include <QStringList>
#include <QWidget>
#include <functional>
#include <memory>
#include <optional>

#include "TarnSchedule/DayRanges.h"
#include "TarnSchedule/ScheduleWidgetExport.h"
#include "TarnSchedule/TimeProperties.h"

namespace tarn {

/// The services the control takes from its host. An empty function keeps the default.
struct ScheduleHostServices {
    /// Shows one of the control's message boxes and returns once it is closed: its return is the
    /// user's answer (see messageRequest). style: 16 critical icon, 48 exclamation icon; both with
    /// an OK button.
    std::function<void(const QString& text, int style, const QString& title)> messageBox;
    /// Pauses the control. Default: the control's own events are held for that long while the
    /// event loop, and the rest of the application, runs on.
    std::function<void(int milliseconds)> sleep;
    /// False (default): a 10 ms QTimer delivers the redraw timer's ticks while it is armed.
    /// True: ticks come only from deliverTimerTick(), so a scripted host or a test decides when.
    bool manualTimer = false;
    /// Shows one of the control's message boxes and calls reply once the user has closed it, at
    /// once or later, from the event loop; the control goes on only then (see below). Replaces
    /// messageBox when set. A reply after the first, or after the control is gone, does nothing.
    /// Default (neither set): a window-modal QMessageBox, opened without a nested event loop.
    std::function<void(const QString& text, int style, const QString& title,
                       std::function<void()> reply)>
        messageRequest;
};

class ScheduleWidgetInternals;

/// The control. Created at its design size, 679 x 361 pixels; its rows follow its size.
///
/// While one of its message boxes waits for its answer, or while it pauses, the control handles
/// none of its own events: timer ticks, mouse events, clicks, resizes and repaint requests made
/// meanwhile wait, in order, until the box is answered or the pause is over. Writes and calls of
/// the host wait with them while a message box is open, and run at once during a pause. What the
/// control does after asking for a box (its ScheduleUpdated, the next box, ScheduleChanged) reaches
/// the host only once the box is answered, as it would after a box that returned once closed.
class TARN_SCHEDULE_WIDGETS_EXPORT ScheduleWidget : public QWidget {
    Q_OBJECT
    Q_PROPERTY(bool Enable READ Enable WRITE setEnable)
    Q_PROPERTY(QString SpecialDayCaption READ SpecialDayCaption WRITE setSpecialDayCaption)
    Q_PROPERTY(bool SpecialDayEnabled READ SpecialDayEnabled WRITE setSpecialDayEnabled)
    Q_PROPERTY(ColorScheme ColorScheme READ colorScheme WRITE setColorScheme)

#define TARN_SCHEDULE_WIDGET_TIME_PROPERTY(Day, Edge, n, index)               \
    Q_PROPERTY(int Schedule_##Day##Edge##n READ Schedule_##Day##Edge##n WRITE \
                   setSchedule_##Day##Edge##n NOTIFY ScheduleChanged)
    TARN_TIME_PROPERTIES(TARN_SCHEDULE_WIDGET_TIME_PROPERTY)
#undef TARN_SCHEDULE_WIDGET_TIME_PROPERTY

public:
    /// The colours of the bars. Classic: the control's own fixed colours, light green and light
    /// red blocks on white bands with black marks. Palette: colours taken from the widget's
    /// palette, and taken again whenever the palette changes, so the control fits a dark or a
    /// light desktop.
    enum class ColorScheme { Classic, Palette };
    Q_ENUM(ColorScheme)

    explicit ScheduleWidget(QWidget* parent = nullptr);
    /// A control that uses the given host services from its creation on.
    explicit ScheduleWidget(ScheduleHostServices services, QWidget* parent = nullptr);
    /// Runs the control's Terminate.
    ~ScheduleWidget() override;

    /// True while the user may edit: false disables all ten buttons and the mouse on the bars.
    bool Enable() const;
    void setEnable(bool vData);
    /// The caption of the eighth day button, "Special" at creation.
    QString SpecialDayCaption() const;
    void setSpecialDayCaption(const QString& vData);
    /// False disables the eighth day button and selections on its bar.
    bool SpecialDayEnabled() const;
    void setSpecialDayEnabled(bool vData);

    /// The bars' colour scheme, Classic at creation. A change redraws the bars on the next tick
    /// of the redraw timer.
    ColorScheme colorScheme() const;
    void setColorScheme(ColorScheme scheme);

    /// A time property by index, 0 to 63: Schedule_MondayStart1, Schedule_MondayStop1, ...,
    /// Schedule_SpecialStop4. The value is the time of day as the decimal number HHMM.
    int timeValue(int index) const;
    /// Writes a time property. A value outside -32768 to 32767, or an index outside 0 to 63, is
    /// refused with a warning and changes nothing.
    void setTimeValue(int index, int vData);

    /// Schedule_<Day>Start<n> and Schedule_<Day>Stop<n>: the 64 time properties, Day Monday to
    /// Sunday and Special, n from 1 to 4.
#define TARN_SCHEDULE_WIDGET_TIME_ACCESSORS(Day, Edge, n, index) \
    int Schedule_##Day##Edge##n() const {                        \
        return timeValue(index);                                 \
    }                                                            \
    void setSchedule_##Day##Edge##n(int vData) {                 \
        setTimeValue(index, vData);                              \
    }
    TARN_TIME_PROPERTIES(TARN_SCHEDULE_WIDGET_TIME_ACCESSORS)
#undef TARN_SCHEDULE_WIDGET_TIME_ACCESSORS

    // Whole days and weeks as time ranges. Days are 0 to 7: Monday to Sunday, then Special.
    // A write stores each day's ranges into its Start1/Stop1 ... Start4/Stop4 in order (HHMM,
    // 24:00 as 2400, 0 in the pairs left over), redraws all rows once and emits no
    // ScheduleUpdated (that is the user's save). It returns nothing when accepted and the reason
    // when refused; a refused write changes nothing. While one of the control's message boxes is
    // open an accepted write waits with the other events.

    /// The day's enabled ranges as the control draws its eight time properties now; the empty
    /// day for a day outside 0 to 7.
    DayRanges dayRanges(int day) const;
    /// All eight days, as dayRanges() reads them.
    WeekRanges weekRanges() const;
    /// Replaces a day's ranges.
    std::optional<QString> setDayRanges(int day, const DayRanges& ranges);
    /// Replaces a day's ranges given as "HH:MM-HH:MM" texts, in any order; touching ranges merge.
    std::optional<QString> setDayRanges(int day, const QStringList& ranges);
    /// Replaces all eight days at once.
    std::optional<QString> setWeekRanges(const WeekRanges& week);
    /// Writes the ranges of day from, as dayRanges() reads them, to every day of to.
    std::optional<QString> copyDay(int from, const QList<int>& to);

    /// Redraws all rows on the next tick of the redraw timer.
    Q_INVOKABLE void Refresh();
    /// Sets all 64 time properties to 0, then redraws on the next tick. Emits nothing.
    Q_INVOKABLE void Reset();

    /// Replaces the host services; the redraw timer keeps its armed state.
    void setHostServices(ScheduleHostServices services);
    /// True while a redraw is due on the timer's next tick.
    bool timerArmed() const;
    /// Delivers the redraw timer's tick when it is armed; false when it was not.
    bool deliverTimerTick();

    QSize sizeHint() const override;

Q_SIGNALS:
    /// The user applied a selection and the time properties of its day changed. Listeners that
    /// are connected directly run before the control goes on.
    void ScheduleUpdated();
    /// One or more of the 64 time properties changed, whoever changed them: a setter, a whole-day
    /// write, Reset or the user's save. Emitted once per call, after it; a call that changes
    /// nothing emits nothing.
    void ScheduleChanged();

protected:
    bool event(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;
    /// While the control itself disables a widget that has the focus, the focus goes nowhere
    /// rather than on to the next widget.
    bool focusNextPrevChild(bool next) override;

private:
    friend class ScheduleWidgetInternals;
    // The state behind the widget: private to the library, so nothing of it is exported.
    struct TARN_SCHEDULE_WIDGETS_NO_EXPORT Private;
    std::unique_ptr<Private> const d;
};

}  // namespace tarn
