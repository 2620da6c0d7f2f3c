#include "TarnSchedule/ScheduleEditor.h"

#include <QtQml/qqml.h>
#include <QAccessible>
#include <QGuiApplication>
#include <QHoverEvent>
#include <QInputDevice>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPointer>
#include <QQmlComponent>
#include <QQmlEngine>
#include <QQuickWindow>
#include <QScreen>
#include <QTouchEvent>
#include <algorithm>
#include <cmath>
#include <utility>

#include "controller/ScheduleController.h"
#include "frontends/quick/QuickItems.h"
#include "frontends/quick/QuickPlatform.h"
#include "frontends/quick/ScheduleEditorInternals.h"
#include "platform/Host.h"
#include "platform/PixelRatio.h"

// The QML module's registration, generated beside the editor.
void qml_register_types_TarnSchedule();

namespace tarn {

namespace {

// A button whose caption is wider than the room its style leaves gives up some of its side
// padding first, so that "Wednesday" is not cut short on a narrow editor.
constexpr char kButtonSource[] = R"(import QtQuick
import QtQuick.Controls
Button {
    focusPolicy: Qt.StrongFocus
    Component.onCompleted: {
        const left = leftPadding, right = rightPadding
        const room = () => Math.max(0, (width - contentItem.implicitWidth) / 2)
        leftPadding = Qt.binding(() => Math.min(left, room()))
        rightPadding = Qt.binding(() => Math.min(right, room()))
    }
}
)";
constexpr char kAccessibleProbe[] = "import QtQuick\nItem { Accessible.role: Accessible.Slider }\n";
// The message box: its text beside a round mark in the colours of its kind, a red cross for an
// error and an amber exclamation mark for a warning, named for screen readers; none for a plain
// message.
constexpr char kDialogSource[] = R"(import QtQuick
import QtQuick.Controls
Dialog {
    property alias text: label.text
    property string kind
    modal: true
    closePolicy: Popup.CloseOnEscape
    standardButtons: Dialog.Ok
    anchors.centerIn: parent
    Row {
        spacing: label.font.pixelSize > 0 ? label.font.pixelSize : 12
        FontMetrics { id: metrics; font: label.font }
        Rectangle {
            objectName: "icon"
            visible: kind !== ""
            width: Math.ceil(metrics.height * 1.6); height: width; radius: width / 2
            color: kind === "critical" ? "#d32f2f" : "#f2a900"
            Accessible.role: Accessible.Graphic
            Accessible.name: kind === "critical" ? qsTr("Error") : qsTr("Warning")
            Text {
                anchors.centerIn: parent
                text: kind === "critical" ? "\u00d7" : "!"
                color: kind === "critical" ? "white" : "black"
                font.bold: true
                font.pixelSize: Math.round(parent.height * 0.7)
                Accessible.ignored: true
            }
        }
        Label { id: label; anchors.verticalCenter: parent.verticalCenter }
    }
}
)";

/// The object made from source, parented to parent before its bindings complete; null, with the
/// errors as warnings, when it cannot be made.
QObject* Make(QQmlEngine& engine, const char* source, QObject* parent,
              const std::function<void(QObject&)>& beforeComplete = {}) {
    QQmlComponent component(&engine);
    component.setData(QByteArray(source), QUrl());
    QObject* made = component.beginCreate(engine.rootContext());
    if (made == nullptr) {
        for (const QQmlError& error : component.errors())
            qWarning("ScheduleEditor: %s", qPrintable(error.toString()));
        return nullptr;
    }
    made->setParent(parent);
    if (beforeComplete) beforeComplete(*made);
    component.completeCreate();
    return made;
}

constexpr qreal kLargestTouchSize = 500;

