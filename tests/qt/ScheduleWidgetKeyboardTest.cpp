// The keyboard on the real widget beyond what the keyboard examples show: keys reaching the bar
// past a window's shortcuts, the cursor drawn over a bar and never into it, the time hint's
// label, and the events a screen reader hears.
#include <QAccessible>
#include <QAccessibleValueInterface>
#include <QAction>
#include <QLabel>
#include <QSignalSpy>
#include <vector>

#include "WidgetTestSupport.h"
#include "controller/CursorFrame.h"
#include "controller/ScheduleController.h"
#include "frontends/widgets/BarAccessibility.h"
#include "frontends/widgets/ScheduleOverlays.h"

namespace tarn::test {
namespace {

/// Accessibility events seen while a test listens, as (object, type).
std::vector<std::pair<QObject*, QAccessible::Event>> gAccessibleEvents;

void RecordAccessibleEvent(QAccessibleEvent* event) {
    gAccessibleEvents.emplace_back(event->object(), event->type());
}

/// A shown, active control with its keyboard.
struct KeyboardControl : TestControl {
    KeyboardControl() {
        widget.show();
        widget.activateWindow();
        active = QTest::qWaitForWindowActive(&widget);
    }
    bool active = false;
    /// Presses key on whatever has the focus, or on the window when nothing has.
    void press(int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        QWidget* target = QApplication::focusWidget();
        QTest::keyClick(target != nullptr ? target : &widget, static_cast<Qt::Key>(key), modifiers);
    }
    qt::CursorOverlay& cursor() { return ScheduleWidgetInternals::Cursor(widget); }
    qt::HintLabel& hint() { return ScheduleWidgetInternals::Hint(widget); }
};

}  // namespace

class ScheduleWidgetKeyboardTest : public QObject {
    Q_OBJECT
private slots:
    // Keys pass through a window's shortcut for them to the bar. What the keys do, Up and Down
    // moving the focus included, is played by the keyboard examples on the real widget.
    void keysPassAWindowsShortcutToTheBar() {
        KeyboardControl c;
        QVERIFY(c.active);
        auto* shortcut = new QAction(&c.widget);
        shortcut->setShortcut(Qt::Key_Home);
        c.widget.addAction(shortcut);
        QSignalSpy triggered(shortcut, &QAction::triggered);
        c.bar(5).setFocus(Qt::TabFocusReason);
        c.press(Qt::Key_End);
        c.press(Qt::Key_Home);
        QCOMPARE(c.controller().CursorBlock(), 0);
        QCOMPARE(triggered.size(), 0);
    }

    void cursorShowsOverTheBarNeverInIt() {
        KeyboardControl c;
        QVERIFY(c.active);
        // Wednesday enabled from 04:30, block 18, on a bar 1000 pixels wide: there the block's
        // accumulated left edge rounds to another column than 18 * 1000 / 96 does.
        c.widget.setTimeValue(TimePropertyIndex(2, 1, false), 430);
        c.widget.setTimeValue(TimePropertyIndex(2, 1, true), 2400);
        c.bar(2).resize(1000 + 4, c.bar(2).height());
        c.widget.Refresh();
        c.widget.deliverTimerTick();
        const QImage before = c.bar(2).image();
        c.bar(2).setFocus(Qt::TabFocusReason);
        QVERIFY2(c.cursor().isVisible(), "a bar shows that it has the focus at once");
        for (int block = 0; block < 18; ++block)
            c.press(Qt::Key_Right);
        QVERIFY(c.cursor().isVisible());
        QCOMPARE(c.bar(2).image(), before);
        // A 2-pixel frame around block 18, which shows inside it: the inside starts on the
        // block's first column, the red of block 17 just left of it.
        const QRect frame = c.cursor().CursorRect();
        const QPoint inner = c.bar(2).geometry().topLeft() + QPoint(2, 2);
        const int height = c.bar(2).innerSize().height();
        QCOMPARE(frame.top(), inner.y() - 2);
        QCOMPARE(frame.height(), height + 4);
        const int left = frame.left() + 2 - inner.x();
        const int middle = height / 2;
        QCOMPARE(c.bar(2).pixelAt(left - 1, middle), c.bar(2).pixelAt(5, middle));
        QCOMPARE(c.bar(2).pixelAt(left, middle), c.bar(2).pixelAt(995, middle));
        const QImage shown = c.widget.grab().toImage();
        const QColor colour = c.controller().Cursor().colour;
        QCOMPARE(shown.pixelColor(frame.topLeft()), colour);
        QCOMPARE(shown.pixelColor(frame.topLeft() + QPoint(1, 1)), colour);
        QCOMPARE(shown.pixel(frame.topLeft() + QPoint(2, 2)), c.bar(2).pixelAt(left, 0));
        // The cursor does not take the mouse: a press on it reaches the bar beneath.
        QCOMPARE(c.widget.childAt(frame.center()), &c.bar(2));
        // It goes with the focus.
        c.bar(2).clearFocus();
        QVERIFY(!c.cursor().isVisible());
    }

