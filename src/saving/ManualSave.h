#pragma once

#include <QString>
#include <cstdint>
#include <functional>

class QWidget;

namespace kelvane {

class Platform;
class PointerInside;
class SoundCues;
struct AppState;
struct ClientControls;
struct PendingDrop;

// `ShowSaveDialog`: the save dialog with one type entry (filter, "*.jpg"), a title and a start
// folder; the chosen path with surrounding blanks removed, or empty when cancelled. typed, when
// given, receives the path as the dialog had it (the one it asked about, blanks and all).
QString ShowSaveDialog(Platform& platform, QWidget* owner, const QString& filter,
                       const QString& title, const QString& initialFolder,
                       QString* typed = nullptr);

// The extension a manual save keeps: that of the source's corrected name ("jpg").
QString manualSaveExtension(const QString& source, bool correctQueryStringNames);

// The chosen path made to end in the source's extension: a typed ".jpg", ".tif", ".gif" or
// ".bmp" gives way to it; any other typed extension stays in front of it ("cat.png.jpg").
QString manualSavePath(const QString& chosen, const QString& extension);

// `MouseInsideForm`: the cursor is inside the window's rectangle, both edges included.
bool MouseInsideForm(Platform& platform, const QWidget* form);

// The manual save: a second after a drag that did not save, with the cursor still on the
// client, the save dialog offers to save the pending drop's file by hand. The pointer counts as
// on the client only while the window has it (see PointerInside), not where it is said to be.
class ManualSave {
public:
    enum class Result {
        Wait, // not now: the timer ticks again
        Done, // offered (or not due): the timer stops
        Fatal // the program cannot go on; the user has been told
    };
    // save runs with the target, the source and the path chosen.
    using Save =
        std::function<void(std::int16_t index, const QString& source, const QString& target)>;
    ManualSave(Platform& platform, const AppState& state, const PendingDrop& pending,
               SoundCues& cues, const ClientControls& controls, const PointerInside& pointer,
               QWidget& client, Save save);

    // `Timer4_Timer`; busy while a drag is over the client or a drop's file is on its way.
    Result Timer4_Timer(bool busy);

private:
    Platform& platform_;
    const AppState& state_;
    const PendingDrop& pending_;
    SoundCues& cues_;
    const ClientControls& controls_;
    const PointerInside& pointer_;
    QWidget& client_;
    Save save_;
    bool open_ = false; // the dialog is open (timers tick under it)
};

} // namespace kelvane
