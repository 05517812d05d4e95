#pragma once

#include <QtGlobal>

namespace kelvane {

// Following the browser: while it is on, the client is shown only while a browser window
// exists, and comes back a moment after one appears (without holding up drops and clicks
// meanwhile).
class BrowserFollowing {
public:
    static constexpr qint64 kShowDelayMs = 1200;
    enum class Step { None, Show, Hide };

    // One tick of `Timer5`: whether following is on, the client is shown and a browser window
    // exists, and the time in milliseconds.
    Step Timer5_Timer(bool following, bool shown, bool browserExists, qint64 nowMs);

private:
    qint64 browserSeenAt_ = -1; // when a tick first saw a browser while the client was hidden
};

} // namespace kelvane