    void hintLabelFollowsPointerAndCursor() {
        KeyboardControl c;
        QVERIFY(c.active);
        QVERIFY(!c.hint().isVisible());
        c.mouse(1, QEvent::MouseMove, 100, Qt::NoButton, Qt::NoButton);
        const QString text = c.controller().Hint().text;
        QVERIFY(!text.isEmpty());
        QVERIFY(c.hint().isVisible());
        QCOMPARE(c.hint().text(), text);
        QVERIFY(c.widget.rect().contains(c.hint().geometry()));
        QVERIFY(!c.hint().geometry().intersects(c.bar(1).geometry().adjusted(0, 0, 0, -34)));
        // Leaving the control takes the hint away.
        QEvent leave(QEvent::Leave);
        QApplication::sendEvent(&c.widget, &leave);
        QVERIFY(!c.hint().isVisible());
        // The keyboard's hint sits by the cursor, on the right edge too.
        c.bar(0).setFocus(Qt::TabFocusReason);
        c.press(Qt::Key_End);
        QVERIFY(c.hint().isVisible());
        QCOMPARE(c.hint().text(), c.controller().Hint().text);
        QVERIFY(c.widget.rect().contains(c.hint().geometry()));
        QVERIFY(!c.hint().geometry().intersects(c.cursor().CursorRect()));
        QVERIFY(c.hint().testAttribute(Qt::WA_TransparentForMouseEvents));
    }

    // What a screen reader reads for a bar is played by the keyboard-hint example; here, its role
    // and value, and the events it hears.
    void screenReadersReadAndHearTheBars() {
        KeyboardControl c;
        QVERIFY(c.active);
        qt::SetAccessibleEventSink(RecordAccessibleEvent);
        QAccessibleInterface* bar = QAccessible::queryAccessibleInterface(&c.bar(0));
        QVERIFY(bar != nullptr);
        QCOMPARE(bar->role(), QAccessible::Slider);
        QVERIFY(bar->state().focusable);
        QCOMPARE(bar->valueInterface()->maximumValue().toInt(), 95);

        gAccessibleEvents.clear();
        QVERIFY(!c.widget.setDayRanges(0, QStringList{"13:00-17:30", "08:00-12:00"}));
        const auto heard = [](QObject* object, QAccessible::Event type) {
            for (const auto& [seen, seenType] : gAccessibleEvents)
                if (seen == object && seenType == type) return true;
            return false;
        };
        QVERIFY(heard(&c.bar(0), QAccessible::DescriptionChanged));
        QVERIFY(!heard(&c.bar(1), QAccessible::DescriptionChanged));

        c.bar(0).setFocus(Qt::TabFocusReason);
        c.press(Qt::Key_Right, Qt::ControlModifier);
        QVERIFY(heard(&c.bar(0), QAccessible::ValueChanged));
        QCOMPARE(bar->valueInterface()->currentValue().toInt(), 4);
        QCOMPARE(bar->text(QAccessible::Value), QStringLiteral("01:00-01:15"));

        c.widget.setSpecialDayCaption(QStringLiteral("Holiday"));
        QAccessibleInterface* special = QAccessible::queryAccessibleInterface(&c.bar(7));
        QVERIFY(heard(&c.bar(7), QAccessible::NameChanged));
        c.widget.setSpecialDayEnabled(false);
        QVERIFY(!special->state().focusable);
        qt::SetAccessibleEventSink(nullptr);
    }
};

}  // namespace tarn::test

QTEST_MAIN(tarn::test::ScheduleWidgetKeyboardTest)
#include "ScheduleWidgetKeyboardTest.moc"
