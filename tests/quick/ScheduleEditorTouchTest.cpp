// The editor on a touch panel: inside a Flickable, a finger or the mouse dragged along a bar
// selects, even in a fast swipe on a page that scrolls sideways, and a finger dragged down the bar
// scrolls; a tap on a button clicks it; a message box holds the host's calls. The keyboard through
// the window moves the focus, the cursor and the selection. Targets take the touch size given the
// room, and a palette set in Qt Quick colours the editor.
#include <QGuiApplication>
#include <QPalette>
#include <QPointingDevice>
#include <QQmlComponent>
#include <QQmlEngine>
#include <QQuickWindow>
#include <QSignalSpy>
#include <QStyleHints>
#include <QTest>
#include <memory>

#include "TarnSchedule/ScheduleEditor.h"

using tarn::ScheduleEditor;

class ScheduleEditorTouchTest : public QObject {
    Q_OBJECT

private:
    QQmlEngine engine_;
    std::unique_ptr<QQuickWindow> window_;
    std::unique_ptr<QQuickItem> flickable_;
    ScheduleEditor* editor_ = nullptr;
    std::unique_ptr<QPointingDevice> device_{QTest::createTouchDevice()};
    QPointingDevice* touch_ = device_.get();

    QQuickItem& Child(const QString& name) {
        auto* child = editor_->findChild<QQuickItem*>(name);
        if (child == nullptr) qFatal("no %s", qPrintable(name));
        return *child;
    }

    /// A finger from `from` on item by steps of `step`, lifted after `steps` of them.
    void Drag(QQuickItem& item, QPointF from, QPointF step, int steps) {
        QPoint at = item.mapToScene(from).toPoint();
        QTest::touchEvent(window_.get(), touch_).press(0, at, window_.get());
        for (int i = 0; i < steps; ++i) {
            at += step.toPoint();
            QTest::touchEvent(window_.get(), touch_).move(0, at, window_.get());
        }
        QTest::touchEvent(window_.get(), touch_).release(0, at, window_.get());
    }

    QObject* OpenDialog() {
        for (QObject* child : editor_->children())
            if (child->inherits("QQuickDialog") && child->property("opened").toBool()) return child;
        return nullptr;
    }

    void Tap(const QString& button) {
        QQuickItem& item = Child(button);
        Drag(item, QPointF(item.width() / 2, item.height() / 2), QPointF(), 0);
    }

private Q_SLOTS:
    void initTestCase() { QQuickWindow::setGraphicsApi(QSGRendererInterface::Software); }