/// The platform's touch size on screen: 0.3 inch, as touch platforms advise (48 pixels at 160 per
/// inch), where the system has a touch screen; 0 where it has none, or no screen is known.
qreal PlatformTouchSize(const QScreen* screen) {
    const QList<const QInputDevice*> devices = QInputDevice::devices();
    const bool touch = std::any_of(devices.begin(), devices.end(), [](const QInputDevice* device) {
        return device->type() == QInputDevice::DeviceType::TouchScreen;
    });
    if (!touch || screen == nullptr) return 0;
    // Pixels per inch of the screen's device-independent pixels, the editor's own.
    const qreal density = screen->physicalDotsPerInch();
    return density > 0 ? std::min(0.3 * density, kLargestTouchSize) : 48.0;
}

}  // namespace

struct ScheduleEditor::Private {
    explicit Private(ScheduleEditor& editor)
        : q(editor),
          surface(editor),
          controller([this](platform::HostServices& host) {
              auto made = std::make_unique<quick::QuickPlatform>(q, surface, host, false);
              platform = made.get();
              return made;
          }),
          cursor(new quick::CursorItem(&editor)),
          hint(new quick::HintItem(&editor)) {}

    void Connect() {
        for (int i = 0; i < platform::kDayCount; ++i)
            platform->Bar(i).handler = [this, i](QEvent& event) { BarEvent(i, event); };
        QObject::connect(&platform->RedrawTimer(), &QTimer::timeout, &q,
                         [this] { controller.TimerTick(); });
        using qt::ScheduleController;
        QObject::connect(&controller, &ScheduleController::messageRequested, &q,
                         [this](int request, const QString& text, int style, const QString& title) {
                             ShowMessage(request, text, style, title);
                         });
        QObject::connect(&controller, &ScheduleController::scheduleUpdated, &q, [this] {
            Q_EMIT q.ScheduleUpdated();
            Q_EMIT q.scheduleUpdated();
        });
        QObject::connect(&controller, &ScheduleController::scheduleChanged, &q, [this] {
            Q_EMIT q.ScheduleChanged();
            Q_EMIT q.scheduleChanged();
        });
        QObject::connect(&controller, &ScheduleController::hintChanged, &q, [this] { ShowHint(); });
        QObject::connect(&controller, &ScheduleController::cursorChanged, &q, [this] {
            ShowCursor();
            const int bar = controller.FocusedBar();
            if (bar >= 0 && bar < platform::kDayCount)
                platform->Bar(bar).SetValue(controller.CursorBlock());
        });
        QObject::connect(&controller, &ScheduleController::overlaysMoved, &q,
                         [this] { ShowCursor(); });
        QObject::connect(&controller, &ScheduleController::focusMoveRequested, &q, [this](int bar) {
            platform->Bar(bar).forceActiveFocus(Qt::OtherFocusReason);
        });
        QObject::connect(&controller, &ScheduleController::focusRulesChanged, &q,
                         [this] { ApplyFocusRules(); });
        QObject::connect(&controller, &ScheduleController::delivered, &q,
                         [this] { platform->ShowChanges(); });
        QObject::connect(&controller, &ScheduleController::barTextChanged, &q,
                         [this](int bar, bool, bool) { ShowAccessibleText(bar); });
    }

    /// The buttons as Qt Quick Controls buttons, and the bars' accessible texts, once there is a
    /// QML engine: the editor's own, or one of its own for an editor made in C++.
    void MakeEngineParts() {
        if (partsMade) return;
        QQmlEngine* engine = qmlEngine(&q);
        if (engine == nullptr) {
            ownEngine = std::make_unique<QQmlEngine>();
            engine = ownEngine.get();
        }
        partsMade = true;
        for (int i = 0; i < 10; ++i) {
            auto* button = qobject_cast<QQuickItem*>(Make(*engine, kButtonSource, &q));
            if (button == nullptr) break;
            button->setObjectName(i < 8    ? QStringLiteral("cmdDay(%1)").arg(i)
                                  : i == 8 ? QStringLiteral("cmdEnable")
                                           : QStringLiteral("cmdDisable"));
            button->setParentItem(&q);
            // The focus chain follows the order of the children: each day's button, then its
            // bar, Monday to Special, then Enable and Disable.
            if (i < 8)
                button->stackBefore(&platform->Bar(i));
            else
                button->stackAfter(i == 8 ? static_cast<QQuickItem*>(&platform->Bar(7))
                                          : platform->Button(8).item());
            auto* relay = new quick::ButtonRelay;
            relay->setParent(button);
            relay->onClicked = [this, i] { controller.ButtonClicked(i); };
            QObject::connect(button, SIGNAL(clicked()), relay, SLOT(Clicked()));
            button->installEventFilter(&q);
            platform->Button(i).Attach(button);
        }
        // Qt Quick's Accessible attached type has no C++ header: its meta-object is taken from an
        // item that QML attached it to.
        if (QObject* probe = Make(*engine, kAccessibleProbe, nullptr)) {
            for (QObject* child : probe->children())
                if (qstrcmp(child->metaObject()->className(), "QQuickAccessibleAttached") == 0)
                    accessibleType = child->metaObject();
            delete probe;
        }
        for (int i = 0; i < platform::kDayCount; ++i)
            ShowAccessibleText(i);
        ApplyFocusRules();
    }

