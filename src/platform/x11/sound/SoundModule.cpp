// The sound module: the program loads it when the first cue plays, so that libpulse and
// libsndfile (with the codec libraries behind it) cost nothing at start-up.
#include "platform/x11/sound/PulseSound.h"

#include <QString>

extern "C" Q_DECL_EXPORT void kelvane_play_wav_sync(const char16_t* path, int length) {
    kelvane::playWavSync(QString::fromUtf16(path, length));
}
