#pragma once

#include <QString>

class QWidget;

namespace kelvane {

class Platform;
class SoundCues;

// "Contents...": the help page in the default browser. A missing page is for the browser to
// report; the program reports only an opener that could not do it.
void mnuContents_Click(Platform& platform, SoundCues& cues, QWidget* owner);
// "Open Kelvane Homepage...": the homepage in the default browser.
void mnuOpenWebsite_Click(Platform& platform, SoundCues& cues, QWidget* owner,
                          const QString& address);

} // namespace kelvane
