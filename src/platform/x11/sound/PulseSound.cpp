#include "platform/x11/sound/PulseSound.h"

#include "platform/x11/sound/SoundFile.h"

#include <QFile>
#include <QFileInfo>
#include <chrono>
#include <functional>
#include <mutex>
#include <pulse/pulseaudio.h>
#include <vector>

namespace kelvane {

namespace {

using Clock = std::chrono::steady_clock;
using std::chrono::milliseconds;

// Reaching a local server takes a few milliseconds; one that has not answered after this
// long is treated as absent, and not asked again for kQuietAfterTimeout.
constexpr milliseconds kConnectTimeout{1000};
constexpr milliseconds kQuietAfterTimeout{5000};
// How long a call may block beyond the cue's own length. A sink the server has suspended
// after a few idle seconds can hold a new stream back for up to two seconds while it wakes;
// the whole cue is handed over at once, so the server plays it on its own once the sink is
// awake, and the call returns after this margin without waiting for that.
constexpr milliseconds kBlockMargin{40};
// A small server-side buffer, so that the drain completes shortly after the last sample
// has been heard (the default buffer would add about two seconds).
constexpr pa_usec_t kTargetLatency = 40 * PA_USEC_PER_MSEC;
// A server that is already running skips the first few milliseconds of a new stream while it
// catches up with what its sink has rendered ahead; a short lead-in of silence takes that loss
// instead of the cue's attack.
constexpr pa_usec_t kLeadIn = 20 * PA_USEC_PER_MSEC;

// What one stream on the reused connection is doing; the callbacks only set flags.
struct Playback {
    std::size_t leadIn = 0;      // bytes of silence before data
    const char* zeros = nullptr; // leadIn bytes
    const char* data = nullptr;
    std::size_t bytes = 0; // leadIn + the sound
    std::size_t frameSize = 1;
    std::size_t written = 0;
    pa_operation* drain = nullptr;
    bool drained = false;
    bool failed = false;
};

void onDrained(pa_stream*, int success, void* userdata) noexcept {
    auto* p = static_cast<Playback*>(userdata);
    (success ? p->drained : p->failed) = true;
}

void onWritable(pa_stream* stream, std::size_t nbytes, void* userdata) noexcept {
    auto* p = static_cast<Playback*>(userdata);
    if (p->drain || p->failed)
        return;
    // All of it at once, more than asked for: the server then holds the whole cue and plays it
    // even while nobody is listening for its requests.
    (void)nbytes;
    std::size_t n = p->bytes - p->written;
    n -= n % p->frameSize;
    while (n > 0) {
        const bool silence = p->written < p->leadIn;
        const std::size_t part = silence ? std::min(n, p->leadIn - p->written) : n;
        const char* from = silence ? p->zeros + p->written : p->data + (p->written - p->leadIn);
        if (pa_stream_write(stream, from, part, nullptr, 0, PA_SEEK_RELATIVE) < 0) {
            p->failed = true;
            return;
        }
        p->written += part;
        n -= part;
    }
    if (p->written >= p->bytes) {
        p->drain = pa_stream_drain(stream, onDrained, p);
        if (!p->drain)
            p->failed = true;
    }
}

void onStreamState(pa_stream* stream, void* userdata) noexcept {
    if (!PA_STREAM_IS_GOOD(pa_stream_get_state(stream)))
        static_cast<Playback*>(userdata)->failed = true;
}

class PulseConnection {
public:
    ~PulseConnection() { reset(); }

    void play(const DecodedSound& sound, const QByteArray& name) {
        bool fresh = false;
        const bool usable = alive();
        dropLingering();
        if (!usable) {
            reset();
            if (!connect())
                return;
            fresh = true;
        }
        Outcome outcome = playOnce(sound, name);
        if (outcome == Outcome::LostBeforeStart && !fresh) {
            // The server went away (or was restarted) since the last cue.
            reset();
            if (connect())
                outcome = playOnce(sound, name);
        }
        if (outcome != Outcome::Played)
            reset();
    }

private:
    enum class Outcome { Played, LostBeforeStart, Failed };

