#include "ui/SizeTable.h"

#include <cmath>
#include <limits>

namespace kelvane {

namespace {

struct NamedRow {
    ClientSize size;
    const char* word;
    SizeRow row;
};

// The size table: base square, label height, label font size.
constexpr NamedRow kSizeTable[] = {
    {ClientSize::Small, "SMALL", {675, 195, 6}},
    {ClientSize::Med, "MED", {1090, 240, 7}},
    {ClientSize::Large, "LARGE", {1460, 270, 9}},
};

} // namespace

QString clientSizeMode(const QString& sClientSize) {
    return sClientSize.trimmed().toUpper();
}

ClientSize parseClientSize(const QString& sClientSize) {
    const QString mode = clientSizeMode(sClientSize);
    for (const NamedRow& entry : kSizeTable) {
        if (mode == QLatin1String(entry.word))
            return entry.size;
    }
    return ClientSize::Unknown;
}

QString clientSizeWord(ClientSize size) {
    for (const NamedRow& entry : kSizeTable) {
        if (entry.size == size)
            return QString::fromLatin1(entry.word);
    }
    return QString();
}

QString normaliseClientSize(const QString& sClientSize) {
    if (clientSizeMode(sClientSize).isEmpty())
        return QStringLiteral("MED");
    return sClientSize;
}

std::optional<SizeRow> sizeRow(const QString& sClientSize) {
    const ClientSize size = parseClientSize(sClientSize);
    for (const NamedRow& entry : kSizeTable) {
        if (entry.size == size)
            return entry.row;
    }
    return std::nullopt;
}

SizeRow resolveSizeRow(QString& sClientSize, const SizeRow& previous) {
    sClientSize = normaliseClientSize(sClientSize);
    return sizeRow(sClientSize).value_or(previous);
}

int twipsToPixels(double twips) {
    if (std::isnan(twips))
        return 0;
    const double pixels = std::floor(twips / kTwipsPerPixel + 0.5);
    if (pixels >= static_cast<double>(std::numeric_limits<int>::max()))
        return std::numeric_limits<int>::max();
    if (pixels <= static_cast<double>(std::numeric_limits<int>::min()))
        return std::numeric_limits<int>::min();
    return static_cast<int>(pixels);
}

QRect toPixels(const TwipRect& r) {
    // Edges in double so that left + width cannot overflow int.
    const int left = twipsToPixels(r.left);
    const int top = twipsToPixels(r.top);
    const int right = twipsToPixels(static_cast<double>(r.left) + r.width);
    const int bottom = twipsToPixels(static_cast<double>(r.top) + r.height);
    return QRect(left, top, right - left, bottom - top);
}

ClientLayout layoutClient(const SizeRow& row, const std::array<QString, 10>& slotTexts) {
    ClientLayout layout;
    layout.window = {0, 0, row.sideTwips, row.sideTwips};
    layout.picture = layout.window;
    layout.statusIcon = {row.sideTwips - kStatusIconInsetTwips, kStatusIconTopTwips,
                         kStatusIconSideTwips, kStatusIconSideTwips};
    layout.labelFontPt = row.labelFontPt;

    for (std::size_t i = 0; i < slotTexts.size(); ++i) {
        LabelPlacement& label = layout.labels[i];
        label.rect = {kLabelLeftTwips, kHiddenLabelTopTwips, row.sideTwips, row.labelHeightTwips};
        if (slotTexts[i].isEmpty())
            continue;
        label.visible = true;
        label.rect.top = layout.window.height;
        layout.window.height += row.labelHeightTwips;
    }
    return layout;
}

} // namespace kelvane
