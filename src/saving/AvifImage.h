#pragma once

#include <QImage>
#include <QList>
#include <QSize>
#include <QString>

namespace kelvane {

// The brands an ISO media file's first bytes (its ftyp box) name: the major one, then the
// compatible ones. Empty for any other file.
QList<QByteArray> isoBrands(const QByteArray& head);
// True when the file's first bytes say AVIF (an ISO media file with the brand avif or avis).
bool looksLikeAvif(const QByteArray& head);

// Decodes the first picture of an AVIF file with libavif, scaled to fit `most` when larger (an
// empty size keeps it whole). A null image when the file cannot be read or decoded, or when it
// claims more pixels than a picture may have here.
QImage decodeAvif(const QString& path, const QSize& most);

} // namespace kelvane
