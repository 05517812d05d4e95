#include "core/SoundCues.h"

#include "platform/Platform.h"

namespace kelvane {

SoundCues::SoundCues(Platform& platform, QString resourceFolder)
    : platform_(platform), resourceFolder_(std::move(resourceFolder)) {}

QString SoundCues::fileOf(const QString& name) const {
    return resourceFolder_ + QStringLiteral("/res/") + name + QStringLiteral(".wav");
}

void SoundCues::PlaySoundCue(const QString& name) {
    platform_.playSoundSync(fileOf(name));
}

void SoundCues::PlayClickSound() {
    PlaySoundCue(QStringLiteral("click"));
}

} // namespace kelvane
