#include "ui/BrowserFollowing.h"

namespace kelvane {

BrowserFollowing::Step BrowserFollowing::Timer5_Timer(bool following, bool shown,
                                                      bool browserExists, qint64 nowMs) {
    if (!following)
        return Step::None;
    if (!browserExists) {
        browserSeenAt_ = -1;
        return shown ? Step::Hide : Step::None;
    }
    if (shown)
        return Step::None;
    if (browserSeenAt_ < 0)
        browserSeenAt_ = nowMs;
    if (nowMs - browserSeenAt_ < kShowDelayMs)
        return Step::None;
    browserSeenAt_ = -1;
    return Step::Show;
}

} // namespace kelvane
