#pragma once

#include <QRect>
#include <QString>
#include <array>
#include <optional>

namespace kelvane {

// The three window sizes and the client window's geometry. Everything here is in twips; the
// window code converts to logical pixels with toPixels(), the only place where twips are rounded.

// Window positions and sizes are kept in twips; 15 twips make one logical pixel.
constexpr int kTwipsPerPixel = 15;

enum class ClientSize { Small, Med, Large, Unknown };

// sClientSize as it is compared: spaces trimmed, upper case.
QString clientSizeMode(const QString& sClientSize);
// "SMALL", "MED", "LARGE" in any case and with surrounding spaces; anything else, the empty
// value included, is Unknown (normaliseClientSize turns the empty value into "MED" first).
ClientSize parseClientSize(const QString& sClientSize);
// The word the size commands store: "SMALL", "MED", "LARGE"; empty for Unknown.
QString clientSizeWord(ClientSize size);
// "MED" when sClientSize is empty (or only spaces), otherwise sClientSize unchanged.
QString normaliseClientSize(const QString& sClientSize);

// One row of the size table.
struct SizeRow {
    int sideTwips = 0;        // the window's base square, which holds the picture
    int labelHeightTwips = 0; // height of one folder label
    int labelFontPt = 0;      // the folder labels' font size
    friend bool operator==(const SizeRow&, const SizeRow&) = default;
};

// The row for a size word, after trimming and upper-casing; nullopt for the empty value and
// for unknown words.
std::optional<SizeRow> sizeRow(const QString& sClientSize);

// What applying the size mode does to the window: an empty sClientSize becomes "MED" (the
// caller's string changes); a known word gives its row; an unknown word keeps `previous`, the
// row the window was last laid out with, so the window and its labels keep their size.
SizeRow resolveSizeRow(QString& sClientSize, const SizeRow& previous);

// The one rounding rule: twips / 15, rounded to the nearest logical pixel, halves upwards
// (1090 twips = 72.67 px -> 73 px; 7.5 twips -> 1 px; -7.5 twips -> 0 px). Values beyond the
// range of int are clamped, not-a-number gives 0.
int twipsToPixels(double twips);

struct TwipRect {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
    int right() const { return left + width; }
    int bottom() const { return top + height; }
    friend bool operator==(const TwipRect&, const TwipRect&) = default;
};

// Pixel rectangle whose four edges are the rounded twip edges, so rectangles that touch in
// twips touch in pixels and the rounding error never accumulates down a column of labels.
QRect toPixels(const TwipRect& r);

struct LabelPlacement {
    TwipRect rect;
    bool visible = false;
};

// Fixed places on the client window.
constexpr int kLabelLeftTwips = -15;       // one pixel left of the window's left edge
constexpr int kHiddenLabelTopTwips = 2000; // where the layout parks every label first
constexpr int kStatusIconInsetTwips = 400; // icon left = window width - 400
constexpr int kStatusIconTopTwips = 30;
constexpr int kStatusIconSideTwips = 345;

struct ClientLayout {
    TwipRect window;     // left and top 0: the window's own drawing area
    TwipRect picture;    // the drop picture fills the window
    TwipRect statusIcon; // the spot shared by the three status icons
    std::array<LabelPlacement, 10> labels;
    int labelFontPt = 0;
};

// The window laid out for a size row and the ten slot texts: the base square, then each
// non-empty slot in slot order adds one label under the previous one; empty slots are hidden.
ClientLayout layoutClient(const SizeRow& row, const std::array<QString, 10>& slotTexts);

} // namespace kelvane
