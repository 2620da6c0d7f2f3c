// The weekly schedule editor as a Qt Quick item: `import TarnSchedule` and `ScheduleEditor {}`.
// Eight rows (Monday to Sunday and Special), each a day button and a bar of 96 quarter-hour blocks;
// the user drags along a bar or presses its day's button, then presses Enable or Disable. The
// buttons are Qt Quick Controls buttons, in the application's style.
#pragma once

#include <QtQml/qqmlregistration.h>
#include <QList>
#include <QQuickItem>
#include <QString>
#include <QStringList>
#include <QVariantList>
#include <functional>
#include <memory>
#include <optional>

#include "TarnSchedule/DayRanges.h"
#include "TarnSchedule/ScheduleEditorExport.h"
#include "TarnSchedule/TimeProperties.h"

namespace tarn {

/// What the editor takes from its host. Each member is optional; an empty one keeps the default.
struct ScheduleEditorServices {
    /// Shows one of the editor's message boxes and calls reply once the user has closed it, at
    /// once or later; the editor goes on only then, and meanwhile holds its own events. style: 16
    /// critical icon, 48 exclamation icon; both with an OK button. A reply after the first, or
    /// after the editor is gone, does nothing. Default: a modal Qt Quick Controls Dialog.
    std::function<void(const QString& text, int style, const QString& title,
                       std::function<void()> reply)>
        messageRequest;
    /// Pauses the editor. Default: its own events are held for that long while the event loop,
    /// and the rest of the application, runs on.
    std::function<void(int milliseconds)> sleep;
    /// False (default): a 10 ms QTimer delivers the redraw timer's ticks while it is armed.
    /// True: ticks come only from deliverTimerTick().
    bool manualTimer = false;
};

class ScheduleEditorInternals;

/// The editor, at its design size, 679 x 361 pixels, unless its size is set or its touchSize asks
/// for more; its rows follow its size. While one
/// of its message boxes waits for its answer, or while it pauses, it handles none of its own
/// events: they wait, in order, until the box is answered or the pause is over.
///
/// The 64 time properties (Schedule_MondayStart1 ... Schedule_SpecialStop4, HHMM values), Enable,
/// SpecialDayCaption, SpecialDayEnabled and ColorScheme begin with a capital letter, so QML reads
/// and writes them in script (`editor.Enable = false`) rather than in the object's declaration.
class TARN_SCHEDULE_QUICK_EXPORT ScheduleEditor : public QQuickItem {
    Q_OBJECT
    QML_ELEMENT
    Q_PROPERTY(bool Enable READ Enable WRITE setEnable)
    Q_PROPERTY(QString SpecialDayCaption READ SpecialDayCaption WRITE setSpecialDayCaption)
    Q_PROPERTY(bool SpecialDayEnabled READ SpecialDayEnabled WRITE setSpecialDayEnabled)
    Q_PROPERTY(ColorScheme ColorScheme READ colorScheme WRITE setColorScheme)
    Q_PROPERTY(qreal touchSize READ touchSize WRITE setTouchSize RESET resetTouchSize NOTIFY
                   touchSizeChanged)

#define TARN_SCHEDULE_EDITOR_TIME_PROPERTY(Day, Edge, n, index)               \
    Q_PROPERTY(int Schedule_##Day##Edge##n READ Schedule_##Day##Edge##n WRITE \
                   setSchedule_##Day##Edge##n NOTIFY ScheduleChanged)
    TARN_TIME_PROPERTIES(TARN_SCHEDULE_EDITOR_TIME_PROPERTY)
#undef TARN_SCHEDULE_EDITOR_TIME_PROPERTY

public:
    /// The colours of the bars: the editor's own fixed colours, or the application's palette.
    enum class ColorScheme { Classic, Palette };
    Q_ENUM(ColorScheme)

    explicit ScheduleEditor(QQuickItem* parent = nullptr);
    /// Runs the control's Terminate.
    ~ScheduleEditor() override;

    /// True while the user may edit: false disables all ten buttons and the pointer on the bars.
    bool Enable() const;
    void setEnable(bool vData);
    /// The caption of the eighth day button, "Special" at creation.
    QString SpecialDayCaption() const;
    void setSpecialDayCaption(const QString& vData);
    /// False disables the eighth day button and selections on its bar.
    bool SpecialDayEnabled() const;
    void setSpecialDayEnabled(bool vData);
    ColorScheme colorScheme() const;
    void setColorScheme(ColorScheme scheme);
    /// The least height and width of a button or bar, in pixels, so that a finger does not miss
    /// it. By default the platform's touch size: 0.3 inch on the editor's screen (48 pixels at
    /// 160 per inch) where the system has a touch screen, 0 where it has none. The editor's
    /// implicit size is the least at which every button and bar is at least this large, and never
    /// less than the design size: given that much room, no target is smaller; given less, they
    /// shrink with the editor. A value outside 0 to 500 is refused with a warning.
    qreal touchSize() const;
    void setTouchSize(qreal size);
    void resetTouchSize();

    /// A time property by index, 0 to 63; a value outside -32768 to 32767 or another index is
    /// refused with a warning and changes nothing.
    Q_INVOKABLE int timeValue(int index) const;
    Q_INVOKABLE void setTimeValue(int index, int vData);

#define TARN_SCHEDULE_EDITOR_TIME_ACCESSORS(Day, Edge, n, index) \
    int Schedule_##Day##Edge##n() const {                        \
        return timeValue(index);                                 \
    }                                                            \
    void setSchedule_##Day##Edge##n(int vData) {                 \
        setTimeValue(index, vData);                              \
    }
    TARN_TIME_PROPERTIES(TARN_SCHEDULE_EDITOR_TIME_ACCESSORS)
#undef TARN_SCHEDULE_EDITOR_TIME_ACCESSORS

