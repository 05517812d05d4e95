#pragma once

#include <QString>

namespace kelvane {

class Platform;

// The program's seven short sounds, played from <resources>/res/<name>.wav. Every cue plays
// synchronously: the caller goes on once the sound has ended.
class SoundCues {
public:
    SoundCues(Platform& platform, QString resourceFolder);

    // `PlaySoundCue`: one of "hello", "click", "enlarge", "shrink", "saved", "uhoh", "byebye".
    void PlaySoundCue(const QString& name);
    // `PlayClickSound`: the cue of menu commands and dialog buttons.
    void PlayClickSound();

    QString fileOf(const QString& name) const;

private:
    Platform& platform_;
    QString resourceFolder_;
};

} // namespace kelvane
