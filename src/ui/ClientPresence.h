#pragma once

#include "platform/Platform.h"
#include "ui/BrowserFollowing.h"

#include <QObject>
#include <functional>

class QMenu;
class QTimer;
class QWidget;

namespace kelvane {

struct AppState;
class SoundCues;

// The client on and off the screen: the tray icon's clicks, "Hide Kelvane", "Show Kelvane",
// browser following, and a minimised client leaving the screen.
class ClientPresence : public QObject {
public:
    // inBand tells whether the client belongs in the always-on-top band now; Timer5 is the
    // following timer, which a double-click on the tray icon stops.
    ClientPresence(QWidget& client, Platform& platform, AppState& state, SoundCues& cues,
                   QMenu* mnuTrayMenu, QTimer& Timer5, std::function<bool()> inBand);

    // `Form_MouseMove`: a tray notification, as the mouse message it stands for (0x0202 left
    // release, 0x0203 double-click, 0x0205 right release); others change nothing.
    void Form_MouseMove(int code);
    void trayEvent(Platform::TrayEvent event);
    void mnuHideMe_Click();
    void mnuTrayRestore_Click();
    void Timer5_Timer();
    // The user started the program (not the login's hidden start), again or for the first time:
    // following keeps the client on the screen until it has seen a browser window come and go,
    // or the user hides it.
    void holdShown() { held_ = true; }

    // On the screen, in front, in the band when it belongs there; or off the screen.
    void showClient();
    void hideClient();
    bool shown() const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QWidget& client_;
    Platform& platform_;
    AppState& state_;
    SoundCues& cues_;
    QMenu* mnuTrayMenu_;
    QTimer& Timer5_;
    std::function<bool()> inBand_;
    BrowserFollowing following_;
    bool held_ = false;
    bool toldHidden_ = false; // told once where no tray can bring the client back
};

} // namespace kelvane
