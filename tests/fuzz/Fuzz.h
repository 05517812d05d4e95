#pragma once

// What the fuzz targets share: a check that stops the run (libFuzzer then keeps the input that
// broke it), and the input as bytes, as a file or as a drag.

#include <QByteArray>
#include <QFile>
#include <QHash>
#include <QMimeData>
#include <QString>
#include <QTemporaryDir>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

#define FUZZ_CHECK(condition)                                                                      \
    do {                                                                                           \
        if (!(condition)) {                                                                        \
            std::fprintf(stderr, "%s:%d: broken: %s\n", __FILE__, __LINE__, #condition);           \
            std::abort();                                                                          \
        }                                                                                          \
    } while (false)

namespace fuzz {

inline QByteArray bytes(const uint8_t* data, size_t size) {
    return QByteArray(reinterpret_cast<const char*>(data), qsizetype(size));
}

// A path in a folder of this run's own, removed when the run ends.
inline QString path(const QString& name) {
    static const QTemporaryDir folder;
    return folder.filePath(name);
}

// The file name holding contents (replacing what it held).
inline QString file(const QString& name, const QByteArray& contents) {
    QFile file(path(name));
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) ||
        file.write(contents) != contents.size())
        std::abort();
    return file.fileName();
}

inline QByteArray contents(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// A name that a file in the drop cache can be given as it is: no folder, not hidden, no control
// characters, at most 200 bytes.
inline void checkSafeName(const QString& name) {
    FUZZ_CHECK(!name.isEmpty() && !name.contains(u'/'));
    FUZZ_CHECK(!name.front().isSpace() && name.front() != u'.');
    FUZZ_CHECK(name.toUtf8().size() <= 200);
    for (const QChar c : name)
        FUZZ_CHECK(c.unicode() >= 0x20 && c.unicode() != 0x7f &&
                   c.category() != QChar::Other_Control);
}

// A drag from another program: each format holds the bytes as they were sent. (QMimeData's
// own setData rewrites a file list into what Qt makes of it.)
class Drag : public QMimeData {
public:
    void set(const QString& format, const QByteArray& value) {
        if (!values_.contains(format))
            formats_ << format;
        values_.insert(format, value);
    }
    QStringList formats() const override { return formats_; }
    bool hasFormat(const QString& format) const override { return values_.contains(format); }

protected:
    QVariant retrieveData(const QString& format, QMetaType) const override {
        return values_.contains(format) ? QVariant(values_.value(format)) : QVariant();
    }

private:
    QStringList formats_;
    QHash<QString, QByteArray> values_;
};

} // namespace fuzz
