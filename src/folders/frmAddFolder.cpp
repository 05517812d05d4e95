#include "folders/frmAddFolder.h"

#include "core/AppState.h"
#include "core/SoundCues.h"
#include "folders/DesktopFolder.h"
#include "folders/FolderCommands.h"
#include "platform/Platform.h"
#include "ui/DesignPlacement.h"

#include <QFileInfo>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace kelvane {

frmAddFolder::frmAddFolder(const AppState& state, FolderCommands& folders, SoundCues& cues,
                           Platform& platform)
    : QDialog(nullptr, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                           Qt::WindowCloseButtonHint),
      state_(state), folders_(folders), cues_(cues), platform_(platform) {
    setObjectName(QStringLiteral("frmAddFolder"));
    // However it closes, the dialog goes; the next opening starts with an empty name.
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QStringLiteral("Add Folder to Desktop"));
    Text1 = new QLineEdit(this);
    Text1->setObjectName(QStringLiteral("Text1"));
    cmdOK = new QPushButton(QStringLiteral("OK"), this);
    cmdOK->setObjectName(QStringLiteral("cmdOK"));
    cmdOK->setDefault(true);
    cmdCancel = new QPushButton(QStringLiteral("Cancel"), this);
    cmdCancel->setObjectName(QStringLiteral("cmdCancel"));
    Label1 = new QLabel(QStringLiteral("Folder Name:"), this);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setBuddy(Text1);
    DesignPlacement design;
    design.fit(Label1, 975);
    design.fit(cmdOK, 1230);
    design.fit(cmdCancel, 1230);
    design.place(Text1, 1200, 240, 2955, 285);
    design.place(cmdOK, 1640, 720, 1230, 360);
    design.place(cmdCancel, 2960, 720, 1230, 360);
    design.place(Label1, 180, 290, 975, 255);
    design.size(this, 4335, 1215);
    setTabOrder(Text1, cmdOK);
    setTabOrder(cmdOK, cmdCancel);
    connect(cmdOK, &QPushButton::clicked, this, &frmAddFolder::cmdOK_Click);
    connect(cmdCancel, &QPushButton::clicked, this, &frmAddFolder::cmdCancel_Click);
    platform_.closeBoxOnly(this);
    Text1->setFocus();
}

void frmAddFolder::cmdOK_Click() {
    cues_.PlayClickSound();
    QString desktop = state_.sDesktopFolder;
    QString name = Text1->text();
    if (CreateDesktopFolder(desktop, name)) {
        close();
        return;
    }
    platform_.message(this,
                      QStringLiteral("There was an error while attempting to create this folder. "
                                     "Please use only legal characters."),
                      Platform::Icon::Critical);
}

void frmAddFolder::cmdCancel_Click() {
    cues_.PlayClickSound();
    close();
}

bool frmAddFolder::CreateDesktopFolder(QString& FolderPath, QString& FolderName) {
    QString path = desktopFolderPath(FolderPath, FolderName);
    if (path.isEmpty())
        return false;
    // A Desktop folder that is missing is made, as a save there would make it; nothing above.
    if (!QFileInfo(FolderPath).isDir())
        platform_.createFolder(FolderPath);
    if (!platform_.createFolder(path))
        return false;
    // Listed or not (the list may hold it already, or be full), the folder stays.
    const bool listed = folders_.AddFolderToList(path, this);
    Q_EMIT labelsChanged();
    return listed;
}

void frmAddFolder::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape) {
        cmdCancel_Click();
        return;
    }
    QDialog::keyPressEvent(event);
}

} // namespace kelvane
