#include "app/demo/quick/QuickDemo.h"

#include <QQmlContext>
#include <QQuickWindow>
#include <QUrl>
#include <QVariantMap>

#include "TarnSchedule/ScheduleEditor.h"

namespace tarn::app {

namespace {

/// The session's view of the Qt Quick editor, through its C++ calls.
class QuickEditing final : public ScheduleEditing {
public:
    explicit QuickEditing(ScheduleEditor& editor) : editor_(editor) {}

    WeekRanges Week() const override {
        WeekRanges week;
        for (int day = 0; day < kWeekDays; ++day)
            week[static_cast<std::size_t>(day)] = editor_.dayRangesOf(day);
        return week;
    }
    std::optional<QString> SetWeek(const WeekRanges& week) override {
        return editor_.writeWeek(week);
    }
    QString SpecialDayCaption() const override { return editor_.SpecialDayCaption(); }
    void SetSpecialDayCaption(const QString& caption) override {
        editor_.setSpecialDayCaption(caption);
    }
    bool SpecialDayEnabled() const override { return editor_.SpecialDayEnabled(); }
    void SetSpecialDayEnabled(bool enabled) override { editor_.setSpecialDayEnabled(enabled); }
    std::optional<QString> CopyDay(int from, const QList<int>& to) override {
        const QString refused = editor_.copyDay(from, to);
        if (refused.isEmpty()) return std::nullopt;
        return refused;
    }
    void Reset() override { editor_.Reset(); }

private:
    ScheduleEditor& editor_;
};

}  // namespace

QuickDemo::QuickDemo(const QString& path, const storage::StoreOptions& options)
    : session_(std::make_unique<DemoSession>(path, options)) {
    qmlRegisterUncreatableType<DemoSession>("TarnSchedule.Demo", 1, 0, "DemoSession",
                                            QStringLiteral("the program makes the session"));
    engine_.setInitialProperties(
        {{QStringLiteral("session"), QVariant::fromValue(session_.get())}});
    engine_.load(QUrl(QStringLiteral("qrc:/tarn/demo/DemoPanel.qml")));
    if (engine_.rootObjects().isEmpty()) return;
    window_ = qobject_cast<QQuickWindow*>(engine_.rootObjects().constFirst());
    if (window_ == nullptr) return;
    editor_ = window_->findChild<ScheduleEditor*>(QStringLiteral("editor"));
    if (editor_ == nullptr) {
        window_ = nullptr;
        return;
    }
    editing_ = std::make_unique<QuickEditing>(*editor_);
    QObject::connect(editor_, &ScheduleEditor::ScheduleUpdated, session_.get(),
                     [this] { session_->log(QStringLiteral("event ScheduleUpdated")); });
    QObject::connect(editor_, &ScheduleEditor::ScheduleChanged, session_.get(),
                     &DemoSession::editorChanged);
    session_->start(*editing_);
}

QuickDemo::~QuickDemo() {
    // The session goes first: no reply of the database can then reach the editor, which the
    // engine's window owns.
    session_.reset();
}

}  // namespace tarn::app