    QObject* AccessibleOf(int bar) {
        if (accessibleType == nullptr) return nullptr;
        QQuickItem& item = platform->Bar(bar);
        return qmlAttachedPropertiesObject(&item,
                                           qmlAttachedPropertiesFunction(&item, accessibleType));
    }

    /// Each bar is a slider for screen readers, named by its row's caption and described by its
    /// enabled ranges.
    void ShowAccessibleText(int bar) {
        QObject* accessible = AccessibleOf(bar);
        if (accessible == nullptr) return;
        accessible->setProperty("role", QVariant::fromValue(QAccessible::Slider));
        accessible->setProperty("name", controller.BarName(bar));
        accessible->setProperty("description", controller.BarDescription(bar));
    }

    /// Shows the control's message box through the host's service or a Controls Dialog; request
    /// is answered once, when the box is closed, and not at all once the editor is gone.
    void ShowMessage(int request, const QString& text, int style, const QString& title) {
        auto reply = [controller = QPointer<qt::ScheduleController>(&controller), request] {
            if (controller) controller->AnswerMessage(request);
        };
        if (services.messageRequest) {
            services.messageRequest(text, style, title, reply);
            return;
        }
        QQmlEngine* engine = ownEngine ? ownEngine.get() : qmlEngine(&q);
        QQuickWindow* window = q.window();
        QObject* dialog = nullptr;
        if (engine != nullptr && window != nullptr)
            dialog = Make(*engine, kDialogSource, &q, [&](QObject& made) {
                made.setProperty("parent", QVariant::fromValue(window->contentItem()));
                made.setProperty("title", title);
                made.setProperty("text", text);
                made.setProperty("kind", style == platform::kStyleCritical      ? "critical"
                                         : style == platform::kStyleExclamation ? "warning"
                                                                                : "");
            });
        if (dialog == nullptr) {
            // Nowhere to show it: the message goes to the log and the control goes on.
            qWarning("ScheduleEditor: %s: %s", qPrintable(title), qPrintable(text));
            reply();
            return;
        }
        auto* relay = new quick::ButtonRelay;
        relay->setParent(dialog);
        relay->onClicked = [dialog, reply] {
            dialog->deleteLater();
            reply();
        };
        QObject::connect(dialog, SIGNAL(closed()), relay, SLOT(Clicked()));
        QMetaObject::invokeMethod(dialog, "open");
    }

