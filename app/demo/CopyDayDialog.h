// The dialog that copies one day of the schedule to other days: the source day in a list, a
// checkbox for every other day.
#pragma once

#include <QDialog>
#include <QList>

class QCheckBox;
class QComboBox;
class QPushButton;

namespace tarn::app {

class CopyDayDialog final : public QDialog {
    Q_OBJECT

public:
    /// `specialDay` is false when the special day is switched off: it is then offered nowhere.
    explicit CopyDayDialog(bool specialDay, QWidget* parent = nullptr);

    /// The day to copy, 0 (Monday) to 7 (the special day).
    int sourceDay() const;
    void setSourceDay(int day);
    /// The days ticked as targets, in week order; never the source day.
    QList<int> targetDays() const;
    void setTargetDays(const QList<int>& days);

private:
    void UpdateTargets();

    QComboBox* source_ = nullptr;
    QList<QCheckBox*> targets_;
    QPushButton* copyButton_ = nullptr;
};

}  // namespace tarn::app