    void init() {
        window_ = std::make_unique<QQuickWindow>();
        QQmlComponent component(&engine_);
        // A page that scrolls up and down, taller than its view.
        component.setData(R"(import QtQuick
import TarnSchedule
Flickable {
    width: 700; height: 200; contentHeight: 600; flickableDirection: Flickable.VerticalFlick
    ScheduleEditor { objectName: "editor" }
})",
                          QUrl());
        flickable_.reset(qobject_cast<QQuickItem*>(component.create()));
        QVERIFY2(flickable_ != nullptr, qPrintable(component.errorString()));
        editor_ = flickable_->findChild<ScheduleEditor*>("editor");
        QVERIFY(editor_ != nullptr);
        flickable_->setParentItem(window_->contentItem());
        window_->resize(700, 200);
        window_->show();
        QVERIFY(QTest::qWaitForWindowExposed(window_.get()));
    }

    void cleanup() {
        flickable_.reset();
        window_.reset();
    }

    void dragAlongBarSelectsAndDownBarScrolls() {
        QQuickItem& monday = Child("Schedule(0)");
        Drag(monday, QPointF(193, 10), QPointF(4, 0), 10);  // 08:00 to 09:45
        QCOMPARE(flickable_->property("contentY").toDouble(), 0.0);
        Tap("cmdEnable");
        QTRY_COMPARE(editor_->dayRanges(0), QStringList{"08:00-09:45"});

        // A mouse drags through the window as a finger does.
        QQuickItem& wednesday = Child("Schedule(2)");
        const QPoint from = wednesday.mapToScene(QPointF(193, 10)).toPoint();
        QTest::mousePress(window_.get(), Qt::LeftButton, {}, from);
        for (int i = 1; i <= 10; ++i)
            QTest::mouseMove(window_.get(), from + QPoint(4 * i, 0));
        QTest::mouseRelease(window_.get(), Qt::LeftButton, {}, from + QPoint(40, 0));
        Tap("cmdEnable");
        QTRY_COMPARE(editor_->dayRanges(2), QStringList{"08:00-09:45"});

        QQuickItem& tuesday = Child("Schedule(1)");
        Drag(tuesday, QPointF(193, 10), QPointF(0, -8), 10);
        QTRY_VERIFY(flickable_->property("contentY").toDouble() > 0);
        Tap("cmdEnable");
        QCOMPARE(editor_->dayRanges(1), QStringList{});
    }

    void fastSwipeAlongBarSelectsInAPageThatScrollsSideways() {
        flickable_->setProperty("flickableDirection", 3);  // Flickable.HorizontalAndVerticalFlick
        flickable_->setProperty("contentWidth", 1400);
        // Each step past the distance at which a Flickable takes a drag; a drag down still scrolls.
        const QPointF step(3 * QGuiApplication::styleHints()->startDragDistance(), 0);
        Drag(Child("Schedule(0)"), QPointF(193, 10), step, 3);
        QCOMPARE(flickable_->property("contentX").toDouble(), 0.0);
        Tap("cmdEnable");
        QTRY_VERIFY(editor_->dayRanges(0).value(0).startsWith("08:00-"));
        Drag(Child("Schedule(1)"), QPointF(193, 10), QPointF(0, -8), 10);
        QTRY_VERIFY(flickable_->property("contentY").toDouble() > 0);
    }

    void tapOnDayButtonSelectsTheDay() {
        Tap("cmdDay(2)");
        Tap("cmdEnable");
        QTRY_COMPARE(editor_->dayRanges(2), QStringList{"00:00-24:00"});
    }

    void keysMoveFocusAndCursorAndTheHintStaysAtTheCursor() {
        QTest::keyClick(window_.get(), Qt::Key_Tab);
        QCOMPARE(window_->activeFocusItem(), &Child("cmdDay(0)"));
        QTest::keyClick(window_.get(), Qt::Key_Tab);
        QCOMPARE(window_->activeFocusItem(), &Child("Schedule(0)"));
        QTest::keyClick(window_.get(), Qt::Key_Backtab, Qt::ShiftModifier);
        QTest::keyClick(window_.get(), Qt::Key_Backtab, Qt::ShiftModifier);
        QCOMPARE(window_->activeFocusItem(), &Child("cmdDisable"));

        // The pointer clicks 08:00 on Monday and rests there while the keys select on from it;
        // the frames that follow do not take the hint back to the pointer.
        QQuickItem& monday = Child("Schedule(0)");
        const QPoint at = monday.mapToScene(QPointF(193, 10)).toPoint();
        QTest::mouseClick(window_.get(), Qt::LeftButton, {}, at);
        QCOMPARE(window_->activeFocusItem(), &monday);
        for (int i = 0; i < 3; ++i)
            QTest::keyClick(window_.get(), Qt::Key_Right, Qt::ShiftModifier);
        QQuickItem& hint = Child("hint");
        QCOMPARE(hint.property("text").toString(), "Monday 08:00-09:00");
        QSignalSpy frames(window_.get(), &QQuickWindow::frameSwapped);
        for (int i = 0; i < 3; ++i) {
            window_->update();
            QVERIFY(frames.wait());
        }
        QCOMPARE(hint.property("text").toString(), "Monday 08:00-09:00");
        QTest::keyClick(window_.get(), Qt::Key_Return);
        QCOMPARE(editor_->dayRanges(0), QStringList{"08:00-09:00"});
    }

    void targetsAreTheTouchSizeWhenTheEditorHasTheRoom() {
        QVERIFY(editor_->touchSize() > 0);  // the test's touch screen makes a touch platform
        const auto smallest = [this] {
            QSizeF least(1e9, 1e9);
            for (QQuickItem* item : editor_->childItems())
                if (item->objectName().startsWith("cmd") ||
                    item->objectName().startsWith("Schedule("))
                    least = least.boundedTo(item->size());
            return least;
        };
        editor_->setTouchSize(90);
        QCOMPARE(editor_->size(), QSizeF(editor_->implicitWidth(), editor_->implicitHeight()));
        QTRY_VERIFY(smallest().height() >= 90 && smallest().width() >= 90);
        // The implicit size is the least that does: a pixel less and a target is too small.
        editor_->setHeight(editor_->implicitHeight() - 1);
        QTRY_VERIFY(smallest().height() < 90);
        editor_->setWidth(editor_->implicitWidth() - 1);
        QTRY_VERIFY(smallest().width() < 90);
    }

    void paletteSetInQtQuickColoursTheEditor() {
        editor_->setColorScheme(ScheduleEditor::ColorScheme::Palette);
        // Whether some pixel of item, as the window shows it, has colour.
        const auto shows = [this](const QQuickItem& item, QRgb colour) {
            const QImage shot = window_->grabWindow();
            for (int x = 0; x < int(item.width()); ++x)
                for (int y = 0; y < int(item.height()); ++y)
                    if (shot.pixel(item.mapToScene(QPointF(x, y)).toPoint()) == colour) return true;
            return false;
        };
        // The application's palette, changed while the editor is shown, and then a palette given
        // to the page alone, reach the editor.
        QPalette application = QGuiApplication::palette();
        application.setColor(QPalette::Base, QColor(0x11, 0x22, 0x33));
        QGuiApplication::setPalette(application);
        QTRY_VERIFY(shows(Child("Schedule(0)"), qRgb(0x11, 0x22, 0x33)));
        QObject* palette = flickable_->property("palette").value<QObject*>();
        QVERIFY(palette != nullptr);
        palette->setProperty("base", QColor(0x10, 0x20, 0x30));
        palette->setProperty("window", QColor(0x30, 0x20, 0x10));
        QTRY_VERIFY(shows(Child("Schedule(0)"), qRgb(0x10, 0x20, 0x30)));
        QCOMPARE(window_->grabWindow().pixel(editor_->mapToScene(QPointF(2, 2)).toPoint()),
                 qRgb(0x30, 0x20, 0x10));
    }

    void dialogHoldsTheHostsCallsUntilClosed() {
        QCOMPARE(
            editor_->setDayRanges(0, {"00:00-01:00", "02:00-03:00", "04:00-05:00", "06:00-07:00"}),
            QString());
        Drag(Child("Schedule(0)"), QPointF(193, 10), QPointF(4, 0), 10);
        Tap("cmdEnable");  // a fifth region: refused with a message
        QObject* dialog = nullptr;
        QTRY_VERIFY((dialog = OpenDialog()) != nullptr);
        QVERIFY(dialog->property("title").toString().contains("Error"));
        auto* icon = dialog->findChild<QQuickItem*>("icon");
        QVERIFY(icon != nullptr && icon->isVisible());  // the box's warning mark
        QCOMPARE(editor_->setDayRanges(3, {"10:00-11:00"}), QString());
        QCOMPARE(editor_->dayRanges(3), QStringList{});  // held behind the box
        QMetaObject::invokeMethod(dialog, "accept");
        QTRY_COMPARE(editor_->dayRanges(3), QStringList{"10:00-11:00"});
    }
};

QTEST_MAIN(ScheduleEditorTouchTest)
#include "ScheduleEditorTouchTest.moc"
