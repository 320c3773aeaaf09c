#include "StatusPaneWidth.h"

#include <QLabel>
#include <algorithm>

namespace {

// The width the pane's words need: their advance in the pane's font, the indent a framed label
// keeps on its side, the margins, and the frame around. The label's own size hint is no measure
// here: it never comes out below the width already fixed.
int WidthForText(const QLabel* pane) {
    const QFontMetrics metrics = pane->fontMetrics();
    int indent = pane->indent();
    if (indent < 0)
        indent = pane->frameWidth() > 0 ? metrics.horizontalAdvance(QLatin1Char('x')) / 2 : 0;
    const int chrome = pane->width() - pane->contentsRect().width();
    return metrics.horizontalAdvance(pane->text()) + indent + 2 * pane->margin() + chrome;
}

}  // namespace

void FitPaneToText(QLabel* pane, int leastWidth) {
    pane->setFixedWidth(std::max(leastWidth, WidthForText(pane)));
}
