#pragma once

#include <QImage>
#include <QList>
#include <QRect>
#include <QRectF>
#include <QSize>

class QIcon;

namespace kelvane::artwork {

// Every picture of the program's own, drawn for the size and the screen it is shown on: each
// routine draws in logical pixels onto an image of size x dpr device pixels, whose device
// pixel ratio is dpr, so nothing is ever stretched from a smaller bitmap.

// The client's resting picture (a card, the photo glyph and an arrow dropping into it) at
// `size`; `keepClear` is where the status icon lies over it: the glyph and the arrow stay out.
QImage clientPicture(QSize size, qreal dpr, QRect keepClear = {});
// Where clientPicture puts the glyph and the arrow: their two bounding rectangles.
QList<QRectF> motifParts(QSize size, QRect keepClear);

enum class Status { Idle, Saved, Failed };
// A status badge, `side` logical pixels square, transparent around its disc.
QImage statusBadge(Status status, int side, qreal dpr);

// The splash window's picture at `size`: a blue band with the glyph and the name above a light
// area the splash writes its own labels on.
QImage splashPicture(QSize size, qreal dpr);

// The program's icon, `pixels` device pixels square (the small sizes are drawn simpler).
QImage appIcon(int pixels);
// The program's icon as a QIcon that draws each size it is asked for (needs a GUI application).
QIcon appIconSet();

} // namespace kelvane::artwork
