// The demo host as a touch-first Qt Quick window (DemoPanel.qml) on the same session as the
// widget window: the library, the editor, saving every change through the store with its revision
// check, Copy day, Import/Export, Undo.
#pragma once

#include <QQmlApplicationEngine>
#include <QString>
#include <memory>

#include "app/demo/DemoSession.h"

class QQuickWindow;

namespace tarn {
class ScheduleEditor;
}

namespace tarn::app {

class QuickDemo {
public:
    /// Loads the window on the library in the database at path; nothing is shown yet.
    explicit QuickDemo(const QString& path, const storage::StoreOptions& options = {});
    ~QuickDemo();
    QuickDemo(const QuickDemo&) = delete;
    QuickDemo& operator=(const QuickDemo&) = delete;

    /// Null when the window could not be made (the reasons went to the toolkit's messages).
    QQuickWindow* window() const { return window_; }
    ScheduleEditor* editor() const { return editor_; }
    DemoSession& session() { return *session_; }

private:
    std::unique_ptr<DemoSession> session_;
    std::unique_ptr<ScheduleEditing> editing_;
    QQmlApplicationEngine engine_;
    QQuickWindow* window_ = nullptr;
    ScheduleEditor* editor_ = nullptr;
};

}  // namespace tarn::app
