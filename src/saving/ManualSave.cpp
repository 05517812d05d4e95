#include "saving/ManualSave.h"

#include "core/AppState.h"
#include "core/FileTests.h"
#include "core/PendingDrop.h"
#include "core/SoundCues.h"
#include "platform/Platform.h"
#include "saving/FileNaming.h"
#include "ui/ClientControls.h"
#include "ui/CursorRoutines.h"
#include "ui/PointerInside.h"

#include <QApplication>
#include <QLabel>
#include <QWidget>
#include <exception>

namespace kelvane {

QString ShowSaveDialog(Platform& platform, QWidget* owner, const QString& filter,
                       const QString& title, const QString& initialFolder, QString* typed) {
    const QString chosen = platform.saveFileDialog(owner, filter, title, initialFolder);
    if (typed)
        *typed = chosen;
    return chosen.trimmed();
}

QString manualSaveExtension(const QString& source, bool correctQueryStringNames) {
    return GetExtension(CorrectFileName(source, correctQueryStringNames));
}

QString manualSavePath(const QString& chosen, const QString& extension) {
    QString path = chosen.trimmed();
    DeleteExtension(path);
    return path + QLatin1Char('.') + extension;
}

bool MouseInsideForm(Platform& platform, const QWidget* form) {
    const QPoint cursor = platform.cursorPos();
    const QRect r = form->frameGeometry();
    return cursor.x() >= r.left() && cursor.x() <= r.left() + r.width() && cursor.y() >= r.top() &&
           cursor.y() <= r.top() + r.height();
}

ManualSave::ManualSave(Platform& platform, const AppState& state, const PendingDrop& pending,
                       SoundCues& cues, const ClientControls& controls,
                       const PointerInside& pointer, QWidget& client, Save save)
    : platform_(platform), state_(state), pending_(pending), cues_(cues), controls_(controls),
      pointer_(pointer), client_(client), save_(std::move(save)) {}

ManualSave::Result ManualSave::Timer4_Timer(bool busy) {
    // A tick while the save dialog is open opens no second dialog; one while a drag is still
    // over the client, or a drop's file is still on its way, waits for the next second.
    if (open_ || busy || QApplication::activeModalWidget())
        return Result::Wait;
    try {
        if (pointer_.inside() && MouseInsideForm(platform_, &client_) &&
            (MouseIsOverControl(controls_, platform_, controls_.Image1) ||
             MouseIsOverLabel(controls_, platform_))) {
            const QString ext =
                manualSaveExtension(pending_.sTempSaveAsFilename, state_.bCorrectQueryStringNames);
            open_ = true;
            QString typed;
            const QString chosen =
                ShowSaveDialog(platform_, &client_, QStringLiteral("*.") + ext,
                               QStringLiteral("Choose Folder and Name of Image File"),
                               pending_.sInitSaveAsDir, &typed);
            open_ = false;
            cues_.PlayClickSound();
            const QString target = chosen.isEmpty() ? QString() : manualSavePath(chosen, ext);
            // The dialog asked about the name typed; the extension may make it another file.
            const bool asked = target == typed;
            if (!target.isEmpty() &&
                (asked || !FileExists(target) || OverwritePrompt(target, platform_, &client_)))
                save_(pending_.iCurrentLabel, pending_.sTempSaveAsFilename, target);
        }
    } catch (const std::exception&) {
        open_ = false;
        platform_.message(&client_,
                          QStringLiteral("There was an error while trying to manually save this "
                                         "image. Program will now be terminated."),
                          Platform::Icon::Critical);
        return Result::Fatal;
    }
    return Result::Done;
}

} // namespace kelvane
