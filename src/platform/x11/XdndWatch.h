#pragma once

#include <QAbstractNativeEventFilter>
#include <cstdint>

namespace kelvane {

// What the X drag messages tell and Qt does not hand out: the window of the drag that entered
// last, and the window and time of the last drop. Requests for a drop's data name the drop's
// time: once another program has taken the drag's selection since, they are refused rather
// than answered with another drag's data. Watches from its making, so that the first drag is
// known.
class XdndWatch : public QAbstractNativeEventFilter {
public:
    XdndWatch();
    ~XdndWatch() override;

    uint32_t source() const { return source_; }
    uint32_t dropSource() const { return dropSource_ ? dropSource_ : source_; }
    uint32_t dropTime() const { return dropTime_; } // 0 is "now"

    bool nativeEventFilter(const QByteArray& eventType, void* message, qintptr* result) override;

private:
    uint32_t source_ = 0;
    uint32_t dropSource_ = 0;
    uint32_t dropTime_ = 0;
};

} // namespace kelvane
