#include "ui/Artwork.h"

#include <QIcon>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <QRadialGradient>
#include <algorithm>
#include <cmath>

namespace kelvane::artwork {
namespace {

// The palette shared by every picture.
namespace colour {
const QColor ink(0x1b, 0x2a, 0x4a);        // outlines and shadows
const QColor blueDeep(0x1f, 0x4f, 0xa8);   // icon and splash ground, dark end
const QColor blue(0x3b, 0x7b, 0xe0);       // icon and splash ground, light end
const QColor cardTop(0xf1, 0xf6, 0xff);    // drop card, top
const QColor cardBottom(0xc9, 0xdc, 0xf7); // drop card, bottom
const QColor skyTop(0xa9, 0xd3, 0xff);
const QColor skyBottom(0xe6, 0xf3, 0xff);
const QColor sun(0xff, 0xb3, 0x3b);
const QColor sunLight(0xff, 0xd9, 0x80);
const QColor hillFar(0x7c, 0xc0, 0xab);
const QColor hillNear(0x2e, 0x8a, 0x74);
const QColor idle(0x7d, 0x8f, 0xae);
const QColor saved(0x2f, 0xa8, 0x4f);
const QColor failed(0xd9, 0x44, 0x3b);
const QColor paperTop(0xf7, 0xfa, 0xff);
const QColor paperBottom(0xe4, 0xec, 0xf8);
} // namespace colour

// Sizes and ratios beyond these are not a screen's: they are drawn as the nearest sane one.
constexpr qreal kMinDpr = 0.25, kMaxDpr = 8;
constexpr int kMaxSide = 4096;

QColor withAlpha(QColor c, int alpha) {
    c.setAlpha(alpha);
    return c;
}

QLinearGradient vertical(const QRectF& r, const QColor& top, const QColor& bottom) {
    QLinearGradient g(r.topLeft(), r.bottomLeft());
    g.setColorAt(0, top);
    g.setColorAt(1, bottom);
    return g;
}

// An image of size x dpr device pixels that reports dpr, cleared, and a painter on it that
// draws in logical pixels.
QImage canvas(QSize& size, qreal& dpr, QImage::Format format) {
    dpr = std::isfinite(dpr) ? std::clamp(dpr, kMinDpr, kMaxDpr) : 1.0;
    size = size.boundedTo({kMaxSide, kMaxSide}).expandedTo({1, 1});
    // No more than kMaxSide device pixels a side either.
    dpr = std::min(dpr, qreal(kMaxSide) / std::max(size.width(), size.height()));
    QImage img((QSizeF(size) * dpr).toSize().expandedTo({1, 1}), format);
    img.setDevicePixelRatio(dpr);
    img.fill(Qt::transparent);
    return img;
}

void begin(QPainter& p, qreal dpr) {
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    p.setRenderHint(QPainter::SmoothPixmapTransform);
    p.scale(dpr, dpr);
}

// The landscape inside a photo: sky, sun and two hills, clipped to `r`.
void drawLandscape(QPainter& p, const QRectF& r, qreal radius) {
    p.save();
    QPainterPath clip;
    clip.addRoundedRect(r, radius, radius);
    p.setClipPath(clip, Qt::IntersectClip);
    p.fillRect(r, vertical(r, colour::skyTop, colour::skyBottom));

    const qreal w = r.width(), h = r.height();
    const QPointF sunAt(r.left() + 0.72 * w, r.top() + 0.30 * h);
    const qreal sunR = 0.15 * std::min(w, h) + 0.4;
    QRadialGradient glow(sunAt, sunR);
    glow.setColorAt(0, colour::sunLight);
    glow.setColorAt(1, colour::sun);
    p.setPen(Qt::NoPen);
    p.setBrush(glow);
    p.drawEllipse(sunAt, sunR, sunR);

    QPainterPath far;
    far.moveTo(r.left() + 0.30 * w, r.bottom());
    far.lineTo(r.left() + 0.66 * w, r.top() + 0.46 * h);
    far.lineTo(r.right() + 0.10 * w, r.bottom());
    far.closeSubpath();
    p.setBrush(colour::hillFar);
    p.drawPath(far);

    QPainterPath near;
    near.moveTo(r.left() - 0.15 * w, r.bottom());
    near.lineTo(r.left() + 0.34 * w, r.top() + 0.34 * h);
    near.lineTo(r.left() + 0.78 * w, r.bottom());
    near.closeSubpath();
    p.setBrush(colour::hillNear);
    p.drawPath(near);
    p.restore();
}

// The picture-frame glyph: a white mount filling `r` around the landscape, with a thin dark
// edge just outside `r`.
void drawPhoto(QPainter& p, const QRectF& r, qreal mount, qreal edge) {
    const qreal radius = mount * 0.9;
    p.save();
    p.setPen(QPen(withAlpha(colour::ink, 200), edge));
    p.setBrush(Qt::white);
    const qreal e = edge / 2;
    p.drawRoundedRect(r.adjusted(-e, -e, e, e), radius + e, radius + e);
    const QRectF inner = r.adjusted(mount, mount, -mount, -mount);
    drawLandscape(p, inner, radius * 0.4);
    p.setPen(QPen(withAlpha(colour::ink, 70), edge * 0.6));
    p.setBrush(Qt::NoBrush);
    p.drawRoundedRect(inner, radius * 0.4, radius * 0.4);
    p.restore();
}

// A short downward arrow whose tip sits at `tip`.
QPainterPath arrowPath(QPointF tip, qreal length, qreal width) {
    const qreal head = width * 0.62, shaft = width * 0.42;
    QPainterPath a;
    a.moveTo(tip);
    a.lineTo(tip.x() - width / 2, tip.y() - head);
    a.lineTo(tip.x() - shaft / 2, tip.y() - head);
    a.lineTo(tip.x() - shaft / 2, tip.y() - length);
    a.lineTo(tip.x() + shaft / 2, tip.y() - length);
    a.lineTo(tip.x() + shaft / 2, tip.y() - head);
    a.lineTo(tip.x() + width / 2, tip.y() - head);
    a.closeSubpath();
    return a;
}

// Where the photo glyph and its arrow go on a card of `size`, in design units of 1/65 of the
// card's shorter side: the design's place, or (where the status icon would cover part of
// it) the glyph below the icon and the arrow left of it, both smaller.
struct Motif {
    QRectF photo;
    qreal unit; // one design unit at the motif's scale
    QPointF tip() const { return photo.topLeft() + QPointF(13 * unit, -3 * unit); }
    QList<QRectF> parts() const {
        return {photo, arrowPath(tip(), 19 * unit, 13 * unit).boundingRect()};
    }
    bool overlaps(const QRectF& area) const {
        const QList<QRectF> all = parts();
        return std::any_of(all.begin(), all.end(),
                           [&](const QRectF& r) { return r.intersects(area); });
    }
};

Motif placeMotif(QSizeF size, const QRectF& keepClear) {
    const qreal u = std::min(size.width(), size.height()) / 65.0;
    Motif m{QRectF((size.width() - 45 * u) / 2, size.height() - 39 * u, 45 * u, 32 * u), u};
    if (keepClear.isEmpty() || !m.overlaps(keepClear.adjusted(-1, -1, 1, 1)))
        return m;
    const qreal top = keepClear.bottom() + 2, bottom = size.height() - 3 * u;
    const qreal k = std::clamp((bottom - top) / (32 * u), 0.3, 1.0);
    m.unit = u * k;
    const qreal arrowCentre = std::min(size.width() / 2, keepClear.left() - 1 - 6.5 * m.unit);
    m.photo = QRectF(std::max(2 * u, arrowCentre - 13 * m.unit), top, 45 * m.unit, 32 * m.unit);
    return m;
}

} // namespace

QList<QRectF> motifParts(QSize size, QRect keepClear) {
    return placeMotif(size, keepClear).parts();
}

QImage clientPicture(QSize size, qreal dpr, QRect keepClear) {
    QImage img = canvas(size, dpr, QImage::Format_ARGB32_Premultiplied);
    QPainter p(&img);
    begin(p, dpr);
    const qreal w = size.width(), h = size.height();
    const QRectF all(0, 0, w, h);
    p.fillRect(all, vertical(all, colour::cardTop, colour::cardBottom));
    // A faint light edge at the top and darker ones at the other sides give the card depth.
    const qreal line = 1 / dpr; // one device pixel
    p.setPen(QPen(withAlpha(Qt::white, 200), line));
    p.drawLine(QPointF(0, line / 2), QPointF(w, line / 2));
    p.setPen(QPen(withAlpha(colour::ink, 40), line));
    p.drawLine(QPointF(0, h - line / 2), QPointF(w, h - line / 2));
    p.drawLine(QPointF(w - line / 2, 0), QPointF(w - line / 2, h));
    p.drawLine(QPointF(line / 2, 0), QPointF(line / 2, h));

    const Motif m = placeMotif(size, keepClear);
    const qreal u = m.unit;
    // A soft shadow under the photo.
    p.setPen(Qt::NoPen);
    for (int i = 3; i >= 1; --i) {
        p.setBrush(withAlpha(colour::ink, 14));
        p.drawRoundedRect(
            m.photo.translated(0, 1.2 * u).adjusted(-i * u, (1 - i) * u, i * u, i * u), (3 + i) * u,
            (3 + i) * u);
    }
    drawPhoto(p, m.photo, 3 * u, std::max(u, line));
    const QPainterPath arrow = arrowPath(m.tip(), 19 * u, 13 * u);
    p.setPen(QPen(Qt::white, 2.4 * u, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(Qt::NoBrush);
    p.drawPath(arrow);
    p.setPen(
        QPen(withAlpha(colour::ink, 150), 0.8 * u, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(vertical(arrow.boundingRect(), colour::blue, colour::blueDeep));
    p.drawPath(arrow);
    return img;
}

QImage statusBadge(Status status, int side, qreal dpr) {
    QSize size(side, side);
    QImage img = canvas(size, dpr, QImage::Format_ARGB32_Premultiplied);
    QPainter p(&img);
    begin(p, dpr);
    p.scale(size.width() / 22.0, size.height() / 22.0); // drawn on a 22-unit square
    const QColor fill = status == Status::Saved    ? colour::saved
                        : status == Status::Failed ? colour::failed
                                                   : colour::idle;
    const QPointF c(11, 11);
    p.setPen(Qt::NoPen);
    p.setBrush(withAlpha(colour::ink, 190));
    p.drawEllipse(c, 10.8, 10.8);
    p.setBrush(Qt::white);
    p.drawEllipse(c, 9.7, 9.7);
    QRadialGradient g(QPointF(9, 7.5), 11);
    g.setColorAt(0, fill.lighter(130));
    g.setColorAt(1, fill.darker(112));
    p.setBrush(g);
    p.drawEllipse(c, 8.2, 8.2);

    const QPen pen(Qt::white, 2.6, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
    p.setBrush(Qt::NoBrush);
    switch (status) {
    case Status::Idle:
        p.setPen(QPen(Qt::white, 1.8));
        p.drawEllipse(c, 3.6, 3.6);
        break;
    case Status::Saved: {
        p.setPen(pen);
        QPainterPath tick;
        tick.moveTo(6.6, 11.4);
        tick.lineTo(9.6, 14.3);
        tick.lineTo(15.4, 7.9);
        p.drawPath(tick);
        break;
    }
    case Status::Failed:
        p.setPen(pen);
        p.drawLine(QPointF(7.6, 7.6), QPointF(14.4, 14.4));
        p.drawLine(QPointF(14.4, 7.6), QPointF(7.6, 14.4));
        break;
    }
    return img;
}

QImage splashPicture(QSize size, qreal dpr) {
    QImage img = canvas(size, dpr, QImage::Format_ARGB32_Premultiplied);
    QPainter p(&img);
    begin(p, dpr);
    const qreal w = 381, h = 273, band = 150; // drawn on the design's 381 x 273 units
    p.scale(size.width() / w, size.height() / h);
    const QRectF all(0, 0, w, h);
    p.fillRect(all, vertical(all, colour::paperTop, colour::paperBottom));

    QPainterPath sky;
    sky.moveTo(0, 0);
    sky.lineTo(w, 0);
    sky.lineTo(w, band - 14);
    sky.cubicTo(w * 0.70, band + 10, w * 0.35, band - 22, 0, band + 4);
    sky.closeSubpath();
    QLinearGradient g(0, 0, w, band);
    g.setColorAt(0, colour::blueDeep);
    g.setColorAt(1, colour::blue);
    p.setPen(Qt::NoPen);
    p.setBrush(g);
    p.drawPath(sky);

    // Soft light discs drifting across the band.
    p.save();
    p.setClipPath(sky, Qt::IntersectClip);
    const struct {
        qreal x, y, r;
        int a;
    } discs[] = {{40, 20, 38, 18}, {300, 30, 60, 14},  {350, 120, 30, 16},
                 {190, 8, 22, 12}, {120, 130, 26, 10}, {250, 110, 16, 14}};
    for (const auto& d : discs) {
        p.setBrush(withAlpha(Qt::white, d.a));
        p.drawEllipse(QPointF(d.x, d.y), d.r, d.r);
    }
    p.restore();
    // A thin light line follows the edge of the band.
    p.setPen(QPen(withAlpha(Qt::white, 180), 2));
    p.setBrush(Qt::NoBrush);
    QPainterPath edge;
    edge.moveTo(w, band - 14);
    edge.cubicTo(w * 0.70, band + 10, w * 0.35, band - 22, 0, band + 4);
    p.drawPath(edge);

    // The photo glyph, tilted a little, with its shadow.
    p.save();
    p.translate(72, 74);
    p.rotate(-6);
    const QRectF photo(-50, -38, 100, 76);
    p.setPen(Qt::NoPen);
    for (int i = 6; i >= 1; --i) {
        p.setBrush(withAlpha(colour::ink, 12));
        p.drawRoundedRect(photo.translated(3, 5).adjusted(-i, -i, i, i), 6 + i, 6 + i);
    }
    drawPhoto(p, photo, 7, 1.2);
    p.restore();

    // The name, white with a soft shadow, in whatever sans font the desktop has.
    QFont font(QStringLiteral("URW Gothic"));
    font.setStyleHint(QFont::SansSerif);
    font.setWeight(QFont::DemiBold);
    font.setPixelSize(58);
    QPainterPath name;
    name.addText(0, 0, font, QStringLiteral("Kelvane"));
    const QRectF nb = name.boundingRect();
    if (nb.width() > 233) // a wider fallback font still fits the band
        name = QTransform::fromScale(233 / nb.width(), 233 / nb.width()).map(name);
    const QRectF fit = name.boundingRect();
    name.translate(QPointF(138 + (233 - fit.width()) / 2 - fit.left(), 96 - fit.bottom()));
    p.setPen(Qt::NoPen);
    p.setBrush(withAlpha(colour::ink, 70));
    p.drawPath(name.translated(2, 3));
    p.setBrush(Qt::white);
    p.drawPath(name);
    // An amber underline echoing the sun.
    const QRectF nr = name.boundingRect();
    p.setBrush(colour::sun);
    p.drawRoundedRect(QRectF(nr.left() + 2, nr.bottom() + 8, nr.width() * 0.42, 4), 2, 2);
    return img;
}

QImage appIcon(int pixels) {
    const int size = std::clamp(pixels, 8, kMaxSide);
    QImage img(size, size, QImage::Format_ARGB32_Premultiplied);
    img.fill(Qt::transparent);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    const qreal s = size;
    // The tile's outline runs along the outermost pixels; at 16 px and below it has none.
    const qreal line = size <= 16 ? 0 : std::max(1, size / 48);
    const QRectF tile = QRectF(0, 0, s, s).adjusted(line / 2, line / 2, -line / 2, -line / 2);
    const qreal radius = s * 0.2;
    p.setPen(size <= 16 ? QPen(Qt::NoPen) : QPen(withAlpha(colour::ink, 130), line));
    p.setBrush(vertical(tile, colour::blue, colour::blueDeep));
    p.drawRoundedRect(tile, radius, radius);
    if (size > 16) {
        // A soft highlight over the upper half of the tile.
        QPainterPath shine;
        shine.addRoundedRect(tile.adjusted(s / 32, s / 32, -s / 32, -s / 2), radius * 0.8,
                             radius * 0.8);
        p.setPen(Qt::NoPen);
        p.setBrush(
            vertical(shine.boundingRect(), withAlpha(Qt::white, 60), withAlpha(Qt::white, 0)));
        p.drawPath(shine);
        const int left = qRound(s * 0.13), top = qRound(s * 0.2);
        drawPhoto(p, QRectF(left, top, size - 2 * left, size - 2 * top), qRound(s * 0.07), line);
    } else {
        // Small: the mount shrinks to a one-pixel white edge around the landscape.
        const qreal k = s / 16;
        p.setPen(Qt::NoPen);
        p.setBrush(Qt::white);
        p.drawRoundedRect(QRectF(2 * k, 3 * k, 12 * k, 10 * k), 1.2 * k, 1.2 * k);
        drawLandscape(p, QRectF(3 * k, 4 * k, 10 * k, 8 * k), 0.5 * k);
    }
    return img;
}

} // namespace kelvane::artwork
