#include "app/demo/DemoSession.h"

#include <QFileInfo>
#include <QSettings>
#include <QTime>
#include <QTimer>
#include <QUndoStack>
#include <QUrl>
#include <algorithm>
#include <optional>
#include <variant>

#include "storage/Echo.h"
#include "storage/SafeFile.h"
#include "storage/WeekJson.h"

namespace tarn::app {

namespace {

/// The longest store or file message put on the log; the status line keeps the whole text.
constexpr int kLogMessageLength = 60;
/// How often an idle window asks whether another program changed the database: one cheap query.
constexpr int kPollMs = 700;
/// How many steps Undo keeps: each holds two weeks, so a long session stays small.
constexpr int kUndoSteps = 200;

using storage::ScheduleEntry;
using storage::ScheduleStore;
using storage::StoredSchedule;
using storage::StoreError;
using storage::StoreResult;
using storage::StoreStatus;

DayRanges Hours(int startQuarter, int stopQuarter) {
    return std::get<DayRanges>(DayRanges::Make({{startQuarter, stopQuarter}}));
}

QString Quoted(const QString& name) {
    return QStringLiteral("\u201C%1\u201D").arg(storage::Echoed(name));
}

QString Short(QString text) {
    if (text.size() > kLogMessageLength) text = text.left(kLogMessageLength - 1) + QChar(0x2026);
    return text;
}

bool Lists(const std::vector<ScheduleEntry>& entries, const QString& name) {
    return std::any_of(entries.begin(), entries.end(),
                       [&name](const ScheduleEntry& entry) { return entry.name == name; });
}

/// The QSettings key of the schedule last opened on the database at `path`.
QString LastOpenedKey(const QString& path) {
    return QStringLiteral("lastOpened/") +
           QString::fromLatin1(QUrl::toPercentEncoding(QFileInfo(path).absoluteFilePath()));
}

}  // namespace

/// One change of the open schedule, undone and redone by showing the content before or after it;
/// either is then saved like any edit. The change itself was made before the step was pushed.
class DemoSession::EditCommand final : public QUndoCommand {
public:
    EditCommand(DemoSession& session, Content before, Content after, const QString& text)
        : QUndoCommand(text),
          session_(session),
          before_(std::move(before)),
          after_(std::move(after)) {}