    // Whole days and weeks as "HH:MM-HH:MM" texts; days are 0 to 7, Monday to Sunday, then
    // Special. A write redraws all rows once and emits no ScheduleUpdated; it returns "" when
    // accepted and the reason when refused, and a refused write changes nothing.

    /// The day's enabled ranges; none for a day outside 0 to 7.
    Q_INVOKABLE QStringList dayRanges(int day) const;
    /// Replaces a day's ranges, given in any order; touching ranges merge.
    Q_INVOKABLE QString setDayRanges(int day, const QStringList& ranges);
    /// All eight days, each a list of ranges.
    Q_INVOKABLE QVariantList weekRanges() const;
    /// Replaces all eight days at once: a list of eight lists of ranges.
    Q_INVOKABLE QString setWeekRanges(const QVariantList& week);
    /// Writes the ranges of day from to every day of to.
    Q_INVOKABLE QString copyDay(int from, const QList<int>& to);

    // The same for C++ hosts, with the value types and nothing for accepted.
    DayRanges dayRangesOf(int day) const;
    std::optional<QString> writeDay(int day, const DayRanges& ranges);
    std::optional<QString> writeWeek(const WeekRanges& week);

    /// Redraws all rows on the next tick of the redraw timer.
    Q_INVOKABLE void Refresh();
    /// Sets all 64 time properties to 0, then redraws on the next tick. Emits nothing.
    Q_INVOKABLE void Reset();

    /// Does nothing. A program that links TarnSchedule::Quick calls it as it starts (CMake
    /// compiles the call into it), so that the linker keeps the library, and with it
    /// `import TarnSchedule`, where only QML names the editor.
    static void keepLinked();
    /// Replaces the host services; the redraw timer keeps its armed state.
    void setHostServices(ScheduleEditorServices services);
    /// True while a redraw is due on the timer's next tick.
    bool timerArmed() const;
    /// Delivers the redraw timer's tick when it is armed; false when it was not.
    bool deliverTimerTick();

Q_SIGNALS:
    /// The user applied a selection and the time properties of its day changed.
    void ScheduleUpdated();
    /// One or more of the 64 time properties changed, whoever changed them; once per call.
    void ScheduleChanged();
    /// The same two for QML's handlers, which take a signal's name from a lower-case letter:
    /// `onScheduleUpdated`, `onScheduleChanged`. Each follows its namesake at once.
    void scheduleUpdated();
    void scheduleChanged();
    void touchSizeChanged();

protected:
    void componentComplete() override;
    void itemChange(ItemChange change, const ItemChangeData& value) override;
    void geometryChange(const QRectF& newGeometry, const QRectF& oldGeometry) override;
    QSGNode* updatePaintNode(QSGNode* old, UpdatePaintNodeData* data) override;
    void hoverLeaveEvent(QHoverEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    bool childMouseEventFilter(QQuickItem* item, QEvent* event) override;

private:
    friend class ScheduleEditorInternals;
    struct TARN_SCHEDULE_QUICK_NO_EXPORT Private;
    std::unique_ptr<Private> const d;
};

}  // namespace tarn
