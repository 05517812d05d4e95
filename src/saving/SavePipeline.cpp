#include "saving/SavePipeline.h"

#include "core/AppState.h"
#include "folders/FolderSlots.h"
#include "history/HistoryCommands.h"
#include "history/HistoryList.h"
#include "platform/Platform.h"
#include "saving/FileNaming.h"

#include <QDir>
#include <QFileInfo>

namespace kelvane {
namespace {

// The busy pointer while a save works; off while the user answers a question.
class BusyCursor {
public:
    explicit BusyCursor(Platform& platform) : platform_(platform) { set(true); }
    ~BusyCursor() { set(false); }
    void set(bool busy) {
        if (std::exchange(busy_, busy) != busy)
            platform_.setBusyCursor(busy);
    }

private:
    Platform& platform_;
    bool busy_ = false;
};

// Creates a missing Desktop folder, but no chain of folders above it: a mistyped or relative
// folder in the settings must not scatter new folders about.
bool ensureFolder(const QString& folder) {
    const QFileInfo info(folder);
    if (info.isDir())
        return true;
    return info.isAbsolute() && QFileInfo(info.absolutePath()).isDir() && QDir().mkdir(folder);
}

SaveOutcome failed(const QString& reason) {
    return {SaveOutcome::Result::Failed, QString(), reason, QString()};
}

} // namespace

SavePipeline::SavePipeline(const AppState& state, const FolderSlots& folders, HistoryList& history,
                           QString historyFile, Platform& platform)
    : state_(state), folders_(folders), history_(history), historyFile_(std::move(historyFile)),
      platform_(platform) {}

SaveOutcome SavePipeline::SaveImage(std::int16_t index, const QString& source,
                                    const QString& manualTarget, QWidget* owner) {
    if (source.isEmpty())
        return failed(QStringLiteral("the drag carries no file"));
    const SaveOutcome outcome = copyToTarget(index, source, manualTarget, owner);
    if (outcome.result == SaveOutcome::Result::Saved)
        record(outcome.path, owner);
    return outcome;
}

SaveOutcome SavePipeline::copyToTarget(std::int16_t index, const QString& source,
                                       const QString& manualTarget, QWidget* owner) {
    BusyCursor busy(platform_);
    const bool manual = !manualTarget.isEmpty();
    const QString name =
        CorrectFileName(manual ? manualTarget : source, state_.bCorrectQueryStringNames);
    // The drop's own index decides the folder: a drop on a label goes into that label even
    // before the hover poll has seen the cursor there.
    const bool desktop = index == -1;
    const QString folder = desktop ? state_.sDesktopFolder : folders_.slot(index);
    if (folder.isEmpty() || name.isEmpty())
        return failed(QStringLiteral("no target folder or name"));
    if (desktop && !ensureFolder(folder))
        return failed(QStringLiteral("the Desktop folder cannot be made"));
    QString target = folder + QLatin1Char('/') + name;
    // A file of the same name is never replaced silently, whichever folder it is in. A manual
    // save has had the save dialog's own question already, about the file it will write: a
    // question about a Desktop file of the same name would be about another file.
    if (!manual && FileExists(target)) {
        busy.set(false);
        if (state_.bAutoIncrementSavedFiles)
            target = IncrementFileName(target, platform_, owner);
        else if (!OverwritePrompt(target, platform_, owner))
            return {SaveOutcome::Result::Declined, QString(), QString(), QString()};
        busy.set(true);
    }
    if (manual)
        target = manualTarget; // the save dialog's choice wins
    if (target.isEmpty())
        return failed(QStringLiteral("no free numbered name"));
    const CopyResult copied = platform_.copyFile(source, target);
    if (!copied.ok)
        return failed(copied.error);
    if (!FileExists(target))
        return failed(QStringLiteral("the copy is not there"));
    return {SaveOutcome::Result::Saved, target, QString(), QString()};
}

void SavePipeline::record(const QString& target, QWidget* owner) {
    history_.AddToHistory(target);
    history_.RemoveMissingFromHistory();
    SaveHistory(history_, historyFile_, platform_, owner);
}

} // namespace kelvane