    void undo() override { session_.Restore(before_); }
    void redo() override {
        if (done_) session_.Restore(after_);
        done_ = true;
    }

private:
    DemoSession& session_;
    Content before_;
    Content after_;
    bool done_ = false;
};

QString DemoSession::SampleName() {
    return tr("Office hours");
}

WeekRanges DemoSession::SampleWeek() {
    WeekRanges week;
    for (int day = 0; day < 4; ++day)
        week[static_cast<std::size_t>(day)] = Hours(8 * 4, 17 * 4 + 2);  // 08:00-17:30
    week[4] = Hours(8 * 4, 15 * 4);                                      // Friday to 15:00
    week[5] = Hours(10 * 4, 14 * 4);                                     // Saturday 10-14
    return week;
}

DemoSession::DemoSession(const QString& path, const storage::StoreOptions& options, QObject* parent)
    : QObject(parent),
      path_(path),
      worker_(std::make_unique<StoreWorker>(path, options)),
      undo_(new QUndoStack(this)),
      poll_(new QTimer(this)) {
    undo_->setUndoLimit(kUndoSteps);
    connect(worker_.get(), &StoreWorker::replied, this, [this](const StoreWorker::Reply& reply) {
        inFlight_ = false;
        if (reply) reply();
        Dispatch();
    });
    connect(worker_.get(), &StoreWorker::unavailable, this, [this](const QString& message) {
        inFlight_ = false;
        queue_.clear();
        saveQueued_ = false;
        poll_->stop();
        Refuse(tr("Cannot open %1: %2").arg(path_, message));
    });
    connect(undo_, &QUndoStack::canUndoChanged, this, &DemoSession::undoChanged);
    connect(undo_, &QUndoStack::canRedoChanged, this, &DemoSession::undoChanged);
    poll_->setInterval(kPollMs);
    connect(poll_, &QTimer::timeout, this, &DemoSession::Poll);
}

DemoSession::~DemoSession() {
    // The worker goes first: no reply can then reach a half-destroyed session.
    worker_.reset();
}

void DemoSession::start(ScheduleEditing& editor) {
    editor_ = &editor;
    shown_ = Shown();
    poll_->start();
    LoadLibrary(QSettings().value(LastOpenedKey(path_)).toString());
}

bool DemoSession::mayClose(bool& mustAsk) {
    mustAsk = false;
    // A save on its way is waited for; a change that could not be saved is not dropped without
    // asking.
    if (pending_ && saveQueued_) {
        closeWhenSaved_ = true;
        ShowStatus(tr("Saving %1; the window closes once it is saved\u2026").arg(Quoted(current_)),
                   false);
        return false;
    }
    mustAsk = pending_;
    return !pending_;
}

QStringList DemoSession::scheduleNames() const {
    QStringList names;
    for (const ScheduleEntry& entry : entries_)
        names << entry.name;
    return names;
}

bool DemoSession::canUndo() const {
    return undo_->canUndo();
}

bool DemoSession::canRedo() const {
    return undo_->canRedo();
}

void DemoSession::undo() {
    undo_->undo();
}

void DemoSession::redo() {
    undo_->redo();
}

bool DemoSession::importFile(const QUrl& file) {
    return importFrom(file.toLocalFile());
}

bool DemoSession::exportFile(const QUrl& file) {
    return exportTo(file.toLocalFile());
}

void DemoSession::ShowList(const std::vector<ScheduleEntry>& entries) {
    entries_ = entries;
    Q_EMIT listChanged();
}

void DemoSession::editorChanged() {
    if (loading_) return;
    log(QStringLiteral("event ScheduleChanged"));
    Edited(step_.isEmpty() ? tr("Edit") : step_);
}

void DemoSession::Remember(const QString& name) {
    QSettings().setValue(LastOpenedKey(path_), name);
}

// ---- Calls to the database ---------------------------------------------------------------------

void DemoSession::Enqueue(Prepare prepare) {
    queue_.push_back(std::move(prepare));
    Dispatch();
}

void DemoSession::Dispatch() {
    // A call is prepared only when its turn comes, so that it sees the outcome of the ones
    // before it: the name, revision and content current then.
    while (!inFlight_ && !queue_.empty()) {
        const Prepare prepare = std::move(queue_.front());
        queue_.pop_front();
        StoreWorker::Job job = prepare();
        if (!job) continue;
        inFlight_ = true;
        worker_->run(std::move(job));
    }
}

void DemoSession::LoadLibrary(const QString& preferred) {
    const QString sample = SampleName();
    const WeekRanges sampleWeek = SampleWeek();
    Enqueue([this, preferred, sample, sampleWeek]() -> StoreWorker::Job {
        return [this, preferred, sample, sampleWeek](ScheduleStore& store) -> StoreWorker::Reply {
            const StoreResult<qint64> version = store.DataVersion();
            auto entries = store.List();
            std::optional<StoreStatus> created;
            if (entries && entries.Value().empty()) {
                created = store.Create(sample, sampleWeek);
                entries = store.List();
            }
            std::optional<StoreResult<StoredSchedule>> stored;
            if (entries && !entries.Value().empty())
                stored = store.Read(
                    Lists(entries.Value(), preferred) ? preferred : entries.Value().front().name);
            const bool readOnly = store.IsReadOnly();
            return [this, version, entries, created, stored, readOnly, sample] {
                // A library that could not be read is read again by the next poll.
                if (!entries)
                    return void(
                        Refuse(tr("Cannot read the schedules: %1").arg(entries.Error().message)));
                if (version) dataVersion_ = version.Value();
                if (created && !*created)
                    Refuse(
                        tr("Cannot create the sample schedule: %1").arg(created->Error().message));
                else if (created)
                    log(QStringLiteral("created %1").arg(Quoted(sample)));
                ShowList(entries.Value());
                if (stored && *stored)
                    Opened(stored->Value());
                else if (stored)
                    Refuse(tr("Cannot open: %1").arg(stored->Error().message));
                Q_EMIT currentChanged();
                if (readOnly)
                    ShowStatus(tr("%1 is read-only: changes cannot be saved").arg(path_), true);
            };
        };
    });
}

void DemoSession::Opened(const StoredSchedule& stored) {
    current_ = stored.name;
    revision_ = stored.revision;
    pending_ = false;
    conflict_ = false;
    HideBanner();
    undo_->clear();
    Show(Content{stored.week, stored.settings});
    Q_EMIT currentChanged();
    Q_EMIT currentChanged();
    Remember(current_);
    log(QStringLiteral("opened %1").arg(Quoted(current_)));
    if (note_.isEmpty()) {
        ShowStatus(tr("Opened %1").arg(Quoted(current_)), false);
    } else {
        ShowStatus(note_.contains(Quoted(current_))
                       ? note_
                       : tr("%1; opened %2").arg(note_, Quoted(current_)),
                   true);
        note_.clear();
    }
}

void DemoSession::OpenFirstOf(const std::vector<ScheduleEntry>& entries, const QString& note,
                              const QString& preferred) {
    note_ = note;
    current_.clear();
    revision_ = 0;
    pending_ = false;
    conflict_ = false;
    undo_->clear();
    Show(Content{});
    ShowList(entries);
    Q_EMIT currentChanged();
    if (!entries.empty())
        openSchedule(Lists(entries, preferred) ? preferred : entries.front().name);
    else if (!note.isEmpty())
        ShowStatus(note, true);
}

bool DemoSession::openSchedule(const QString& name) {
    if (name == current_ && !current_.isEmpty()) return true;
    if (!RefuseWhilePending(tr("open %1").arg(Quoted(name)))) return false;
    Enqueue([this, name]() -> StoreWorker::Job {
        // Changes made meanwhile that could not be saved keep the current schedule open.
        if (!RefuseWhilePending(tr("open %1").arg(Quoted(name)))) {
            Q_EMIT currentChanged();
            return {};
        }
        return [this, name](ScheduleStore& store) -> StoreWorker::Reply {
            auto stored = store.Read(name);
            return [this, name, stored] {
                if (stored) return Opened(stored.Value());
                Q_EMIT currentChanged();
                Refuse(tr("Cannot open %1: %2").arg(Quoted(name), stored.Error().message));
            };
        };
    });
    return true;
}

bool DemoSession::createSchedule(const QString& name) {
    if (!RefuseWhilePending(tr("add a schedule"))) return false;
    if (const storage::StoreStatus bad = ScheduleStore::CheckName(name); !bad)
        return Refuse(tr("Not added: %1").arg(bad.Error().message));
    Enqueue([this, name]() -> StoreWorker::Job {
        if (!RefuseWhilePending(tr("add a schedule"))) return {};
        return [this, name](ScheduleStore& store) -> StoreWorker::Reply {
            const StoreResult<qint64> created = store.Create(name, WeekRanges{});
            const auto entries = store.List();
            return [this, name, created, entries] {
                if (entries) ShowList(entries.Value());
                if (!created) return void(Refuse(tr("Not added: %1").arg(created.Error().message)));
                log(QStringLiteral("created %1").arg(Quoted(name)));
                Opened(StoredSchedule{name, WeekRanges{}, {}, created.Value(), {}});
            };
        };
    });
    return true;
}

bool DemoSession::renameSchedule(const QString& to) {
    if (current_.isEmpty() || to == current_) return false;
    if (const storage::StoreStatus bad = ScheduleStore::CheckName(to); !bad)
        return Refuse(tr("Not renamed: %1").arg(bad.Error().message));
    Enqueue([this, to]() -> StoreWorker::Job {
        if (current_.isEmpty()) return {};
        const QString from = current_;
        return [this, from, to](ScheduleStore& store) -> StoreWorker::Reply {
            const StoreResult<qint64> before = store.Revision(from);
            const storage::StoreStatus renamed = store.Rename(from, to);
            const StoreResult<qint64> after = store.Revision(to);
            const auto entries = store.List();
            return [this, from, to, before, renamed, after, entries] {
                if (entries) ShowList(entries.Value());
                if (!renamed) {
                    Q_EMIT currentChanged();
                    return void(Refuse(tr("Not renamed: %1").arg(renamed.Error().message)));
                }
                log(QStringLiteral("renamed %1 to %2").arg(Quoted(from), Quoted(to)));
                current_ = to;
                // The rename is one more write of the row. Only when the row was still at the
                // revision shown here does what is shown follow it; otherwise the next save
                // reports the other program's change instead of overwriting it.
                if (before && after && before.Value() == revision_) revision_ = after.Value();
                Q_EMIT currentChanged();
                Q_EMIT currentChanged();
                Remember(current_);
                ShowStatus(tr("Renamed to %1").arg(Quoted(to)), false);
                if (pending_) RequestSave();
            };
        };
    });
    return true;
}

bool DemoSession::duplicateSchedule(const QString& to) {
    if (current_.isEmpty()) return false;
    // The copy is made from the database, so the current content must be there first.
    if (!RefuseWhilePending(tr("duplicate %1").arg(Quoted(current_)))) return false;
    if (const storage::StoreStatus bad = ScheduleStore::CheckName(to); !bad)
        return Refuse(tr("Not duplicated: %1").arg(bad.Error().message));
    Enqueue([this, to]() -> StoreWorker::Job {
        if (current_.isEmpty() || !RefuseWhilePending(tr("duplicate %1").arg(Quoted(current_))))
            return {};
        const QString from = current_;
        return [this, from, to](ScheduleStore& store) -> StoreWorker::Reply {
            const storage::StoreStatus copied = store.Duplicate(from, to);
            const auto stored = store.Read(to);
            const auto entries = store.List();
            return [this, from, to, copied, stored, entries] {
                if (entries) ShowList(entries.Value());
                if (!copied) {
                    Q_EMIT currentChanged();
                    return void(Refuse(tr("Not duplicated: %1").arg(copied.Error().message)));
                }
                log(QStringLiteral("duplicated %1 as %2").arg(Quoted(from), Quoted(to)));
                if (stored) Opened(stored.Value());
            };
        };
    });
    return true;
}

bool DemoSession::deleteSchedule() {
    if (current_.isEmpty()) return false;
    Enqueue([this]() -> StoreWorker::Job {
        if (current_.isEmpty()) return {};
        const QString name = current_;
        return [this, name](ScheduleStore& store) -> StoreWorker::Reply {
            const storage::StoreStatus deleted = store.Delete(name);
            const auto entries = store.List();
            return [this, name, deleted, entries] {
                if (!deleted) {
                    if (entries) ShowList(entries.Value());
                    return void(Refuse(tr("Not deleted: %1").arg(deleted.Error().message)));
                }
                log(QStringLiteral("deleted %1").arg(Quoted(name)));
                // Changes not saved go with the schedule: the user asked for that.
                HideBanner();
                OpenFirstOf(entries ? entries.Value() : std::vector<ScheduleEntry>{},
                            tr("Deleted %1").arg(Quoted(name)));
            };
        };
    });
    return true;
}

bool DemoSession::keepAsNewSchedule(const QString& name) {
    if (current_.isEmpty()) return false;
    if (const storage::StoreStatus bad = ScheduleStore::CheckName(name); !bad)
        return Refuse(tr("Not added: %1").arg(bad.Error().message));
    Enqueue([this, name]() -> StoreWorker::Job {
        const Content content = shown_;
        return [this, name, content](ScheduleStore& store) -> StoreWorker::Reply {
            const StoreResult<qint64> created = store.Create(name, content.week, content.settings);
            const auto entries = store.List();
            return [this, name, content, created, entries] {
                if (!created) return void(Refuse(tr("Not added: %1").arg(created.Error().message)));
                log(QStringLiteral("kept as %1").arg(Quoted(name)));
                current_ = name;
                revision_ = created.Value();
                conflict_ = false;
                HideBanner();
                if (entries) ShowList(entries.Value());
                Q_EMIT currentChanged();
                Q_EMIT currentChanged();
                Remember(current_);
                ShowStatus(tr("Saved as %1").arg(Quoted(name)), false);
                // Changes made since the copy was taken are saved into the new schedule.
                pending_ = shown_ != content;
                if (pending_) RequestSave();
            };
        };
    });
    return true;
}

bool DemoSession::loadStoredVersion() {
    if (current_.isEmpty()) return false;
    Enqueue([this]() -> StoreWorker::Job {
        const QString name = current_;
        return [this, name](ScheduleStore& store) -> StoreWorker::Reply {
            auto stored = store.Read(name);
            const auto entries = store.List();
            return [this, name, stored, entries] {
                if (name != current_) return;
                if (stored) return Opened(stored.Value());
                if (stored.Error().kind != StoreError::Kind::UnknownName)
                    return void(
                        Refuse(tr("Cannot read %1: %2").arg(Quoted(name), stored.Error().message)));
                OpenFirstOf(entries ? entries.Value() : std::vector<ScheduleEntry>{},
                            tr("%1 no longer exists").arg(Quoted(name)));
            };
        };
    });
    return true;
}

// ---- Changes made by other programs ------------------------------------------------------------

void DemoSession::Poll() {
    // Only while idle: a queued call shows the database's state by itself.
    if (isBusy()) return;
    Enqueue([this]() -> StoreWorker::Job {
        const qint64 known = dataVersion_;
        const QString name = current_;
        return [this, known, name](ScheduleStore& store) -> StoreWorker::Reply {
            const StoreResult<qint64> version = store.DataVersion();
            if (!version || version.Value() == known) return {};
            const auto entries = store.List();
            if (!entries) return {};
            std::optional<StoredSchedule> stored;
            if (!name.isEmpty()) {
                if (auto read = store.Read(name)) stored = std::move(read).Value();
            }
            return [this, version = version.Value(), entries = entries.Value(), stored] {
                Polled(version, entries, stored);
            };
        };
    });
}

void DemoSession::Polled(qint64 version, const std::vector<ScheduleEntry>& entries,
                         const std::optional<StoredSchedule>& stored) {
    dataVersion_ = version;
    if (current_.isEmpty()) {
        ShowList(entries);
        if (!entries.empty()) OpenFirstOf(entries);
        return;
    }
    if (!Lists(entries, current_)) {
        // Renamed or deleted elsewhere: nothing is ever written back under the old name.
        if (pending_) {
            ShowList(entries);
            conflict_ = true;
            ShowConflict(tr("%1 was renamed or deleted by another program. Your changes are kept "
                            "here, not saved: keep them as a new schedule, or discard them.")
                             .arg(Quoted(current_)),
                         false);
            return;
        }
        // A schedule that appeared as this one went, one write further on, is most likely this
        // one renamed: it is opened instead of the first.
        std::vector<ScheduleEntry> renamed;
        for (const ScheduleEntry& entry : entries)
            if (!Lists(entries_, entry.name) && entry.revision == revision_ + 1)
                renamed.push_back(entry);
        log(QStringLiteral("%1 gone elsewhere").arg(Quoted(current_)));
        if (renamed.size() == 1) {
            const QString to = renamed.front().name;
            OpenFirstOf(
                entries,
                tr("%1 was renamed to %2 by another program").arg(Quoted(current_), Quoted(to)),
                to);
        } else {
            OpenFirstOf(entries,
                        tr("%1 was renamed or deleted by another program").arg(Quoted(current_)));
        }
        return;
    }
    ShowList(entries);
    if (!stored || stored->revision == revision_ || pending_) return;
    // Changed elsewhere while nothing is pending here: show the stored version.
    revision_ = stored->revision;
    undo_->clear();
    Show(Content{stored->week, stored->settings});
    log(QStringLiteral("reloaded %1").arg(Quoted(current_)));
    ShowStatus(
        tr("%1 was changed by another program; showing its saved version").arg(Quoted(current_)),
        false);
}

// ---- The open schedule -------------------------------------------------------------------------

DemoSession::Content DemoSession::Shown() const {
    return Content{editor_->Week(), storage::ScheduleSettings{editor_->SpecialDayCaption(),
                                                              editor_->SpecialDayEnabled()}};
}

void DemoSession::Show(const Content& content) {
    loading_ = true;
    const std::optional<QString> refused = editor_->SetWeek(content.week);
    editor_->SetSpecialDayCaption(content.settings.specialCaption);
    editor_->SetSpecialDayEnabled(content.settings.specialDayEnabled);
    loading_ = false;
    shown_ = Shown();
    Q_EMIT contentShown();
    if (refused) Refuse(tr("Cannot show %1: %2").arg(Quoted(current_), *refused));
}

void DemoSession::setSpecialDay(bool enabled, const QString& caption) {
    if (current_.isEmpty()) return;
    if (const storage::StoreStatus bad = ScheduleStore::CheckSettings({caption, enabled}); !bad) {
        Q_EMIT contentShown();
        Refuse(tr("Caption not changed: %1").arg(bad.Error().message));
        return;
    }
    if (enabled != editor_->SpecialDayEnabled()) {
        log(QStringLiteral("set SpecialDayEnabled %1").arg(enabled ? "True" : "False"));
        editor_->SetSpecialDayEnabled(enabled);
    }
    if (caption != editor_->SpecialDayCaption()) {
        log(QStringLiteral("set SpecialDayCaption"));
        editor_->SetSpecialDayCaption(caption);
    }
    Q_EMIT contentShown();
    Edited(tr("Special day"));
}

void DemoSession::Edited(const QString& step) {
    Q_EMIT contentShown();
    if (current_.isEmpty()) return;
    const Content before = shown_;
    const Content after = Shown();
    if (after == before) return;
    shown_ = after;
    undo_->push(new EditCommand(*this, before, after, step));
    pending_ = true;
    RequestSave();
}

void DemoSession::Restore(const Content& content) {
    Show(content);
    pending_ = true;
    RequestSave();
}

// ---- The week ----------------------------------------------------------------------------------

bool DemoSession::importFrom(const QString& path) {
    if (current_.isEmpty()) return false;
    auto week = storage::ReadWeekFile(QFile::encodeName(path).toStdString());
    if (auto* problem = std::get_if<storage::WeekFileError>(&week))
        return Refuse(tr("Not imported: %1: %2")
                          .arg(problem->unreadable ? storage::Echoed(path, storage::kWholeText)
                                                   : storage::Echoed(QFileInfo(path).fileName()),
                               QString::fromStdString(problem->message)));
    log(QStringLiteral("import %1").arg(storage::Echoed(QFileInfo(path).fileName())));
    if (const std::optional<QString> refused = editor_->SetWeek(std::get<WeekRanges>(week)))
        return Refuse(
            tr("Not imported: %1: %2").arg(storage::Echoed(QFileInfo(path).fileName()), *refused));
    return true;
}

bool DemoSession::exportTo(const QString& path) {
    if (current_.isEmpty()) return false;
    std::string reason;
    if (!storage::WriteFileWhole(QFile::encodeName(path).toStdString(),
                                 storage::WeekToJson(editor_->Week()), reason))
        return Refuse(
            tr("Not exported: %1: %2")
                .arg(storage::Echoed(path, storage::kWholeText), QString::fromStdString(reason)));
    log(QStringLiteral("exported %1").arg(storage::Echoed(QFileInfo(path).fileName())));
    ShowStatus(
        tr("Exported %1 to %2").arg(Quoted(current_), storage::Echoed(path, storage::kWholeText)),
        false);
    return true;
}

bool DemoSession::copyDay(int from, const QList<int>& to) {
    if (current_.isEmpty()) return false;
    log(QStringLiteral("copy day %1").arg(from));
    step_ = tr("Copy day");
    const std::optional<QString> refused = editor_->CopyDay(from, to);
    step_.clear();
    if (refused) return Refuse(tr("Not copied: %1").arg(*refused));
    return true;
}

void DemoSession::resetWeek() {
    if (current_.isEmpty()) return;
    log(QStringLiteral("call Reset"));
    step_ = tr("Reset");
    editor_->Reset();
    // Whether or not the control told of it, the cleared week is one step.
    Edited(step_);
    step_.clear();
}

// ---- Saving ------------------------------------------------------------------------------------

void DemoSession::RequestSave() {
    // At most one save of the open schedule is queued: it takes what is shown when its turn
    // comes, so edits made meanwhile go with it, in order.
    if (saveQueued_ || conflict_ || current_.isEmpty()) return;
    saveQueued_ = true;
    Enqueue([this]() -> StoreWorker::Job {
        if (!pending_ || conflict_ || current_.isEmpty()) {
            saveQueued_ = false;
            return {};
        }
        const QString name = current_;
        const qint64 revision = revision_;
        const Content content = shown_;
        return [this, name, revision, content](ScheduleStore& store) -> StoreWorker::Reply {
            // Written only while the stored row is the one this window loaded or last saved.
            const StoreResult<qint64> saved =
                store.Save(name, content.week, content.settings, revision);
            return [this, name, content, saved] { Saved(name, content, saved); };
        };
    });
}

void DemoSession::Saved(const QString& name, const Content& content,
                        const StoreResult<qint64>& result) {
    saveQueued_ = false;
    if (name != current_) return;
    if (result) {
        revision_ = result.Value();
        log(QStringLiteral("saved %1").arg(Quoted(name)));
        if (shown_ != content) {
            RequestSave();
            return;
        }
        pending_ = false;
        HideBanner();
        ShowStatus(
            tr("Saved %1 at %2")
                .arg(Quoted(name), QTime::currentTime().toString(QStringLiteral("hh:mm:ss"))),
            false);
        if (closeWhenSaved_) Q_EMIT closeReady();
        return;
    }
    closeWhenSaved_ = false;
    const StoreError& error = result.Error();
    switch (error.kind) {
        case StoreError::Kind::Changed:
            conflict_ = true;
            log(QStringLiteral("not saved: changed elsewhere"));
            ShowConflict(tr("%1 was changed by another program since you opened it. Your changes "
                            "are kept here, not saved: load the stored version (dropping them) or "
                            "keep them as a new schedule.")
                             .arg(Quoted(name)),
                         true);
            break;
        case StoreError::Kind::Gone:
        case StoreError::Kind::UnknownName:
            conflict_ = true;
            log(QStringLiteral("not saved: gone elsewhere"));
            ShowConflict(tr("%1 was renamed or deleted by another program. Your changes are kept "
                            "here, not saved: keep them as a new schedule, or discard them.")
                             .arg(Quoted(name)),
                         false);
            break;
        default:
            log(QStringLiteral("save failed, kept pending"));
            ShowSaveFailure(tr("The changes to %1 are not saved: %2\nThey are kept and saved "
                               "with the next change, or now with Retry.")
                                .arg(Quoted(name), error.message));
            ShowStatus(tr("Not saved: %1").arg(error.message), true);
            break;
    }
}

void DemoSession::retrySave() {
    if (pending_ && !conflict_) RequestSave();
}

void DemoSession::ShowConflict(const QString& text, bool canLoadStored) {
    bannerKind_ = BannerKind::Conflict;
    banner_ = text;
    // A schedule that is gone has no stored version: dropping the changes opens another one.
    canLoadStored_ = canLoadStored;
    Q_EMIT bannerChanged();
    ShowStatus(tr("Not saved: %1 was changed, renamed or deleted elsewhere").arg(Quoted(current_)),
               true);
}

void DemoSession::ShowSaveFailure(const QString& text) {
    bannerKind_ = BannerKind::SaveFailed;
    banner_ = text;
    Q_EMIT bannerChanged();
}

void DemoSession::HideBanner() {
    if (bannerKind_ == BannerKind::None) return;
    bannerKind_ = BannerKind::None;
    banner_.clear();
    Q_EMIT bannerChanged();
}

bool DemoSession::RefuseWhilePending(const QString& what) {
    // Saves still on their way are not a reason: the call is queued behind them.
    if (!pending_ || (saveQueued_ && !conflict_)) return true;
    return Refuse(
        conflict_
            ? tr("Cannot %1 while the changes to %2 are not saved; load the stored version or "
                 "keep them as a new schedule.")
                  .arg(what, Quoted(current_))
            : tr("Cannot %1 while the changes to %2 are not saved; use Retry.")
                  .arg(what, Quoted(current_)));
}

// ---- Messages ----------------------------------------------------------------------------------

void DemoSession::ShowStatus(const QString& text, bool problem) {
    status_ = text;
    statusProblem_ = problem;
    Q_EMIT statusChanged();
}

bool DemoSession::Refuse(const QString& text) {
    log(Short(text));
    ShowStatus(text, true);
    return false;
}

}  // namespace tarn::app