    void BarEvent(int index, QEvent& event) {
        quick::BarItem& bar = platform->Bar(index);
        switch (event.type()) {
            case QEvent::MouseButtonPress:
            case QEvent::MouseButtonDblClick: {
                auto& mouse = static_cast<QMouseEvent&>(event);
                // A bar that may take the focus takes it on a press on its own pixels, before the
                // press itself.
                if (controller.BarTakesFocus(index) && bar.isEnabled() && !bar.hasActiveFocus() &&
                    OnItem(bar, mouse.position()))
                    bar.forceActiveFocus(Qt::MouseFocusReason);
                controller.PointerPressed(index, mouse.position(), mouse.button(),
                                          mouse.modifiers());
                mouse.accept();
                return;
            }
            case QEvent::MouseMove: {
                auto& mouse = static_cast<QMouseEvent&>(event);
                controller.PointerMoved(index, mouse.position(), mouse.buttons(),
                                        mouse.modifiers());
                mouse.accept();
                return;
            }
            case QEvent::HoverMove: {
                auto& hover = static_cast<QHoverEvent&>(event);
                // Qt Quick repeats the hover after every frame with the pointer standing still;
                // only a real move is one, or the hint a key put at the cursor would jump back
                // to the pointer.
                if (hover.position() == hover.oldPosF()) return;
                controller.PointerMoved(index, hover.position(), Qt::NoButton, hover.modifiers());
                return;
            }
            case QEvent::MouseButtonRelease: {
                auto& mouse = static_cast<QMouseEvent&>(event);
                controller.PointerReleased(index, mouse.position(), mouse.button(),
                                           mouse.modifiers());
                mouse.accept();
                return;
            }
            case QEvent::ShortcutOverride: {
                auto& key = static_cast<QKeyEvent&>(event);
                if (qt::ScheduleController::IsBarKey(key.key())) key.accept();
                return;
            }
            case QEvent::KeyPress: {
                auto& key = static_cast<QKeyEvent&>(event);
                if (IsFocusMoveHeld(key) ||
                    controller.KeyPressed(index, key.key(), key.modifiers()))
                    key.accept();
                return;
            }
            case QEvent::FocusIn:
                controller.BarFocusIn(index);
                return;
            case QEvent::FocusOut:
                controller.BarFocusOut(index);
                return;
            default:
                return;
        }
    }

    /// Whether the whole pixel at point lies on item.
    static bool OnItem(const QQuickItem& item, QPointF point) {
        if (!(std::abs(point.x()) < 1e9 && std::abs(point.y()) < 1e9)) return false;
        return QRect(0, 0, static_cast<int>(item.width()), static_cast<int>(item.height()))
            .contains(point.toPoint());
    }

    /// While the control itself disables a widget that has the focus, the focus goes nowhere
    /// rather than on along the chain.
    bool IsFocusMoveHeld(const QKeyEvent& key) const {
        return (key.key() == Qt::Key_Tab || key.key() == Qt::Key_Backtab) &&
               controller.FocusMovesBlocked();
    }

    /// Bars take the focus only while the control lets them; a bar that has the focus and may no
    /// longer keep it loses it, and the focus goes nowhere.
    void ApplyFocusRules() {
        for (int i = 0; i < platform::kDayCount; ++i) {
            quick::BarItem& bar = platform->Bar(i);
            const bool takes = controller.BarTakesFocus(i);
            // Qt Quick keeps an item that has the focus on the chain: it loses the focus first.
            if (!takes && bar.hasActiveFocus()) bar.setFocus(false);
            bar.setActiveFocusOnTab(takes);
        }
    }

    void ShowCursor() {
        const qt::CursorView view = controller.Cursor();
        const bool visible = view.shown && platform->Bar(view.bar).isVisible();
        cursor->ShowFrame(visible ? view.frame : QRect(), view.colour);
        if (controller.Hint().followsCursor) ShowHint();
    }

    void ShowHint() {
        const qt::HintPlace place = controller.Hint();
        hint->ShowText(place.text, place.anchor, place.below);
    }

    /// Takes the editor's Qt Quick palette, which it inherits from its parents and window, for
    /// its own colours, and for the bars' in the Palette scheme.
    void FollowPalette() {
        palette = quick::PaletteOf(q);
        for (int i = 0; i < platform::kDayCount; ++i)
            platform->Bar(i).SetPalette(palette);
        hint->SetPalette(palette);
        controller.PaletteChanged(palette);
        q.update();
    }

    /// Asks for the room the touch size needs, the set one or else the platform's on the screen
    /// the editor is shown on.
    void FollowTouchSize() {
        QQuickWindow* window = q.window();
        const qreal size = touchSizeSet.value_or(PlatformTouchSize(
            window != nullptr ? window->screen() : QGuiApplication::primaryScreen()));
        const QSize room = qt::ScheduleController::SizeForTargets(size);
        q.setImplicitSize(room.width(), room.height());
        if (size == touchSize) return;
        touchSize = size;
        Q_EMIT q.touchSizeChanged();
    }

