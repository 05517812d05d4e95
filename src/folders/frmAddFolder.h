#pragma once

#include <QDialog>

class QLabel;
class QLineEdit;
class QPushButton;

namespace kelvane {

struct AppState;
class FolderCommands;
class Platform;
class SoundCues;

// "Add Folder to Desktop": asks for a name, makes that folder in the Desktop folder and puts
// it into the folder list. Opens with an empty name; goes when it closes.
class frmAddFolder : public QDialog {
    Q_OBJECT

public:
    frmAddFolder(const AppState& state, FolderCommands& folders, SoundCues& cues,
                 Platform& platform);

    void cmdOK_Click();
    void cmdCancel_Click();
    // `CreateDesktopFolder`: makes the folder FolderName in FolderPath and lists it. False
    // when the folder could not be made or could not be listed at all.
    bool CreateDesktopFolder(QString& FolderPath, QString& FolderName);

    QLabel* Label1 = nullptr;
    QLineEdit* Text1 = nullptr;
    QPushButton* cmdOK = nullptr;
    QPushButton* cmdCancel = nullptr;

Q_SIGNALS:
    // The folder list may look different: the labels are to be laid out again.
    void labelsChanged();

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    const AppState& state_;
    FolderCommands& folders_;
    SoundCues& cues_;
    Platform& platform_;
};

} // namespace kelvane
