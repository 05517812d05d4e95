// A save as the client shows it: picture, status icons, tooltips, sounds and messages.
#include "app/frmMain.h"

#include "core/FileTests.h"
#include "core/Tooltips.h"
#include "history/frmHistory.h"
#include "saving/ManualSave.h"
#include "saving/Preview.h"

#include <QApplication>
#include <QLabel>
#include <QProgressBar>
#include <QTimer>
#include <exception>

namespace kelvane {

void frmMain::receiveDrop(std::int16_t index, const QMimeData* data) {
    // A browser hands over no file: the platform makes one, perhaps only after a download.
    // Meanwhile the busy pointer shows, and a bar over the picture once it takes a moment.
    if (fetching_++ == 0)
        platform_.setBusyCursor(true);
    QTimer::singleShot(300, controls_.prgDrop, [this] {
        if (fetching_ > 0)
            controls_.prgDrop->show();
    });
    platform_.receiveDrop(
        data, {[this, index](const QString& file, const QString&) {
                   endFetch();
                   if (unloaded_)
                       return;
                   if (!file.isEmpty()) // the manual save falls back on the file that came
                       pending_.sTempSaveAsFilename = file;
                   SaveImage(index, file);
                   if (file.isEmpty()) // nothing came: nothing to save by hand either
                       Timer4.stop();
               },
               [this](qint64 received, qint64 total) { showFetchProgress(received, total); }});
}

void frmMain::showFetchProgress(qint64 received, qint64 total) {
    QProgressBar* bar = controls_.prgDrop;
    // Bytes in KiB, so that any size fits the bar's int range; no total: a busy bar.
    bar->setRange(0, total > 0 ? int(total / 1024) + 1 : 0);
    bar->setValue(total > 0 ? int(received / 1024) : 0);
}

void frmMain::endFetch() {
    if (--fetching_ > 0)
        return;
    controls_.prgDrop->hide();
    platform_.setBusyCursor(false);
}

void frmMain::Timer4_Timer() {
    // A tick while the save dialog is open (timers run under it) opens no second dialog; one
    // while a drag is still over the client, or while a drop's file is still on its way,
    // waits for the next second.
    if (manualSaveOpen_ || dragOver_ || fetching_ > 0 || QApplication::activeModalWidget())
        return;
    try {
        if (MouseInsideForm(this) && (MouseIsOverControl(controls_.Image1) || MouseIsOverLabel())) {
            const QString ext =
                manualSaveExtension(pending_.sTempSaveAsFilename, state_.bCorrectQueryStringNames);
            manualSaveOpen_ = true;
            const QString chosen = ShowSaveDialog(
                platform_, this, QStringLiteral("*.") + ext,
                QStringLiteral("Choose Folder and Name of Image File"), pending_.sInitSaveAsDir);
            manualSaveOpen_ = false;
            cues_.PlayClickSound();
            if (!chosen.isEmpty())
                SaveImage(pending_.iCurrentLabel, pending_.sTempSaveAsFilename,
                          manualSavePath(chosen, ext));
        }
    } catch (const std::exception&) {
        manualSaveOpen_ = false;
        Timer4.stop();
        platform_.message(this,
                          QStringLiteral("There was an error while trying to manually save this "
                                         "image. Program will now be terminated."),
                          Platform::Icon::Critical);
        Form_Unload();
        QCoreApplication::exit(0);
        return;
    }
    Timer4.stop();
}

void frmMain::SaveImage(std::int16_t index, const QString& source, const QString& manualTarget) {
    const SaveOutcome outcome = saving_.SaveImage(index, source, manualTarget, this);
    if (outcome.result == SaveOutcome::Result::Saved)
        showSaved(outcome.path);
    else
        showFailed(outcome.result == SaveOutcome::Result::Failed);
}

void frmMain::showSaved(const QString& target) {
    if (state_.bShowSavedImage) {
        controls_.Image1->raise();
        showStatusIcon(0);
        ShowImageInClient(target);
        Timer2.stop();
        Timer2.start();
    }
    showStatusIcon(1);
    if (state_.bShowSavedImage && state_.bPlayConfirmSound) {
        // The picture and the saved icon are on the screen before the sound starts.
        repaint();
        cues_.PlaySoundCue(QStringLiteral("saved"));
    }
    const QString tip = quotedTip(QStringLiteral(" This image was saved to "), target);
    controls_.Image1->setToolTip(tip);
    controls_.imgIcon[1]->setToolTip(tip);
    Timer4.stop(); // no manual save after a successful one
}

void frmMain::showFailed(bool showError) {
    controls_.Image1->setPixmap(controls_.imgBG);
    showStatusIcon(2);
    if (showError) {
        if (state_.bPlayConfirmSound) {
            repaint();
            cues_.PlaySoundCue(QStringLiteral("uhoh"));
        }
        if (state_.bShowSaveErrorMessage)
            platform_.message(
                this,
                QStringLiteral("There was an error while saving this resource. Save image files "
                               "only. \r\nImage source may have expired. See Help file for more "
                               "information."));
    }
    // A failure lets a running count go on: only a success starts it anew.
    if (!Timer2.isActive())
        Timer2.start();
}

void frmMain::ShowImageInClient(const QString& path) {
    QLabel* picture = controls_.Image1;
    const QImage image = decodePreview(path, picture->size() * picture->devicePixelRatioF());
    if (image.isNull()) {
        platform_.message(
            this, QStringLiteral("Could not load the Image. It is either corrupt or missing."));
        return;
    }
    picture->setPixmap(QPixmap::fromImage(image));
}

bool frmMain::showsBackground() const {
    return controls_.Image1->pixmap().cacheKey() == controls_.imgBG.cacheKey();
}

void frmMain::Image1_DblClick() {
    if (showsBackground()) {
        ShowDesktop();
        return;
    }
    const QString path = historyList_.entries().value(0);
    if (!FileExists(path)) {
        platform_.message(this, QStringLiteral("File no longer exists in specified folder"));
        return;
    }
    if (!platform_.openPath(path))
        platform_.message(
            this, QStringLiteral("There was an error while attempting to open this image file."),
            Platform::Icon::Exclamation);
}

void frmMain::ShowDesktop() {
    if (!platform_.showDesktop())
        platform_.message(this,
                          QStringLiteral("There was an error while attempting to show the desktop"),
                          Platform::Icon::Critical);
}

void frmMain::showStatusIcon(int index) {
    // The icon comes to the front; the ones behind it are hidden, or their soft edges would
    // show around it. (Drops and clicks there reach the picture underneath, as they would the
    // icon.)
    for (int i = 0; i < int(controls_.imgIcon.size()); ++i)
        controls_.imgIcon[i]->setVisible(i == index);
    controls_.imgIcon[index]->raise();
}

void frmMain::Timer2_Timer() {
    controls_.Image1->setPixmap(controls_.imgBG);
    controls_.Image1->setToolTip(dragHereTip(QStringLiteral("Desktop")));
    showStatusIcon(0);
    Timer2.stop();
}

void frmMain::mnuShowSavedIMageInClient_Click() {
    cues_.PlayClickSound();
    state_.bShowSavedImage = !state_.bShowSavedImage;
    menus_.mnuShowSavedIMageInClient->setChecked(state_.bShowSavedImage);
}

} // namespace kelvane
