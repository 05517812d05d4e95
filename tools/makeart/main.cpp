// makeart: writes the program's icon for the desktop and the package, drawn by the same code
// that draws it in the program (src/ui/Artwork.cpp).
//
//   makeart <data folder>
//
// writes <data folder>/icons/kelvane-{16,22,24,32,48,64,128,256}.png and kelvane.svg. The
// program draws its other pictures itself, at the size and scale it shows them.

#include "ui/Artwork.h"

#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <cstdio>

namespace {

bool write(const QImage& img, const QString& path) {
    if (!img.save(path, "PNG")) {
        std::fprintf(stderr, "makeart: cannot write %s\n", qPrintable(path));
        return false;
    }
    std::printf("%s (%d x %d)\n", qPrintable(path), img.width(), img.height());
    return true;
}

// The icon as the program draws it above 16 px, as SVG on a 128-unit square: the blue tile
// with its outline and highlight, the white mount, the landscape (sky, sun, two hills).
const char kSvg[] = R"svg(<?xml version="1.0" encoding="UTF-8"?>
<svg xmlns="http://www.w3.org/2000/svg" width="128" height="128" viewBox="0 0 128 128">
  <defs>
    <linearGradient id="tile" x1="0" y1="0" x2="0" y2="1">
      <stop offset="0" stop-color="#3b7be0"/><stop offset="1" stop-color="#1f4fa8"/>
    </linearGradient>
    <linearGradient id="shine" x1="0" y1="0" x2="0" y2="1">
      <stop offset="0" stop-color="#ffffff" stop-opacity="0.235"/>
      <stop offset="1" stop-color="#ffffff" stop-opacity="0"/>
    </linearGradient>
    <linearGradient id="sky" x1="0" y1="0" x2="0" y2="1">
      <stop offset="0" stop-color="#a9d3ff"/><stop offset="1" stop-color="#e6f3ff"/>
    </linearGradient>
    <radialGradient id="sun">
      <stop offset="0" stop-color="#ffd980"/><stop offset="1" stop-color="#ffb33b"/>
    </radialGradient>
    <clipPath id="view"><rect x="26" y="35" width="76" height="58" rx="3.2"/></clipPath>
  </defs>
  <rect x="1" y="1" width="126" height="126" rx="25.6" fill="url(#tile)"
        stroke="#1b2a4a" stroke-opacity="0.51" stroke-width="2"/>
  <rect x="5" y="5" width="118" height="60" rx="20.5" fill="url(#shine)"/>
  <rect x="16" y="25" width="96" height="78" rx="8.1" fill="#ffffff"
        stroke="#1b2a4a" stroke-opacity="0.78" stroke-width="2"/>
  <g clip-path="url(#view)">
    <rect x="26" y="35" width="76" height="58" fill="url(#sky)"/>
    <circle cx="80.7" cy="52.4" r="9.1" fill="url(#sun)"/>
    <path d="M48.8 93 L76.2 61.7 L109.6 93 Z" fill="#7cc0ab"/>
    <path d="M14.6 93 L51.8 54.7 L85.3 93 Z" fill="#2e8a74"/>
  </g>
  <rect x="26" y="35" width="76" height="58" rx="3.2" fill="none"
        stroke="#1b2a4a" stroke-opacity="0.27" stroke-width="1.2"/>
</svg>
)svg";

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
    if (!out.mkpath("icons")) {
        std::fprintf(stderr, "makeart: cannot create folders in %s\n", argv[1]);
        return 1;
    }
    const QString icons = out.filePath("icons/");
    bool ok = true;
    for (int size : {16, 22, 24, 32, 48, 64, 128, 256})
        ok = write(kelvane::artwork::appIcon(size), icons + QString("kelvane-%1.png").arg(size)) &&
             ok;
    QFile svg(icons + "kelvane.svg");
    if (!svg.open(QIODevice::WriteOnly) || svg.write(kSvg) != qint64(sizeof kSvg - 1)) {
        std::fprintf(stderr, "makeart: cannot write %s\n", qPrintable(svg.fileName()));
        return 1;
    }
    std::printf("%s\n", qPrintable(svg.fileName()));
    return ok ? 0 : 1;
}
