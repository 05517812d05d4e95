#pragma once

#include <QAbstractNativeEventFilter>
#include <QByteArray>
#include <QString>
#include <cstdint>
#include <optional>

struct xcb_connection_t;

namespace kelvane {

// Reads what a drag from another program carries (the XdndSelection) on an X connection of its
// own, without the toolkit's wait on the window's thread. While the source takes its time, the
// program goes on painting and answering the window manager; clicks and keys wait until the
// answer is in. Large answers come in increments (INCR) as the source sends them.
class SelectionReader : public QAbstractNativeEventFilter {
public:
    SelectionReader();
    ~SelectionReader() override;

    // The data in format (a type of the drag's type list), empty when the source refuses it
    // or sends nothing for waitMs; more than maxBytes is cut at maxBytes + 1. Nothing when
    // there is no X server to ask.
    std::optional<QByteArray> read(const QString& format, int waitMs, qint64 maxBytes);

    // Keeps the time of the drop, which the request must name.
    bool nativeEventFilter(const QByteArray& eventType, void* message, qintptr* result) override;

private:
    struct Transfer;
    bool open();
    // Asks for target; the data is empty unless the answer is done (empty when refused).
    Transfer ask(uint32_t target, int waitMs, qint64 maxBytes);
    void handle(const void* xcbEvent, Transfer& transfer);
    void readProperty(Transfer& transfer);

    xcb_connection_t* c_ = nullptr;
    uint32_t window_ = 0;   // where the answers arrive
    uint32_t property_ = 0; // the property they are written to
    uint32_t time_ = 0;     // of the last drag message; 0 is "now"
};

} // namespace kelvane
