#pragma once

#include <QDialog>
#include <functional>

class QCheckBox;
class QFrame;
class QPushButton;

namespace kelvane {

struct AppState;
class Platform;
class SoundCues;

// "More Options": seven on/off settings as check boxes. OK applies them, keeps the autostart
// entry in step with starting at login and writes the settings file; Cancel writes the file
// as it stands. Filled from the settings when it is made; it goes when it closes.
class frmOptions : public QDialog {
    Q_OBJECT

public:
    // saveSettings writes the settings file and says whether it could.
    frmOptions(AppState& state, SoundCues& cues, Platform& platform,
               std::function<bool()> saveSettings);

    // `Form_Load`: each check box shows its setting.
    void Form_Load();
    void cmdOK_Click();
    void cmdCancel_Click();
    // `UnloadMe`: writes the settings file and closes the dialog.
    void UnloadMe();

    QPushButton* cmdOK = nullptr;
    QFrame* Label2 = nullptr;
    QCheckBox* Check1 = nullptr; // start at login
    QCheckBox* Check2 = nullptr; // ask before deleting a file
    QCheckBox* Check3 = nullptr; // delete the history on exit
    QCheckBox* Check4 = nullptr; // message after a failed save
    QCheckBox* Check5 = nullptr; // number files instead of asking
    QCheckBox* Check6 = nullptr; // clean query-string names
    QPushButton* cmdCancel = nullptr;
    QCheckBox* Check7 = nullptr; // browser following

Q_SIGNALS:
    // OK turned browser following on or off.
    void browserFollowingChanged(bool on);

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    void Check7_Click();

    AppState& state_;
    SoundCues& cues_;
    Platform& platform_;
    std::function<bool()> saveSettings_;
};

} // namespace kelvane
