// makeart: draws Kelvane's pictures and icons and writes them as PNG files.
//
//   makeart <data folder>
//
// writes <data folder>/pictures/{background,default,status-idle,status-saved,status-failed,
// splash}.png and <data folder>/icons/kelvane-{16,32,48,64,128}.png. Everything is drawn here
// with QPainter; run it again after changing a colour or a shape.

#include <QColor>
#include <QDir>
#include <QFont>
#include <QFontMetricsF>
#include <QGuiApplication>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>
#include <QTextStream>
#include <algorithm>
#include <cstdio>

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

void begin(QPainter& p) {
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    p.setRenderHint(QPainter::SmoothPixmapTransform);
}

// The landscape inside a photo: sky, sun and two hills, clipped to `r`.
void drawLandscape(QPainter& p, const QRectF& r, qreal radius) {
    p.save();
    QPainterPath clip;
    clip.addRoundedRect(r, radius, radius);
    p.setClipPath(clip);
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
// edge just outside `r` (so whole-pixel rectangles and mounts give crisp edges).
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

// Draws the colours in `area` of `img` towards grey by `amount` (0 to 1).
void mute(QImage& img, const QRect& area, qreal amount) {
    const QRect r = area.intersected(img.rect());
    for (int y = r.top(); y <= r.bottom(); ++y)
        for (int x = r.left(); x <= r.right(); ++x) {
            const QColor c = img.pixelColor(x, y);
            const qreal grey = 0.3 * c.redF() + 0.59 * c.greenF() + 0.11 * c.blueF();
            const auto mix = [&](qreal v) { return v + (grey - v) * amount; };
            img.setPixelColor(x, y,
                              QColor::fromRgbF(mix(c.redF()), mix(c.greenF()), mix(c.blueF())));
        }
}

// The client's resting picture: a soft card, the photo glyph and an arrow dropping into it.
// `inviting` adds the arrow and the blue tint; without it the card is a neutral grey.
QImage clientPicture(bool inviting) {
    QImage img(65, 67, QImage::Format_RGB32);
    QPainter p(&img);
    begin(p);
    const QRectF all(0, 0, 65, 67);
    const QColor top = inviting ? colour::cardTop : QColor(0xf4, 0xf5, 0xf7);
    const QColor bottom = inviting ? colour::cardBottom : QColor(0xd6, 0xda, 0xe1);
    p.fillRect(all, vertical(all, top, bottom));
    // A faint light edge at the top and a darker one at the bottom give the card some depth.
    p.setPen(QPen(withAlpha(Qt::white, 200), 1));
    p.drawLine(QPointF(0, 0.5), QPointF(65, 0.5));
    p.setPen(QPen(withAlpha(colour::ink, 40), 1));
    p.drawLine(QPointF(0, 66.5), QPointF(65, 66.5));
    p.drawLine(QPointF(64.5, 0), QPointF(64.5, 67));
    p.drawLine(QPointF(0.5, 0), QPointF(0.5, 67));

    // Under the arrow in the background picture, centred in the default one.
    const QRectF photo(10, inviting ? 28 : 18, 45, 32);
    // A soft shadow under the photo.
    p.setPen(Qt::NoPen);
    for (int i = 3; i >= 1; --i) {
        p.setBrush(withAlpha(colour::ink, 14));
        p.drawRoundedRect(photo.translated(0, 1.2).adjusted(-i, -i + 1, i, i), 3 + i, 3 + i);
    }
    if (inviting) {
        drawPhoto(p, photo, 3, 1.0);
        const QPainterPath arrow = arrowPath(QPointF(23, 25), 19, 13);
        p.setPen(QPen(Qt::white, 2.4, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        p.setBrush(Qt::NoBrush);
        p.drawPath(arrow);
        p.setPen(
            QPen(withAlpha(colour::ink, 150), 0.8, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        p.setBrush(vertical(arrow.boundingRect(), colour::blue, colour::blueDeep));
        p.drawPath(arrow);
    } else {
        drawPhoto(p, photo, 3, 1.0);
    }
    p.end();
    if (!inviting)
        mute(img, photo.toAlignedRect().adjusted(-1, -1, 1, 1), 0.8);
    return img;
}

enum class Mark { Ring, Check, Cross };

// A 22 x 22 status badge: a coloured disc with a white rim and a faint dark outer edge, so that
// it reads on light and on dark pictures alike.
QImage statusBadge(const QColor& fill, Mark mark) {
    QImage img(22, 22, QImage::Format_ARGB32_Premultiplied);
    img.fill(Qt::transparent);
    QPainter p(&img);
    begin(p);
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

    QPen pen(Qt::white, 2.6, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
    p.setBrush(Qt::NoBrush);
    switch (mark) {
    case Mark::Ring:
        p.setPen(QPen(Qt::white, 1.8));
        p.drawEllipse(c, 3.6, 3.6);
        break;
    case Mark::Check: {
        p.setPen(pen);
        QPainterPath tick;
        tick.moveTo(6.6, 11.4);
        tick.lineTo(9.6, 14.3);
        tick.lineTo(15.4, 7.9);
        p.drawPath(tick);
        break;
    }
    case Mark::Cross:
        p.setPen(pen);
        p.drawLine(QPointF(7.6, 7.6), QPointF(14.4, 14.4));
        p.drawLine(QPointF(14.4, 7.6), QPointF(7.6, 14.4));
        break;
    }
    p.end();
    return img;
}

// The application and tray icon: the photo glyph on a blue rounded square.
QImage appIcon(int size) {
    QImage img(size, size, QImage::Format_ARGB32_Premultiplied);
    img.fill(Qt::transparent);
    QPainter p(&img);
    begin(p);
    const qreal s = size;
    // The tile's outline runs along the outermost pixels; at 16 px the tile has none.
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
    }
    if (size <= 16) {
        // At 16 px the mount shrinks to a one-pixel white edge around the landscape.
        p.setPen(Qt::NoPen);
        p.setBrush(Qt::white);
        p.drawRoundedRect(QRectF(2, 3, 12, 10), 1.2, 1.2);
        drawLandscape(p, QRectF(3, 4, 10, 8), 0.5);
    } else {
        const int left = qRound(s * 0.13), top = qRound(s * 0.2);
        const QRectF photo(left, top, size - 2 * left, size - 2 * top);
        drawPhoto(p, photo, qRound(s * 0.07), line);
    }
    p.end();
    return img;
}

// The splash picture: a blue band with the photo glyph and the name above a light paper area
// that the splash window writes its own labels on (everything below y = 160 stays plain).
QImage splash() {
    const int w = 381, h = 273, band = 150;
    QImage img(w, h, QImage::Format_RGB888);
    QPainter p(&img);
    begin(p);
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
    p.setClipPath(sky);
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

    // The name, white with a soft shadow.
    QFont font("URW Gothic");
    font.setWeight(QFont::DemiBold);
    font.setPixelSize(58);
    QPainterPath name;
    name.addText(0, 0, font, "Kelvane");
    const QRectF nb = name.boundingRect();
    name.translate(QPointF(138 + (233 - nb.width()) / 2 - nb.left(), 96 - nb.bottom()));
    p.setPen(Qt::NoPen);
    p.setBrush(withAlpha(colour::ink, 70));
    p.drawPath(name.translated(2, 3));
    p.setBrush(Qt::white);
    p.drawPath(name);
    // An amber underline echoing the sun.
    const QRectF nr = name.boundingRect();
    p.setBrush(colour::sun);
    p.drawRoundedRect(QRectF(nr.left() + 2, nr.bottom() + 8, nr.width() * 0.42, 4), 2, 2);
    p.end();
    return img;
}

bool write(const QImage& img, const QString& path) {
    if (!img.save(path, "PNG")) {
        std::fprintf(stderr, "makeart: cannot write %s\n", qPrintable(path));
        return false;
    }
    std::printf("%s (%d x %d)\n", qPrintable(path), img.width(), img.height());
    return true;
}

} // namespace

int main(int argc, char** argv) {
    // Drawing needs no screen; run headless unless told otherwise.
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: makeart <data folder>\n");
        return 2;
    }
    const QDir out(QString::fromLocal8Bit(argv[1]));
    if (!out.mkpath("pictures") || !out.mkpath("icons")) {
        std::fprintf(stderr, "makeart: cannot create folders in %s\n", argv[1]);
        return 1;
    }
    const QString pictures = out.filePath("pictures/"), icons = out.filePath("icons/");
    bool ok = write(clientPicture(true), pictures + "background.png");
    ok = write(clientPicture(false), pictures + "default.png") && ok;
    ok = write(statusBadge(colour::idle, Mark::Ring), pictures + "status-idle.png") && ok;
    ok = write(statusBadge(colour::saved, Mark::Check), pictures + "status-saved.png") && ok;
    ok = write(statusBadge(colour::failed, Mark::Cross), pictures + "status-failed.png") && ok;
    ok = write(splash(), pictures + "splash.png") && ok;
    for (int size : {16, 32, 48, 64, 128})
        ok = write(appIcon(size), icons + QString("kelvane-%1.png").arg(size)) && ok;
    return ok ? 0 : 1;
}
