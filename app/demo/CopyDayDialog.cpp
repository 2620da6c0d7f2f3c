#include "app/demo/CopyDayDialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "TarnSchedule/DayRanges.h"

namespace tarn::app {

namespace {

QString DayLabel(int day) {
    const std::string_view word = tarn::DayName(day);
    return QString::fromLatin1(word.data(), static_cast<qsizetype>(word.size()));
}

}  // namespace

CopyDayDialog::CopyDayDialog(bool specialDay, QWidget* parent) : QDialog(parent) {
    setWindowTitle(tr("Copy a day"));
    auto* layout = new QVBoxLayout(this);
    auto* form = new QFormLayout;
    source_ = new QComboBox(this);
    const int days = specialDay ? 8 : 7;
    for (int day = 0; day < days; ++day)
        source_->addItem(DayLabel(day), day);
    form->addRow(tr("Copy the hours of"), source_);
    layout->addLayout(form);

    auto* grid = new QGridLayout;
    for (int day = 0; day < days; ++day) {
        auto* box = new QCheckBox(DayLabel(day), this);
        targets_ << box;
        grid->addWidget(box, day % 4, day / 4);
    }
    layout->addWidget(new QLabel(tr("to these days (their hours are replaced):"), this));
    layout->addLayout(grid);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setText(tr("Copy"));
    layout->addWidget(buttons);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(source_, &QComboBox::currentIndexChanged, this, &CopyDayDialog::UpdateTargets);
    for (QCheckBox* box : targets_)
        connect(box, &QCheckBox::toggled, this, &CopyDayDialog::UpdateTargets);
    copyButton_ = buttons->button(QDialogButtonBox::Ok);
    UpdateTargets();
}

int CopyDayDialog::sourceDay() const {
    return source_->currentData().toInt();
}

void CopyDayDialog::setSourceDay(int day) {
    const int index = source_->findData(day);
    if (index >= 0) source_->setCurrentIndex(index);
}

QList<int> CopyDayDialog::targetDays() const {
    QList<int> days;
    for (int day = 0; day < targets_.size(); ++day)
        if (targets_[day]->isEnabled() && targets_[day]->isChecked()) days << day;
    return days;
}

void CopyDayDialog::setTargetDays(const QList<int>& days) {
    for (int day = 0; day < targets_.size(); ++day)
        targets_[day]->setChecked(days.contains(day));
}

void CopyDayDialog::UpdateTargets() {
    // The source day cannot be its own target; Copy needs at least one target.
    const int source = sourceDay();
    for (int day = 0; day < targets_.size(); ++day)
        targets_[day]->setEnabled(day != source);
    copyButton_->setEnabled(!targetDays().isEmpty());
}

}  // namespace tarn::app
