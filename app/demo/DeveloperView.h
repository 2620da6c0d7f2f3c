// The developer's view of the demo window: the 64 time properties as a compact read-only grid of
// text and a log of the control's events and the host's calls, folded away under one button. What
// comes while it is folded is shown when it is unfolded.
#pragma once

#include <QStringList>
#include <QWidget>
#include <optional>

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
    /// Writes what came while folded into the text boxes.
    void ShowPending();

    QToolButton* toggle_ = nullptr;
    QWidget* body_ = nullptr;
    QPlainTextEdit* properties_ = nullptr;
    QPlainTextEdit* log_ = nullptr;
    /// While folded, the grid's newest text and the log's newest lines wait here: a hidden text
    /// box still lays out what it is given, which would cost every edit more than it does.
    std::optional<QString> pendingProperties_;
    QStringList pendingLog_;
};

}  // namespace tarn::app
