#pragma once

#include <QString>
#include <cstdint>

class QMimeData;

namespace kelvane {

class frmMain;
struct BusyCursor;

// Turns a drop or a manual save into a file in the target folder, and tells the user how it
// went: busy pointer, picture, status icon, tooltips, sound, message and history entry.
class SavePipeline {
public:
    explicit SavePipeline(frmMain& main);

    // `SaveImage`: index -1 saves into the Desktop folder, 0 to 9 into folder label index.
    // A drop passes its data and empty manualSource/manualTarget; a manual save passes no
    // data, the source file and the full path chosen in the save dialog.
    void SaveImage(std::int16_t index, const QMimeData* data, const QString& manualSource,
                   const QString& manualTarget);

    // `ShowImageInClient`: the picture shows the image file, or a message says it cannot.
    void ShowImageInClient(const QString& path);

    // The picture's double-click: open the newest saved image, or show the desktop.
    void Image1_DblClick();
    void ShowDesktop();
    // `Timer2`: back to the idle look.
    void Timer2_Timer();
    void mnuShowSavedIMageInClient_Click();

    // True while the picture shows the background rather than a saved image.
    bool showsBackground() const;

private:
    enum class Outcome { Saved, Failed, Declined };
    Outcome copyToTarget(std::int16_t index, const QString& source, const QString& name,
                         const QString& manualTarget, QString& target, BusyCursor& busy);
    void onSaved(const QString& target);
    void onFailed(bool showError);

    frmMain& main_;
};

} // namespace kelvane