    // Processes whatever the server sent since the last cue and tells whether the
    // connection is still usable.
    bool alive() {
        if (!context_)
            return false;
        for (int i = 0; i < 64 && pa_mainloop_iterate(loop_, 0, nullptr) > 0; ++i) {
        }
        return pa_context_get_state(context_) == PA_CONTEXT_READY;
    }

    bool connect() {
        const auto start = Clock::now();
        if (start < quietUntil_)
            return false;
        loop_ = pa_mainloop_new();
        if (!loop_)
            return false;
        pa_proplist* props = pa_proplist_new();
        pa_proplist_sets(props, PA_PROP_APPLICATION_NAME, "Kelvane");
        pa_proplist_sets(props, PA_PROP_APPLICATION_ID, "kelvane");
        pa_proplist_sets(props, PA_PROP_APPLICATION_ICON_NAME, "kelvane");
        context_ = pa_context_new_with_proplist(pa_mainloop_get_api(loop_), "Kelvane", props);
        pa_proplist_free(props);
        // No server argument: PULSE_SERVER, client.conf and the user's socket decide. Never
        // start a server of our own.
        if (!context_ ||
            pa_context_connect(context_, nullptr, PA_CONTEXT_NOAUTOSPAWN, nullptr) < 0) {
            reset();
            return false;
        }
        const bool settled = runUntil(
            [this] {
                const pa_context_state_t s = pa_context_get_state(context_);
                return s == PA_CONTEXT_READY || !PA_CONTEXT_IS_GOOD(s);
            },
            start + kConnectTimeout);
        if (!settled)
            quietUntil_ = Clock::now() + kQuietAfterTimeout;
        if (pa_context_get_state(context_) != PA_CONTEXT_READY) {
            reset();
            return false;
        }
        return true;
    }

    Outcome playOnce(const DecodedSound& sound, const QByteArray& name) {
        pa_sample_spec format{PA_SAMPLE_FLOAT32NE, uint32_t(sound.rate), uint8_t(sound.channels)};
        if (sound.channels > int(PA_CHANNELS_MAX) || !pa_sample_spec_valid(&format))
            return Outcome::Played; // nothing the server could play: stay silent
        pa_channel_map map;
        pa_channel_map_init_extend(&map, format.channels, PA_CHANNEL_MAP_DEFAULT);

        pa_proplist* props = pa_proplist_new();
        pa_proplist_sets(props, PA_PROP_MEDIA_ROLE, "event");
        pa_proplist_sets(props, PA_PROP_MEDIA_NAME, name.constData());
        pa_stream* stream =
            pa_stream_new_with_proplist(context_, name.constData(), &format, &map, props);
        pa_proplist_free(props);
        if (!stream)
            return Outcome::LostBeforeStart;

        Playback p;
        p.frameSize = pa_frame_size(&format);
        p.leadIn = pa_usec_to_bytes(kLeadIn, &format);
        const std::vector<char> zeros(p.leadIn, 0);
        p.zeros = zeros.data();
        p.data = reinterpret_cast<const char*>(sound.samples.data());
        p.bytes = p.leadIn + sound.samples.size() * sizeof(float);
        pa_stream_set_state_callback(stream, onStreamState, &p);
        pa_stream_set_write_callback(stream, onWritable, &p);

        pa_buffer_attr attr;
        attr.maxlength = uint32_t(-1);
        attr.tlength = uint32_t(pa_usec_to_bytes(kTargetLatency, &format));
        attr.prebuf = uint32_t(-1);
        attr.minreq = uint32_t(-1);
        attr.fragsize = uint32_t(-1);
        const auto length = milliseconds(qint64(sound.seconds() * 1000.0) + 1);
        bool finished = false;
        if (pa_stream_connect_playback(stream, nullptr, &attr, PA_STREAM_ADJUST_LATENCY, nullptr,
                                       nullptr) == 0 &&
            // First the whole cue handed over (a waking server may take a while to ask for
            // it), then at most its length and the margin.
            runUntil([&p] { return p.written >= p.bytes || p.failed; },
                     Clock::now() + kConnectTimeout))
            finished = runUntil([&p] { return p.drained || p.failed; },
                                Clock::now() + length + kBlockMargin);

        // Detach the callbacks from this stack frame before anything else can call them.
        if (p.drain) {
            if (pa_operation_get_state(p.drain) == PA_OPERATION_RUNNING)
                pa_operation_cancel(p.drain);
            pa_operation_unref(p.drain);
        }
        pa_stream_set_write_callback(stream, nullptr, nullptr);
        pa_stream_set_state_callback(stream, nullptr, nullptr);
        const bool contextOk = pa_context_get_state(context_) == PA_CONTEXT_READY;
        if (!finished && contextOk && !p.failed && p.written >= p.bytes &&
            PA_STREAM_IS_GOOD(pa_stream_get_state(stream))) {
            // Handed over whole, but the sink has not played it yet (it is waking up): the
            // stream stays until the next cue, and the server plays it meanwhile.
            lingering_ = stream;
            return Outcome::Played;
        }
        if (contextOk && pa_stream_get_state(stream) == PA_STREAM_READY) {
            // Wait for the server to drop the stream, so none is left behind idle.
            pa_stream_disconnect(stream);
            runUntil([stream] { return !PA_STREAM_IS_GOOD(pa_stream_get_state(stream)); },
                     Clock::now() + milliseconds(200));
        }
        pa_stream_unref(stream);

        if (finished && p.drained)
            return Outcome::Played;
        if (!contextOk && p.written == 0)
            return Outcome::LostBeforeStart;
        return Outcome::Failed;
    }