    /// Keeps the bars' pixels at the density of the window the editor is shown in (1 to 4); a
    /// change starts them again and asks for a redraw, as a repaint request does.
    void FollowPixelRatio() {
        QQuickWindow* window = q.window();
        const double ratio =
            platform::UsableRatio(window != nullptr ? window->effectiveDevicePixelRatio() : 1.0);
        if (ratio == platform->Bar(0).PixelRatio()) return;
        for (int i = 0; i < platform::kDayCount; ++i)
            platform->Bar(i).SetPixelRatio(ratio);
        controller.PaintRequested();
        ShowCursor();
    }

    /// Follows the window the editor is shown in, whose exposures are the window system's
    /// requests to repaint.
    void WatchWindow(QQuickWindow* window) {
        if (window == watchedWindow) return;
        if (watchedWindow != nullptr) {
            watchedWindow->removeEventFilter(&q);
            QObject::disconnect(watchedWindow, &QWindow::screenChanged, &q, nullptr);
        }
        watchedWindow = window;
        if (window == nullptr) return;
        window->installEventFilter(&q);
        QObject::connect(window, &QWindow::screenChanged, &q, [this] { FollowTouchSize(); });
        FollowPixelRatio();
        // Placed in a window that is already on screen: no exposure will follow.
        if (window->isExposed()) controller.PaintRequested();
    }

    ScheduleEditor& q;
    ScheduleEditorServices services;
    quick::SurfaceText surface;
    quick::QuickPlatform* platform = nullptr;
    qt::ScheduleController controller;
    quick::CursorItem* cursor;
    quick::HintItem* hint;
    std::unique_ptr<QQmlEngine> ownEngine;
    QPalette palette;
    std::optional<qreal> touchSizeSet;
    qreal touchSize = 0;
    const QMetaObject* accessibleType = nullptr;
    QPointer<QQuickWindow> watchedWindow;
    bool partsMade = false;
    bool initialized = false;
};

ScheduleEditor::ScheduleEditor(QQuickItem* parent)
    : QQuickItem(parent), d(std::make_unique<Private>(*this)) {
    // Linking the editor links the module's registration, which registers TarnSchedule as the
    // program starts: an application that links a static build imports it with no plugin.
    static void (*volatile const registration)() = &qml_register_types_TarnSchedule;
    (void)registration;
    setFlag(ItemHasContents);
    setAcceptHoverEvents(true);
    setFiltersChildMouseEvents(true);
    // The control takes the size it is created at for its design size.
    const QSize design = qt::ScheduleController::DesignSize();
    setImplicitSize(design.width(), design.height());
    d->Connect();
    d->FollowPalette();
    connect(this, &QQuickItem::paletteChanged, this, [this] { d->FollowPalette(); });
    d->controller.Initialize();
    d->initialized = true;
    d->ApplyFocusRules();
    d->FollowTouchSize();
}

ScheduleEditor::~ScheduleEditor() {
    if (d->watchedWindow != nullptr) d->watchedWindow->removeEventFilter(this);
    d->controller.Terminate();
    // The children outlive the controller by a little: what reaches them then goes nowhere.
    for (int i = 0; i < platform::kDayCount; ++i)
        d->platform->Bar(i).handler = nullptr;
    for (int i = 0; i < 10; ++i)
        delete d->platform->Button(i).item();
}

bool ScheduleEditor::Enable() const {
    return d->controller.Enable();
}
void ScheduleEditor::setEnable(bool vData) {
    d->controller.SetEnable(vData);
}
QString ScheduleEditor::SpecialDayCaption() const {
    return d->controller.SpecialDayCaption();
}
void ScheduleEditor::setSpecialDayCaption(const QString& vData) {
    d->controller.SetSpecialDayCaption(vData);
}
bool ScheduleEditor::SpecialDayEnabled() const {
    return d->controller.SpecialDayEnabled();
}
void ScheduleEditor::setSpecialDayEnabled(bool vData) {
    d->controller.SetSpecialDayEnabled(vData);
}

