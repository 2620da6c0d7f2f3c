#include "app/demo/DeveloperView.h"

#include <QFontDatabase>
#include <QHBoxLayout>
#include <QPlainTextEdit>
#include <QStyle>
#include <QTextDocument>
#include <QTime>
#include <QToolButton>
#include <QVBoxLayout>

#include "TarnSchedule/DayRanges.h"
#include "TarnSchedule/ScheduleWidget.h"
#include "TarnSchedule/TimeProperties.h"

namespace tarn::app {

namespace {

/// The lines the log keeps.
constexpr int kLogLines = 500;

/// A read-only, non-wrapping text box in the fixed-width font, where Tab moves the focus on.
QPlainTextEdit* MakeTextBox(QWidget* parent) {
    auto* box = new QPlainTextEdit(parent);
    box->setReadOnly(true);
    box->setTabChangesFocus(true);
    box->setLineWrapMode(QPlainTextEdit::NoWrap);
    box->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    // Tall enough for the eight days and no taller: the control keeps the window's height.
    const int frame = 2 * (box->frameWidth() + static_cast<int>(box->document()->documentMargin()));
    const int scrollBar = box->style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, box);
    box->setFixedHeight(box->fontMetrics().lineSpacing() * 8 + frame + scrollBar + 4);
    return box;
}

}  // namespace

DeveloperView::DeveloperView(QWidget* parent) : QWidget(parent) {
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    toggle_ = new QToolButton(this);
    toggle_->setText(tr("Developer view"));
    toggle_->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    toggle_->setCheckable(true);
    toggle_->setAutoRaise(true);
    toggle_->setToolTip(tr("The control's 64 time properties and a log of its events"));
    layout->addWidget(toggle_);

    body_ = new QWidget(this);
    auto* bodyLayout = new QHBoxLayout(body_);
    bodyLayout->setContentsMargins(0, 0, 0, 0);
    properties_ = MakeTextBox(body_);
    properties_->setAccessibleName(tr("Time properties"));
    properties_->setToolTip(
        tr("Schedule_<Day>Start<n> and Stop<n> as HHMM, regions 1 to 4 left to right"));
    log_ = MakeTextBox(body_);
    log_->setAccessibleName(tr("Event log"));
    log_->setMaximumBlockCount(kLogLines);
    bodyLayout->addWidget(properties_, 3);
    bodyLayout->addWidget(log_, 2);
    layout->addWidget(body_, 1);

    connect(toggle_, &QToolButton::toggled, this, &DeveloperView::setExpanded);
    setExpanded(false);
}

void DeveloperView::setExpanded(bool expanded) {
    toggle_->setChecked(expanded);
    toggle_->setArrowType(expanded ? Qt::DownArrow : Qt::RightArrow);
    body_->setVisible(expanded);
    if (expanded) ShowPending();
}

void DeveloperView::ShowPending() {
    if (pendingProperties_) {
        if (properties_->toPlainText() != *pendingProperties_)
            properties_->setPlainText(*pendingProperties_);
        pendingProperties_.reset();
    }
    for (const QString& line : std::as_const(pendingLog_))
        log_->appendPlainText(line);
    pendingLog_.clear();
}

bool DeveloperView::isExpanded() const {
    return toggle_->isChecked();
}

void DeveloperView::showProperties(const ScheduleWidget& schedule) {
    // One line a day: "Monday       800  1730      0     0 ...", the four regions in slot order.
    QString text;
    for (int day = 0; day < 8; ++day) {
        const std::string_view word = DayName(day);
        QString line =
            QString::fromLatin1(word.data(), static_cast<qsizetype>(word.size())).leftJustified(10);
        for (int region = 1; region <= 4; ++region) {
            const int start = schedule.timeValue(TimePropertyIndex(day, region, false));
            const int stop = schedule.timeValue(TimePropertyIndex(day, region, true));
            line += QStringLiteral("  %1 %2").arg(start, 5).arg(stop, 5);
        }
        text += line;
        if (day < 7) text += QLatin1Char('\n');
    }
    pendingProperties_ = std::move(text);
    if (isExpanded()) ShowPending();
}

void DeveloperView::log(const QString& line) {
    pendingLog_.append(QTime::currentTime().toString(QStringLiteral("hh:mm:ss  ")) + line);
    if (pendingLog_.size() > kLogLines) pendingLog_.removeFirst();
    if (isExpanded()) ShowPending();
}

}  // namespace tarn::app
