#include "platform/x11/DesktopDialogs.h"

#include <QEventLoop>
#include <QFileDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QProcess>
#include <QTimer>
#include <memory>

namespace kelvane::dialogs {

Platform::Answer messageBox(QWidget* owner, const QString& text, const QString& title,
                            Platform::Buttons buttons, Platform::Icon icon) {
    QMessageBox box(owner);
    box.setWindowTitle(title);
    box.setText(QString(text).replace(QStringLiteral("\r\n"), QStringLiteral("\n")));
    box.setIcon(icon == Platform::Icon::Critical      ? QMessageBox::Critical
                : icon == Platform::Icon::Exclamation ? QMessageBox::Warning
                : icon == Platform::Icon::Question    ? QMessageBox::Question
                                                      : QMessageBox::NoIcon);
    if (buttons == Platform::Buttons::YesNo) {
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
        box.setDefaultButton(QMessageBox::Yes);
    } else {
        box.setStandardButtons(QMessageBox::Ok);
    }
    const int result = box.exec();
    if (buttons == Platform::Buttons::Ok)
        return Platform::Answer::Ok;
    return result == QMessageBox::Yes ? Platform::Answer::Yes : Platform::Answer::No;
}

QString saveFile(QWidget* owner, const QString& filter, const QString& title,
                 const QString& startFolder) {
    QFileDialog dialog(owner, title, startFolder, filter);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    // Qt's own dialog, the same on every desktop; it asks before replacing a file.
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    return dialog.selectedFiles().constFirst();
}

QString browseForFolder(QWidget* owner, const QString& title, const QString& startFolder) {
    QFileDialog dialog(owner, title, startFolder);
    dialog.setFileMode(QFileDialog::Directory);
    dialog.setOption(QFileDialog::ShowDirsOnly);
    // Qt's own dialog, so that the selected folder's path shows in its name field.
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setLabelText(QFileDialog::FileName, QStringLiteral("Folder:"));
    // The name field shows the whole path of the selected folder, not just its name: set once
    // the dialog has done with the click, since it puts the name there after telling of the
    // change.
    if (auto* name = dialog.findChild<QLineEdit*>(QStringLiteral("fileNameEdit"))) {
        QObject::connect(
            &dialog, &QFileDialog::currentChanged, name,
            [name](const QString& path) { name->setText(path); }, Qt::QueuedConnection);
        name->setText(startFolder);
    }
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    return dialog.selectedFiles().constFirst();
}

// Hands one argument to the desktop's opener, xdg-open, never through a shell, and says
// whether it worked: false when the opener cannot start or reports failure (no application
// for the file, a browser that cannot start); a missing file is the opener's to report. An opener
// still running after a short while has started the application in its own place (without a desktop
// environment xdg-open runs it and waits for it): that counts as done, and it runs on. Meanwhile
// the windows are drawn but take no input.
bool openWithDesktop(const QString& argument) {
    constexpr int kBoundMs = 1500;
    struct Outcome {
        bool ended = false;
        bool ok = false;
    };
    auto outcome = std::make_shared<Outcome>();
    auto* opener = new QProcess;
    opener->setProgram(QStringLiteral("xdg-open"));
    opener->setArguments({argument});
    opener->setStandardInputFile(QProcess::nullDevice());
    opener->setStandardOutputFile(QProcess::nullDevice());
    QObject::connect(opener, &QProcess::finished, opener,
                     [opener, outcome](int code, QProcess::ExitStatus status) {
                         outcome->ended = true;
                         // 2: the file is not there, which the opener says itself.
                         outcome->ok = status == QProcess::NormalExit && (code == 0 || code == 2);
                         opener->deleteLater();
                     });
    opener->start();
    if (!opener->waitForStarted()) {
        opener->deleteLater();
        return false;
    }
    QEventLoop wait;
    QObject::connect(opener, &QProcess::finished, &wait, &QEventLoop::quit);
    QTimer::singleShot(kBoundMs, &wait, &QEventLoop::quit);
    if (!outcome->ended)
        wait.exec(QEventLoop::ExcludeUserInputEvents);
    return !outcome->ended || outcome->ok;
}

} // namespace kelvane::dialogs
