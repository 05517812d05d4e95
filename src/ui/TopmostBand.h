#pragma once

#include <QList>
#include <QObject>
#include <QPointer>
#include <functional>

class QAction;
class QWidget;

namespace kelvane {

class Platform;
struct AppState;

// The client's place in the always-on-top band while secondary windows are open: `ShowDialog`
// takes it out, and the last of them to go brings it back.
class TopmostBand : public QObject {
public:
    // beforeDialog runs as a secondary window is shown (the manual save is disarmed then).
    TopmostBand(QWidget& client, Platform& platform, const AppState& state, QAction* mnuAlwaysOnTop,
                std::function<void()> beforeDialog);

    // `ShowDialog`: shows a secondary window modeless, owned by the client. False when there is
    // no window to show.
    bool ShowDialog(QWidget* window);
    // `SuspendAlwaysOnTop`, `RestoreAlwaysOnTop`: the client leaves the band (the setting stays
    // on, the check mark goes) and comes back; nothing when the setting is off.
    void SuspendAlwaysOnTop();
    void RestoreAlwaysOnTop();
    // The client belongs in the band now: the setting is on and no secondary window holds it out.
    bool inBand() const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void dialogGone(QObject* window);

    QWidget& client_;
    Platform& platform_;
    const AppState& state_;
    QAction* mnuAlwaysOnTop_;
    std::function<void()> beforeDialog_;
    QList<QPointer<QObject>> openDialogs_; // shown through ShowDialog and not gone yet
};

} // namespace kelvane
