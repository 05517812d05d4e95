#include "saving/SaveFeedback.h"

#include "core/AppState.h"
#include "core/FileTests.h"
#include "core/SoundCues.h"
#include "core/Tooltips.h"
#include "platform/Platform.h"
#include "saving/Preview.h"
#include "saving/SavePipeline.h"
#include "ui/ClientControls.h"
#include "ui/ClientLook.h"

#include <QDebug>
#include <QFileInfo>
#include <QFutureWatcher>
#include <QLabel>
#include <QTimer>
#include <QWidget>
#include <QtConcurrent/QtConcurrentRun>

namespace kelvane {
namespace {

// A picture file larger than this is decoded beside the window, which confirms the save
// meanwhile.
constexpr qint64 kDecodeAsideBytes = qint64(4) << 20;

} // namespace

SaveFeedback::SaveFeedback(QWidget& window, ClientControls& controls, ClientLook& look,
                           const AppState& state, SoundCues& cues, Platform& platform,
                           QTimer& Timer2, QTimer& Timer4)
    : window_(window), controls_(controls), look_(look), state_(state), cues_(cues),
      platform_(platform), Timer2_(Timer2), Timer4_(Timer4) {}

void SaveFeedback::showOutcome(const SaveOutcome& outcome) {
    if (outcome.result == SaveOutcome::Result::Saved)
        showSaved(outcome.path, outcome.remark);
    else
        showFailed(outcome.result == SaveOutcome::Result::Failed, outcome.reason);
}

void SaveFeedback::showSaved(const QString& target, const QString& remark) {
    if (state_.bShowSavedImage) {
        controls_.Image1->raise();
        look_.showStatusIcon(0);
        ShowImageInClient(target);
        Timer2_.start();
    }
    look_.showStatusIcon(1);
    if (state_.bShowSavedImage && state_.bPlayConfirmSound) {
        // The picture and the saved icon are on the screen before the sound starts.
        window_.repaint();
        cues_.PlaySoundCue(QStringLiteral("saved"));
    }
    QString tip = quotedTip(QStringLiteral(" This image was saved to "), target) +
                  (remark.isEmpty() ? QString() : remark + QLatin1Char(' '));
    if (state_.bShowSavedImage && pictureWithoutDecoder(target))
        tip += QStringLiteral("Kelvane cannot show this kind of picture. ");
    controls_.Image1->setToolTip(tip);
    controls_.imgIcon[1]->setToolTip(tip);
    Timer4_.stop(); // no manual save after a successful one
}

void SaveFeedback::showFailed(bool showError, const QString& reason) {
    ++previews_; // a preview still being decoded is no longer wanted
    look_.showBackground();
    look_.showStatusIcon(2);
    if (showError) {
        // The message stays general; the failed icon's tooltip and the log say what went wrong.
        controls_.imgIcon[2]->setToolTip(QStringLiteral(" This image was not saved: ") + reason +
                                         QLatin1Char(' '));
        qWarning().noquote() << "kelvane: a dropped image was not saved:" << reason;
        if (state_.bPlayConfirmSound) {
            window_.repaint();
            cues_.PlaySoundCue(QStringLiteral("uhoh"));
        }
        if (state_.bShowSaveErrorMessage)
            platform_.message(
                &window_,
                QStringLiteral("There was an error while saving this resource. Save image files "
                               "only. \r\nImage source may have expired. See Help file for more "
                               "information."));
    }
    armIdleReturn(); // only a success starts the count anew
}

void SaveFeedback::armIdleReturn() {
    if (!Timer2_.isActive())
        Timer2_.start();
}

void SaveFeedback::ShowImageInClient(const QString& path) {
    QLabel* picture = controls_.Image1;
    const QSize box = (QSizeF(picture->size()) * picture->devicePixelRatioF()).toSize();
    const int preview = ++previews_;
    if (QFileInfo(path).size() <= kDecodeAsideBytes) {
        showDecoded(path, decodePreview(path, box));
        return;
    }
    // Only the newest preview is shown, and only until the picture shows something else.
    auto* decoding = new QFutureWatcher<QImage>(picture);
    QObject::connect(decoding, &QFutureWatcherBase::finished, picture,
                     [this, decoding, path, preview] {
                         decoding->deleteLater();
                         if (preview == previews_)
                             showDecoded(path, decoding->result());
                     });
    decoding->setFuture(QtConcurrent::run(decodePreview, path, box));
}

void SaveFeedback::showDecoded(const QString& path, const QImage& image) {
    if (!image.isNull()) {
        controls_.Image1->setPixmap(QPixmap::fromImage(image));
    } else if (pictureWithoutDecoder(path)) {
        look_.showBackground(); // a picture all the same; its tooltip says it cannot be shown
    } else {
        platform_.message(
            &window_, QStringLiteral("Could not load the Image. It is either corrupt or missing."));
    }
}

void SaveFeedback::showPreview(const QString& path) {
    ShowImageInClient(path);
    look_.showStatusIcon(0);
    Timer2_.start(); // the preview gets its full time before the background returns
}

void SaveFeedback::Timer2_Timer() {
    ++previews_;
    look_.showBackground();
    controls_.Image1->setToolTip(dragHereTip(QStringLiteral("Desktop")));
    look_.showStatusIcon(0);
    Timer2_.stop();
}

bool SaveFeedback::Image1_DblClick(const QString& newest) {
    if (look_.showsBackground())
        return ShowDesktop();
    if (!FileExists(newest)) {
        platform_.message(&window_, QStringLiteral("File no longer exists in specified folder"));
        return false;
    }
    if (!platform_.openPath(newest))
        platform_.message(
            &window_,
            QStringLiteral("There was an error while attempting to open this image file."),
            Platform::Icon::Exclamation);
    return false;
}

bool SaveFeedback::ShowDesktop() {
    if (platform_.showDesktop())
        return true;
    platform_.message(&window_,
                      QStringLiteral("There was an error while attempting to show the desktop"),
                      Platform::Icon::Critical);
    return false;
}

} // namespace kelvane
