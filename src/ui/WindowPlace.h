#pragma once

#include <QObject>
#include <QPoint>
#include <QTimer>
#include <functional>
#include <optional>

class QWidget;

namespace kelvane {

class Platform;
struct AppState;

// Where the client is: put where the settings say, and the settings kept where the window
// really is. The window manager's account of the place is what counts; Qt is told when it
// differs, since Qt maps every drop and every docked window by its own idea of the place.
class WindowPlace : public QObject {
public:
    // held tells when the place is in the user's hands (a move, a drag over the window): no
    // correction then.
    WindowPlace(QWidget& window, Platform& platform, AppState& state, std::function<bool()> held);

    // The window goes where the settings say.
    void apply();
    // The settings take the window's place, as the window system has it.
    void store();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void storeAt(QPoint at);
    void moved(bool spontaneous);
    void followWindowManager();

    QWidget& window_;
    Platform& platform_;
    AppState& state_;
    std::function<bool()> held_;
    QTimer poll_;
    std::optional<QPoint> placeSeen_; // where the X server had the window, unlike Qt, last look
};

} // namespace kelvane
