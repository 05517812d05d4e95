#include "saving/SaveImage.h"

#include "app/frmMain.h"
#include "history/HistoryCommands.h"
#include "history/frmHistory.h"
#include "platform/Platform.h"
#include "saving/DropData.h"
#include "saving/FileNaming.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QImageReader>
#include <QLabel>

namespace kelvane {

// The busy pointer while a save works; off while the user answers a question.
struct BusyCursor {
    BusyCursor() { set(); }
    ~BusyCursor() { restore(); }
    void set() {
        if (!std::exchange(active, true))
            QApplication::setOverrideCursor(Qt::WaitCursor);
    }
    void restore() {
        if (std::exchange(active, false))
            QApplication::restoreOverrideCursor();
    }
    bool active = false;
};

namespace {

// Creates a missing Desktop folder, but no chain of folders above it: a mistyped or relative
// folder in the settings must not scatter new folders about.
bool ensureFolder(const QString& folder) {
    const QFileInfo info(folder);
    if (info.isDir())
        return true;
    return info.isAbsolute() && QFileInfo(info.absolutePath()).isDir() && QDir().mkdir(folder);
}

} // namespace

SavePipeline::SavePipeline(frmMain& main) : main_(main) {}

void SavePipeline::SaveImage(std::int16_t index, const QMimeData* data, const QString& manualSource,
                             const QString& manualTarget) {
    BusyCursor busy;
    const AppState& state = main_.state();
    const bool manual = !manualSource.isEmpty();
    const QString source = manual ? manualSource : firstDroppedFile(data);
    if (source.isEmpty()) { // a drag without a file list
        busy.restore();
        onFailed(true);
        return;
    }
    const QString name =
        CorrectFileName(manual ? manualTarget : source, state.bCorrectQueryStringNames);
    QString target;
    const Outcome outcome = copyToTarget(index, source, name, manualTarget, target, busy);
    busy.restore();
    if (outcome == Outcome::Saved)
        onSaved(target);
    else
        onFailed(outcome == Outcome::Failed);
}

SavePipeline::Outcome SavePipeline::copyToTarget(std::int16_t index, const QString& source,
                                                 const QString& name, const QString& manualTarget,
                                                 QString& target, BusyCursor& busy) {
    const AppState& state = main_.state();
    Platform& platform = main_.platform();
    // The drop's own index decides the folder: a drop on a label goes into that label even
    // before the hover poll has seen the cursor there.
    const bool desktop = index == -1;
    const QString folder = desktop ? state.sDesktopFolder : main_.FolderList().slot(index);
    if (folder.isEmpty() || name.isEmpty())
        return Outcome::Failed;
    if (desktop && !ensureFolder(folder))
        return Outcome::Failed;
    target = folder + QLatin1Char('/') + name;
    // An existing file is never replaced silently, whichever folder it is in, and whatever
    // its name (a hidden one too). A manual save into a label's folder has had the save
    // dialog's own question already.
    if ((desktop || manualTarget.isEmpty()) && QFileInfo::exists(target)) {
        busy.restore();
        if (state.bAutoIncrementSavedFiles)
            target = IncrementFileName(target, platform, &main_);
        else if (!OverwritePrompt(target, platform, &main_))
            return Outcome::Declined;
        busy.set();
    }
    if (!manualTarget.isEmpty())
        target = manualTarget; // the save dialog's choice wins
    if (target.isEmpty() || !platform.copyFile(source, target).ok || !QFileInfo(target).isFile())
        return Outcome::Failed;
    return Outcome::Saved;
}

void SavePipeline::onSaved(const QString& target) {
    AppState& state = main_.state();
    ClientControls& c = main_.controls();
    if (state.bShowSavedImage) {
        c.Image1->raise();
        c.imgIcon[0]->raise();
        ShowImageInClient(target);
        if (state.bPlayConfirmSound)
            main_.cues().PlaySoundCue(QStringLiteral("saved"));
        main_.Timer2.stop();
        main_.Timer2.start();
    }
    c.imgIcon[1]->raise();

    HistoryList& history = main_.historyList();
    history.AddToHistory(target);
    history.RemoveMissingFromHistory();
    SaveHistory(history, main_.historyPath(), main_.platform(), &main_);
    CheckClearHistoryMenu(history, main_.menus().mnuClearHistory);
    if (main_.history())
        main_.history()->refresh();

    const QString tip = quotedTip(QStringLiteral(" This image was saved to "), target);
    c.Image1->setToolTip(tip);
    c.imgIcon[1]->setToolTip(tip);
    main_.Timer4.stop(); // no manual save after a successful one
}

void SavePipeline::onFailed(bool showError) {
    const AppState& state = main_.state();
    ClientControls& c = main_.controls();
    c.Image1->setPixmap(c.imgBG);
    c.imgIcon[2]->raise();
    if (showError) {
        if (state.bPlayConfirmSound)
            main_.cues().PlaySoundCue(QStringLiteral("uhoh"));
        if (state.bShowSaveErrorMessage)
            main_.platform().message(
                &main_,
                QStringLiteral("There was an error while saving this resource. Save image files "
                               "only. \r\nImage source may have expired. See Help file for more "
                               "information."));
    }
    main_.Timer2.start();
}

void SavePipeline::ShowImageInClient(const QString& path) {
    QLabel* picture = main_.controls().Image1;
    QImageReader reader(path);
    reader.setAutoTransform(true);
    // The picture is small: decode no more pixels than it can show.
    const QSize box = picture->size() * picture->devicePixelRatioF();
    const QSize full = reader.size();
    if (full.isValid() && box.isValid() &&
        (full.width() > 2 * box.width() || full.height() > 2 * box.height()))
        reader.setScaledSize(full.scaled(box * 2, Qt::KeepAspectRatio));
    const QImage image = reader.read();
    if (image.isNull()) {
        main_.platform().message(
            &main_, QStringLiteral("Could not load the Image. It is either corrupt or missing."));
        return;
    }
    picture->setPixmap(QPixmap::fromImage(image));
}

bool SavePipeline::showsBackground() const {
    const ClientControls& c = main_.controls();
    return c.Image1->pixmap().cacheKey() == c.imgBG.cacheKey();
}

void SavePipeline::Image1_DblClick() {
    Platform& platform = main_.platform();
    if (showsBackground()) {
        ShowDesktop();
        return;
    }
    const QString path = main_.historyList().entries().value(0);
    if (!FileExists(path)) {
        platform.message(&main_, QStringLiteral("File no longer exists in specified folder"));
        return;
    }
    if (!platform.openPath(path))
        platform.message(
            &main_, QStringLiteral("There was an error while attempting to open this image file."),
            Platform::Icon::Exclamation);
}

void SavePipeline::ShowDesktop() {
    if (!main_.platform().showDesktop())
        main_.platform().message(
            &main_, QStringLiteral("There was an error while attempting to show the desktop"),
            Platform::Icon::Critical);
}

void SavePipeline::Timer2_Timer() {
    ClientControls& c = main_.controls();
    c.Image1->setPixmap(c.imgBG);
    c.Image1->setToolTip(dragHereTip(QStringLiteral("Desktop")));
    c.imgIcon[0]->raise();
    main_.Timer2.stop();
}

void SavePipeline::mnuShowSavedIMageInClient_Click() {
    main_.cues().PlayClickSound();
    AppState& state = main_.state();
    state.bShowSavedImage = !state.bShowSavedImage;
    main_.menus().mnuShowSavedIMageInClient->setChecked(state.bShowSavedImage);
}

} // namespace kelvane
