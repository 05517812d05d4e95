#include "platform/x11/sound/SoundFile.h"

#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <algorithm>
#include <sndfile.h>

namespace kelvane {

namespace {

// Cues are short; these limits only keep a wrong file from eating the memory.
constexpr long long kMaxSeconds = 600;
constexpr std::size_t kMaxCachedEntries = 16;
constexpr std::size_t kMaxCachedSamples = 4 * 1024 * 1024;

} // namespace

std::shared_ptr<const DecodedSound> decodeSoundFile(const QString& path) {
    try {
        const QFileInfo info(path);
        if (path.isEmpty() || !info.isFile())
            return nullptr;
        SF_INFO sfInfo{};
        SNDFILE* file = sf_open(QFile::encodeName(path).constData(), SFM_READ, &sfInfo);
        if (!file)
            return nullptr;
        auto sound = std::make_shared<DecodedSound>();
        sound->rate = sfInfo.samplerate;
        sound->channels = sfInfo.channels;
        if (sfInfo.samplerate > 0 && sfInfo.channels > 0) {
            const long long maxFrames = kMaxSeconds * sfInfo.samplerate;
            std::vector<float> chunk(4096 * std::size_t(sfInfo.channels));
            long long total = 0;
            while (total < maxFrames) {
                const sf_count_t got = sf_readf_float(file, chunk.data(), 4096);
                if (got <= 0)
                    break;
                sound->samples.insert(sound->samples.end(), chunk.begin(),
                                      chunk.begin() + got * sfInfo.channels);
                total += got;
            }
        }
        sf_close(file);
        if (sound->samples.empty())
            return nullptr;
        return sound;
    } catch (...) {
        return nullptr;
    }
}

std::shared_ptr<const DecodedSound> SoundCache::get(const QString& path) {
    const QFileInfo info(path);
    const QString key = info.absoluteFilePath();
    auto it = std::find_if(entries_.begin(), entries_.end(),
                           [&](const Entry& e) { return e.path == key; });
    if (!info.isFile()) {
        if (it != entries_.end())
            entries_.erase(it);
        return nullptr;
    }
    const long long size = info.size();
    const long long mtime = info.lastModified().toMSecsSinceEpoch();
    if (it != entries_.end()) {
        if (it->size == size && it->mtimeMs == mtime) {
            std::rotate(it, it + 1, entries_.end());
            return entries_.back().sound;
        }
        entries_.erase(it);
    }
    auto sound = decodeSoundFile(path);
    if (!sound || sound->samples.size() > kMaxCachedSamples)
        return sound;
    if (entries_.size() >= kMaxCachedEntries)
        entries_.erase(entries_.begin());
    entries_.push_back({key, size, mtime, sound});
    return sound;
}

} // namespace kelvane