ScheduleEditor::ColorScheme ScheduleEditor::colorScheme() const {
    return d->controller.Scheme() == qt::ColourScheme::Palette ? ColorScheme::Palette
                                                               : ColorScheme::Classic;
}

void ScheduleEditor::setColorScheme(ColorScheme scheme) {
    d->controller.SetScheme(
        scheme == ColorScheme::Palette ? qt::ColourScheme::Palette : qt::ColourScheme::Classic,
        d->palette);
}

qreal ScheduleEditor::touchSize() const {
    return d->touchSize;
}

void ScheduleEditor::setTouchSize(qreal size) {
    if (!(size >= 0 && size <= kLargestTouchSize)) {
        qWarning("ScheduleEditor: touchSize %g refused: it is 0 to %g pixels", size,
                 kLargestTouchSize);
        return;
    }
    d->touchSizeSet = size;
    d->FollowTouchSize();
}

void ScheduleEditor::resetTouchSize() {
    d->touchSizeSet.reset();
    d->FollowTouchSize();
}

int ScheduleEditor::timeValue(int index) const {
    return d->controller.TimeValue(index);
}
void ScheduleEditor::setTimeValue(int index, int vData) {
    d->controller.SetTimeValue(index, vData);
}

namespace {

QString Answer(const std::optional<QString>& refusal) {
    return refusal.value_or(QString());
}

QStringList Texts(const DayRanges& day) {
    QStringList texts;
    for (const TimeRange& range : day.Ranges())
        texts << QString::fromStdString(FormatRange(range));
    return texts;
}

}  // namespace

QStringList ScheduleEditor::dayRanges(int day) const {
    return Texts(d->controller.ReadDay(day));
}

QString ScheduleEditor::setDayRanges(int day, const QStringList& ranges) {
    return Answer(d->controller.WriteDay(day, ranges));
}

QVariantList ScheduleEditor::weekRanges() const {
    QVariantList week;
    for (const DayRanges& day : d->controller.ReadWeek())
        week << QVariant(Texts(day));
    return week;
}

QString ScheduleEditor::setWeekRanges(const QVariantList& week) {
    if (week.size() != kWeekDays)
        return QStringLiteral("a week has %1 days, not %2").arg(kWeekDays).arg(week.size());
    WeekRanges ranges;
    for (int day = 0; day < kWeekDays; ++day) {
        std::vector<TimeRange> parsed;
        for (const QString& text : week[day].toStringList()) {
            auto range = ParseRange(text.toStdString());
            if (auto* message = std::get_if<std::string>(&range))
                return QString::fromStdString(*message);
            parsed.push_back(std::get<TimeRange>(range));
        }
        auto made = DayRanges::Make(std::move(parsed));
        if (auto* message = std::get_if<std::string>(&made))
            return QString::fromStdString(*message);
        ranges[static_cast<std::size_t>(day)] = std::get<DayRanges>(std::move(made));
    }
    return Answer(d->controller.WriteWeek(ranges));
}

QString ScheduleEditor::copyDay(int from, const QList<int>& to) {
    return Answer(d->controller.CopyDay(from, to));
}

DayRanges ScheduleEditor::dayRangesOf(int day) const {
    return d->controller.ReadDay(day);
}
std::optional<QString> ScheduleEditor::writeDay(int day, const DayRanges& ranges) {
    return d->controller.WriteDay(day, ranges);
}
std::optional<QString> ScheduleEditor::writeWeek(const WeekRanges& week) {
    return d->controller.WriteWeek(week);
}

void ScheduleEditor::Refresh() {
    d->controller.Refresh();
}
void ScheduleEditor::Reset() {
    d->controller.Reset();
}

void ScheduleEditor::keepLinked() {}

void ScheduleEditor::setHostServices(ScheduleEditorServices services) {
    d->services = std::move(services);
    d->platform->SetManualTimer(d->services.manualTimer);
    d->controller.SetPauseHandler(d->services.sleep);
}

