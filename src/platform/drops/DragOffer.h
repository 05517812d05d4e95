#pragma once

#include <QByteArray>
#include <QString>
#include <QUrl>
#include <functional>

class QMimeData;

namespace kelvane::drops {

// What a drag offers for making a file, read at once. Bytes the drag carries (the original
// file, image data) are only noted here: the drop reads them, a drag over the client does not.
struct DragOffer {
    QUrl imageUrl;        // the picture's own http(s) address, to be fetched
    QByteArray dataBytes; // the picture a data: address holds; such an address is never fetched
    QUrl page;            // the page the picture is on (http or https), when the drag names it
    QString name;         // the file's name, safe; without an image extension when none is known
    QString octets;       // the format holding the picture's original bytes; empty when none
    bool directSave = false;
    bool imageData = false; // image data that the browser made of the picture (re-encoded)

    bool offersNothing() const {
        return !directSave && octets.isEmpty() && imageUrl.isEmpty() && dataBytes.isEmpty() &&
               !imageData;
    }

    // The offer of a drag. directSave: whether a direct save can be asked for; proposedName:
    // the name the drag source proposes for it.
    static DragOffer of(const QMimeData& data, bool directSave,
                        const std::function<QString()>& proposedName);
};

// The image data of a drag as file bytes: PNG or JPEG as they are, a Qt image as PNG.
QByteArray imageDataBytes(const QMimeData& data);

} // namespace kelvane::drops
