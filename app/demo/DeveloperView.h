// The developer's view of the demo window: the 64 time properties as a compact read-only grid of
// text and a log of the control's events and the host's calls, folded away under one button.
#pragma once

#include <QWidget>

class QPlainTextEdit;
class QToolButton;

namespace tarn {
class ScheduleWidget;
}

namespace tarn::app {

class DeveloperView final : public QWidget {
    Q_OBJECT

public:
    explicit DeveloperView(QWidget* parent = nullptr);

    /// Shows or folds away the grid and the log.
    void setExpanded(bool expanded);
    bool isExpanded() const;

    /// Reads the 64 time properties of `schedule` by name into the grid.
    void showProperties(const ScheduleWidget& schedule);
    /// Adds one line to the log, stamped with the time of day.
    void log(const QString& line);

    const QPlainTextEdit& propertiesText() const { return *properties_; }
    const QPlainTextEdit& logText() const { return *log_; }

private:
    QToolButton* toggle_ = nullptr;
    QWidget* body_ = nullptr;
    QPlainTextEdit* properties_ = nullptr;
    QPlainTextEdit* log_ = nullptr;
};

}  // namespace tarn::app
