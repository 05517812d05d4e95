#pragma once

#include <QString>

namespace kelvane {

// A tooltip naming a path: the sentence, the path in double quotes, one blank.
inline QString quotedTip(const QString& sentence, const QString& path) {
    return sentence + QLatin1Char('"') + path + QStringLiteral("\" ");
}

// The tooltip of a drop target: " Drag image here to save to "<where>" ".
inline QString dragHereTip(const QString& where) {
    return quotedTip(QStringLiteral(" Drag image here to save to "), where);
}

} // namespace kelvane
