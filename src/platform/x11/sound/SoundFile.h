#pragma once

#include <QString>
#include <memory>
#include <vector>

namespace kelvane {

// A sound file decoded into interleaved 32-bit float samples at the file's own rate and
// channel count.
struct DecodedSound {
    int rate = 0;
    int channels = 0;
    std::vector<float> samples; // frames * channels values

    long long frames() const {
        return channels > 0 ? static_cast<long long>(samples.size()) / channels : 0;
    }
    double seconds() const { return rate > 0 ? double(frames()) / rate : 0.0; }
};

// Reads any format libsndfile knows. Returns null for a missing, unreadable or corrupt file,
// for anything that is not a regular file (a folder, a pipe that would block) and for a file
// without a single frame. Never throws.
std::shared_ptr<const DecodedSound> decodeSoundFile(const QString& path);

// The decoded cues, kept in memory: they are small and played again and again. An entry is
// used only while the file's size and modification time are unchanged; a file that has gone
// is dropped. Not thread-safe by itself.
class SoundCache {
public:
    std::shared_ptr<const DecodedSound> get(const QString& path);

private:
    struct Entry {
        QString path;
        long long size = 0;
        long long mtimeMs = 0;
        std::shared_ptr<const DecodedSound> sound;
    };
    std::vector<Entry> entries_; // most recently used last
};

} // namespace kelvane
