#include "frontends/widgets/QtPlatform.h"

#include <QPushButton>
#include <QWidget>

#include "frontends/widgets/BarWidget.h"
#include "platform/DesignData.h"
#include "platform/PlatformError.h"

namespace tarn::qt {

namespace {

QRect DesignGeometry(const design::WidgetDesign& widget) {
    using design::Pixels;
    return QRect(Pixels(widget.left), Pixels(widget.top), Pixels(widget.width),
                 Pixels(widget.height));
}

}  // namespace

QtPlatform::QtPlatform(QWidget& control, platform::HostServices& host, bool manualTimer)
    : host_(host), timer_(qtimer_), surface_(control) {
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
    timer_.SetManual(manualTimer);
}

QtPlatform::~QtPlatform() = default;

platform::CommandButton& QtPlatform::DayButton(int index) {
    if (index < 0 || index >= platform::kDayCount)
        throw platform::PlatformError("Control array element does not exist");
    return *buttons_[index];
}

void QtPlatform::ShowChanges() {
    for (auto& bar : bars_)
        bar->widget().ShowChanges();
    surface_.CompareTexts();
}

platform::PictureBox& QtPlatform::DayBar(int index) {
    if (index < 0 || index >= platform::kDayCount)
        throw platform::PlatformError("Control array element does not exist");
    return *bars_[index];
}

}  // namespace tarn::qt
