#pragma once

#include <QByteArray>
#include <QHash>
#include <QString>
#include <QStringList>
#include <QUrl>
#include <functional>
#include <optional>

class QMimeData;

namespace kelvane::drops {

// What a drop hands on to a route that finishes later: the picture's address and the page it
// is on (read inside the drop event), and the file's name.
struct DragOffer {
    QUrl imageUrl; // the picture's own http(s) address, to be fetched
    QUrl page;     // the page the picture is on (http or https), when the drag names it
    QString name;  // the file's name, safe; without an image extension when none is known
};

// Reads one format of the drag from its source; nothing where the toolkit is asked instead.
using FormatReader = std::function<std::optional<QByteArray>(const QString& format)>;

// One drag as the routes to a file read it. The type list is read at once and asks the drag
// source nothing. The data of a format is asked for only when a route needs it, at most once
// (a browser writes another copy for every direct-save request), through read where given.
// No more is asked once one request has given nothing after askMs (a hung browser costs one
// wait, not one per format), nor once the answers have taken four times that together (a
// busy one).
class DragReading {
public:
    DragReading(const QMimeData* data, bool canDirectSave, int askMs, FormatReader read = {});

    // From the type list alone.
    bool directSave() const { return directSave_; }
    const QString& octets() const { return octets_; } // the original bytes' format, or empty
    bool imageData() const { return imageData_; }     // image data the browser re-encoded
    // The name the type list gives (`application/octet-stream;name="..."`), else empty.
    const QString& typedName() const { return typedName_; }
    // Whether some format may give a file: a file list, an address, bytes, a direct save.
    bool mayGiveFile() const;

    // Asked of the drag source.
    QByteArray bytes(const QString& format); // empty when not offered or not answered
    QString localFile();                     // the file list's first entry when a local file
    QUrl imageUrl();                         // the picture's own http(s) address
    QByteArray dataBytes();                  // the picture a data: address holds
    QUrl page();
    QByteArray imageDataBytes(); // PNG or JPEG as they are, a Qt image as PNG
    // The file's name: the type list's, the direct save's proposed one, the browser's, else
    // the address's last segment; made safe.
    QString name(const std::function<QString()>& proposedName);
    // True once the source has stopped answering or the answers took too long: nothing more
    // is asked.
    bool slow() const { return silent_ || spentMs_ >= 4 * qint64(askMs_); }

private:
    QByteArray ask(const QString& key, const std::function<QByteArray()>& get);
    QString firstLine(const QString& format);
    void readAddress();

    const QMimeData* data_;
    FormatReader read_;
    QStringList formats_;
    bool directSave_ = false;
    QString octets_, typedName_;
    bool imageData_ = false;
    int askMs_;
    qint64 spentMs_ = 0;
    bool silent_ = false;
    QHash<QString, QByteArray> asked_;
    bool addressRead_ = false;
    QUrl imageUrl_;
    QByteArray dataBytes_;
};

} // namespace kelvane::drops