bool ScheduleEditor::timerArmed() const {
    return d->controller.RedrawDue();
}

bool ScheduleEditor::deliverTimerTick() {
    return d->controller.TimerTick();
}

// --- events ---------------------------------------------------------------------------------

void ScheduleEditor::componentComplete() {
    QQuickItem::componentComplete();
    d->MakeEngineParts();
}

void ScheduleEditor::itemChange(ItemChange change, const ItemChangeData& value) {
    if (change == ItemSceneChange) {
        if (value.window != nullptr && isComponentComplete()) d->MakeEngineParts();
        d->WatchWindow(value.window);
        d->FollowTouchSize();
    }
    if (change == ItemSceneChange || change == ItemParentHasChanged) d->FollowPalette();
    if (change == ItemDevicePixelRatioHasChanged) d->FollowPixelRatio();
    QQuickItem::itemChange(change, value);
}

void ScheduleEditor::geometryChange(const QRectF& newGeometry, const QRectF& oldGeometry) {
    QQuickItem::geometryChange(newGeometry, oldGeometry);
    if (d->initialized && newGeometry.size() != oldGeometry.size())
        d->controller.Resized(newGeometry.size().toSize(), true);
    update();
}

QSGNode* ScheduleEditor::updatePaintNode(QSGNode* old, UpdatePaintNodeData*) {
    const QPalette& palette = d->palette;
    return quick::PaintedNode(*this, old, [this, &palette](QPainter& painter) {
        d->surface.Paint(painter, QGuiApplication::font(), palette.color(QPalette::Window),
                         palette.color(QPalette::WindowText));
    });
}

void ScheduleEditor::hoverLeaveEvent(QHoverEvent* event) {
    d->controller.PointerLeft();
    QQuickItem::hoverLeaveEvent(event);
}

bool ScheduleEditor::eventFilter(QObject* watched, QEvent* event) {
    if (watched == d->watchedWindow) {
        if (event->type() == QEvent::Expose && d->watchedWindow->isExposed() && isVisible()) {
            d->FollowPixelRatio();
            d->controller.PaintRequested();
        }

    } else if (event->type() == QEvent::KeyPress) {
        auto& key = static_cast<QKeyEvent&>(*event);
        if (d->IsFocusMoveHeld(key)) return true;  // a button's Tab while the control moves none
        // As push buttons do on the desktop, the arrow keys move the focus along the chain:
        // Right and Down on, Left and Up back.
        const bool on = key.key() == Qt::Key_Right || key.key() == Qt::Key_Down;
        const bool back = key.key() == Qt::Key_Left || key.key() == Qt::Key_Up;
        if ((on || back) && watched->isQuickItemType()) {
            auto* button = static_cast<QQuickItem*>(watched);
            if (!d->controller.FocusMovesBlocked())
                if (QQuickItem* next = button->nextItemInFocusChain(on); next != nullptr)
                    next->forceActiveFocus(on ? Qt::TabFocusReason : Qt::BacktabFocusReason);
            return true;
        }
    }
    return QQuickItem::eventFilter(watched, event);
}

bool ScheduleEditor::childMouseEventFilter(QQuickItem* item, QEvent* event) {
    // A bar decides whether a finger's drag is its own before a Flickable above the editor, which
    // filters the same update after the editor, could take it.
    if (event->type() == QEvent::TouchUpdate)
        for (int i = 0; i < platform::kDayCount; ++i)
            if (item == &d->platform->Bar(i))
                d->platform->Bar(i).ClaimTouchAlong(static_cast<QTouchEvent&>(*event));
    return QQuickItem::childMouseEventFilter(item, event);
}

// --- internals ------------------------------------------------------------------------------

quick::QuickPlatform& ScheduleEditorInternals::Platform(ScheduleEditor& editor) {
    return *editor.d->platform;
}

qt::ScheduleController& ScheduleEditorInternals::Controller(ScheduleEditor& editor) {
    return editor.d->controller;
}

void ScheduleEditorInternals::Terminate(ScheduleEditor& editor) {
    editor.d->controller.Terminate();
}

}  // namespace tarn
