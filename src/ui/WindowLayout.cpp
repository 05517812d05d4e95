#include "ui/WindowLayout.h"

#include "app/AppState.h"
#include "platform/Platform.h"
#include "ui/ClientControls.h"

#include <QLabel>
#include <QLineEdit>

namespace kelvane {

void ApplyClientSize(AppState& state, ClientControls& c, Platform& platform) {
    state.sClientSize = normaliseClientSize(state.sClientSize);
    if (const auto row = sizeRow(state.sClientSize)) // an unknown word keeps the size
        c.row.sideTwips = row->sideTwips;
    const TwipRect square{0, 0, c.row.sideTwips, c.row.sideTwips};
    c.window->setFixedSize(toPixels(square).size());
    c.Image1->setGeometry(0, 0, c.window->width(), c.window->height());
    platform.setTopmost(c.window, state.bAlwaysOnTop);
    const TwipRect icon{c.row.sideTwips - kStatusIconInsetTwips, kStatusIconTopTwips,
                        kStatusIconSideTwips, kStatusIconSideTwips};
    for (QLabel* i : c.imgIcon)
        i->setGeometry(toPixels(icon));
}

void ApplyLabelSize(AppState& state, ClientControls& c) {
    state.sClientSize = normaliseClientSize(state.sClientSize);
    const auto row = sizeRow(state.sClientSize);
    if (!row)
        return;
    c.row.labelHeightTwips = row->labelHeightTwips;
    c.row.labelFontPt = row->labelFontPt;
    for (QLineEdit* label : c.Text) {
        QFont font = label->font();
        font.setPointSize(row->labelFontPt);
        label->setFont(font);
        label->resize(c.window->width(), twipsToPixels(row->labelHeightTwips));
    }
}

} // namespace kelvane
