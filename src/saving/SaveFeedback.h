#pragma once

#include <QString>

class QImage;
class QTimer;
class QWidget;

namespace kelvane {

class ClientLook;
class Platform;
class SoundCues;
struct AppState;
struct ClientControls;
struct SaveOutcome;

// A save as the client shows it: the picture, the status icons, the tooltips, the sounds and the
// messages, and the return to the idle look.
class SaveFeedback {
public:
    // Timer2 brings the idle look back; Timer4 is the manual save, disarmed by a success.
    SaveFeedback(QWidget& window, ClientControls& controls, ClientLook& look, const AppState& state,
                 SoundCues& cues, Platform& platform, QTimer& Timer2, QTimer& Timer4);

    void showOutcome(const SaveOutcome& outcome);
    // `ShowImageInClient`: the picture shows the image file, or a message says it cannot.
    void ShowImageInClient(const QString& path);
    // A picture from the history: shown with the idle icon for the full time.
    void showPreview(const QString& path);
    // The idle look: the background, the idle icon, the tooltips.
    void Timer2_Timer();
    // A failure or a preview lets a running count go on; a stopped one starts.
    void armIdleReturn();
    // The picture's double-click: opens the newest saved image, or shows the desktop while the
    // picture shows the background. True when the desktop is being shown.
    bool Image1_DblClick(const QString& newest);

private:
    void showSaved(const QString& target, const QString& remark);
    void showFailed(bool showError, const QString& reason);
    // The decoded picture, or what shows when there is none.
    void showDecoded(const QString& path, const QImage& image);
    bool ShowDesktop();

    QWidget& window_;
    ClientControls& controls_;
    ClientLook& look_;
    const AppState& state_;
    SoundCues& cues_;
    Platform& platform_;
    QTimer& Timer2_;
    QTimer& Timer4_;
    int previews_ = 0; // counts the pictures asked for: a late one that is not the last is dropped
};

} // namespace kelvane
