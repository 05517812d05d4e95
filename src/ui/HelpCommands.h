#pragma once

#include <QString>

class QWidget;

namespace kelvane {

class Platform;
class SoundCues;

// "Contents...": the help page in the default browser; a message when it cannot be opened.
void mnuContents_Click(Platform& platform, SoundCues& cues, QWidget* owner);
// "Open Kelvane Homepage...": the homepage in the default browser.
void mnuOpenWebsite_Click(Platform& platform, SoundCues& cues, QWidget* owner,
                          const QString& address);

} // namespace kelvane
