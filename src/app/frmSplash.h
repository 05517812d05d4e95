#pragma once

#include <QTimer>
#include <QWidget>

class QLabel;

namespace kelvane {

class frmMain;

// The splash window shown while the client is being prepared. Its timer ends the start-up:
// it hands over to the client window and closes itself.
class frmSplash : public QWidget {
    Q_OBJECT

public:
    explicit frmSplash(frmMain& main);

    // Sets the timer's interval, which restarts it.
    void setSplashDuration(int milliseconds);
    // The client's start-up has ended: a hand-over that fell due meanwhile happens now.
    void loadFinished();

    QLabel* Label2 = nullptr; // build number
    QLabel* Label3 = nullptr; // notice
    QLabel* Label4 = nullptr; // slogan
    QLabel* Label5 = nullptr; // version
    QTimer Timer1;

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void Form_Load();
    void Timer1_Timer();
    void Form_Unload();

    frmMain& main_;
    bool unloaded_ = false;
    bool handOverDue_ = false;
};

} // namespace kelvane
