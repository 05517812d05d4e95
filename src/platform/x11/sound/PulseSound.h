#pragma once

#include <QString>

namespace kelvane {

// Plays a WAV file through the PulseAudio (or PipeWire-pulse) server and returns once the
// sound has been heard to its end, or at the latest a few hundredths of a second after its
// length (a sink that is waking up plays the cue afterwards, on its own). Silent when the
// file or the server is missing.
//
// The server is found the usual libpulse way (PULSE_SERVER, client.conf, the user's socket)
// but never started. The connection and the decoded files are kept for the next call, so a
// cue blocks for little more than its own length; a server that does not answer costs at
// most about a second and is then left alone for a few seconds. Never throws.
void playWavSync(const QString& path);

} // namespace kelvane
