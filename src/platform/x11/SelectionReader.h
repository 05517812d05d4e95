#pragma once

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
class XdndWatch;

class SelectionReader {
public:
    explicit SelectionReader(const XdndWatch& drag);
    ~SelectionReader();
    SelectionReader(const SelectionReader&) = delete;
    SelectionReader& operator=(const SelectionReader&) = delete;

    // The data in format (a type of the drag's type list), empty when the source refuses it
    // or sends nothing for waitMs; more than maxBytes is cut at maxBytes + 1. Nothing when
    // there is no X server to ask. Asked again while it waits (a drop that came meanwhile),
    // it refuses at once.
    std::optional<QByteArray> read(const QString& format, int waitMs, qint64 maxBytes);

private:
    struct Transfer;
    bool open();
    // Asks for target; the data is empty unless the answer is done (empty when refused).
    Transfer ask(uint32_t target, int waitMs, qint64 maxBytes);
    void handle(const void* xcbEvent, Transfer& transfer);
    void readProperty(Transfer& transfer);

    const XdndWatch& drag_;
    xcb_connection_t* c_ = nullptr;
    uint32_t window_ = 0;   // where the answers arrive
    unsigned requests_ = 0; // each writes to a property of its own: a late answer goes astray
    bool reading_ = false;
};

} // namespace kelvane
