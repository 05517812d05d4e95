#pragma once

#include <QDialog>
#include <QIcon>

class QLabel;
class QPushButton;

namespace kelvane {

struct AppState;
class SoundCues;

// "About Kelvane": the program's name, icon, version, build number and licence. Goes when it
// closes.
class frmAbout : public QDialog {
    Q_OBJECT

public:
    frmAbout(const AppState& state, SoundCues& cues, const QIcon& icon);

    // `Form_Load`: the version and build from the program's state.
    void Form_Load();
    void cmdOK_Click();

    QLabel* Label3 = nullptr; // the name
    QLabel* Image1 = nullptr; // the icon
    QLabel* Label1 = nullptr;
    QLabel* Label8 = nullptr; // the version
    QLabel* Label2 = nullptr;
    QLabel* Label9 = nullptr;  // the build
    QLabel* Label10 = nullptr; // the licence
    QPushButton* cmdOK = nullptr;

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    const AppState& state_;
    SoundCues& cues_;
};

} // namespace kelvane
