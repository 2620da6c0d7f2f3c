#include "frontends/widgets/QtPlatform.h"

#include <QMessageBox>
#include <QPushButton>
#include <QThread>
#include <QWidget>

#include "model/DesignData.h"
#include "platform/PlatformError.h"
#include "frontends/widgets/BarWidget.h"
#include "controller/EventGate.h"

namespace tarn::qt {

namespace {

QRect DesignGeometry(const design::WidgetDesign& widget) {
    using design::Pixels;
    return QRect(Pixels(widget.left), Pixels(widget.top), Pixels(widget.width),
                 Pixels(widget.height));
}

QString FromControlText(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

}  // namespace

QtPlatform::QtPlatform(QWidget& control, EventGate& gate, ScheduleHostServices services,
                       std::function<void()> raiseScheduleUpdated)
    : control_(control),
      gate_(gate),
      services_(std::move(services)),
      raiseScheduleUpdated_(std::move(raiseScheduleUpdated)),
      timer_(qtimer_),
      surface_(control) {
    control.resize(design::kControlWidth, design::kControlHeight);
    surface_.Resize(control.size());

    auto makeButton = [&](const design::WidgetDesign& design, const QString& name) {
        auto* button = new CaptionButton(
            QString::fromUtf8(design.caption.data(), static_cast<qsizetype>(design.caption.size())),
            &control);
        button->setObjectName(name);
        button->setAutoDefault(false);
        button->setGeometry(DesignGeometry(design));
        return std::make_unique<QtButton>(*button);
    };
    for (int i = 0; i < platform::kDayCount; ++i) {
        buttons_[i] = makeButton(design::DayButton(i), QStringLiteral("cmdDay(%1)").arg(i));
        auto* bar = new BarWidget(&control);
        bar->setObjectName(QStringLiteral("Schedule(%1)").arg(i));
        bar->setGeometry(DesignGeometry(design::DayBar(i)));
        bar->SyncImageSize();
        bars_[i] = std::make_unique<QtBar>(*bar, i);
    }
    buttons_[8] = makeButton(design::kEnableButton, QStringLiteral("cmdEnable"));
    buttons_[9] = makeButton(design::kDisableButton, QStringLiteral("cmdDisable"));

    // Tab order as designed.
    QWidget* previous = nullptr;
    for (const design::WidgetDesign& widget : design::WidgetsInTabOrder()) {
        QWidget* current = nullptr;
        switch (widget.kind) {
            case design::WidgetKind::DayButton:
                current = &ButtonWidget(widget.index);
                break;
            case design::WidgetKind::DayBar:
                current = &Bar(widget.index);
                break;
            case design::WidgetKind::EnableButton:
                current = &ButtonWidget(8);
                break;
            case design::WidgetKind::DisableButton:
                current = &ButtonWidget(9);
                break;
        }
        if (previous != nullptr) QWidget::setTabOrder(previous, current);
        previous = current;
    }

    // A child of the control, so that it can be found by name; the platform owns it and goes
    // first, which takes it off the control's children.
    qtimer_.setParent(&control);
    qtimer_.setObjectName(QStringLiteral("InitTimer"));
    qtimer_.setInterval(design::kTimerIntervalMs);
    timer_.SetManual(services_.manualTimer);
}

QtPlatform::~QtPlatform() = default;

platform::CommandButton& QtPlatform::DayButton(int index) {
    if (index < 0 || index >= platform::kDayCount)
        throw platform::PlatformError("Control array element does not exist");
    return *buttons_[index];
}

platform::PictureBox& QtPlatform::DayBar(int index) {
    if (index < 0 || index >= platform::kDayCount)
        throw platform::PlatformError("Control array element does not exist");
    return *bars_[index];
}

void QtPlatform::SetServices(ScheduleHostServices services) {
    services_ = std::move(services);
    timer_.SetManual(services_.manualTimer);
}

void QtPlatform::MessageBox(std::string_view text, int style, std::string_view title) {
    const QString boxText = FromControlText(text);
    const QString boxTitle = FromControlText(title);
    gate_.Hold([&] {
        if (services_.messageBox) {
            services_.messageBox(boxText, style, boxTitle);
            return;
        }
        QMessageBox::Icon icon = QMessageBox::NoIcon;
        if (style == platform::kStyleCritical) icon = QMessageBox::Critical;
        if (style == platform::kStyleExclamation) icon = QMessageBox::Warning;
        QMessageBox box(icon, boxTitle, boxText, QMessageBox::Ok, &control_);
        box.exec();
    });
}

void QtPlatform::ShowChanges() {
    for (auto& bar : bars_)
        bar->widget().ShowChanges();
    surface_.CompareTexts();
}

void QtPlatform::Sleep(int milliseconds) {
    if (services_.sleep) {
        gate_.Hold([&] { services_.sleep(milliseconds); });
        return;
    }
    // The control's own events wait out the pause in the gate; the event loop, and with it the
    // rest of the application, runs on. The control's code after the pause only queues work.
    gate_.HoldFor(milliseconds);
}

void QtPlatform::RaiseScheduleUpdated() {
    if (raiseScheduleUpdated_) raiseScheduleUpdated_();
}

}  // namespace tarn::qt