    // Runs the loop until done() holds; false when the deadline passed first or the loop
    // broke down.
    bool runUntil(const std::function<bool()>& done, Clock::time_point deadline) {
        while (!done()) {
            const auto left = deadline - Clock::now();
            if (left <= Clock::duration::zero())
                return false;
            const auto us = std::chrono::duration_cast<std::chrono::microseconds>(left).count();
            if (pa_mainloop_prepare(loop_, int(std::min<qint64>(us, 1000000))) < 0 ||
                pa_mainloop_poll(loop_) < 0 || pa_mainloop_dispatch(loop_) < 0)
                return false;
        }
        return true;
    }

    // Lets the stream of an earlier cue go (it has been heard by now, or is cut short by the
    // next one).
    void dropLingering() {
        if (!lingering_)
            return;
        if (context_ && pa_context_get_state(context_) == PA_CONTEXT_READY &&
            PA_STREAM_IS_GOOD(pa_stream_get_state(lingering_)))
            pa_stream_disconnect(lingering_);
        pa_stream_unref(lingering_);
        lingering_ = nullptr;
    }

    void reset() {
        dropLingering();
        if (context_) {
            pa_context_set_state_callback(context_, nullptr, nullptr);
            pa_context_disconnect(context_);
            pa_context_unref(context_);
            context_ = nullptr;
        }
        if (loop_) {
            pa_mainloop_free(loop_);
            loop_ = nullptr;
        }
    }

    pa_mainloop* loop_ = nullptr;
    pa_context* context_ = nullptr;
    pa_stream* lingering_ = nullptr; // a cue handed over whole, still being played
    Clock::time_point quietUntil_{};
};

} // namespace

void playWavSync(const QString& path) {
    try {
        static std::mutex mutex;
        static SoundCache cache;
        static PulseConnection pulse;
        const std::lock_guard<std::mutex> lock(mutex);
        const auto sound = cache.get(path);
        if (!sound)
            return;
        pulse.play(*sound, QFileInfo(path).fileName().toUtf8());
    } catch (...) {
    }
}

} // namespace kelvane
