// SPDX-License-Identifier: MIT
#include "gui/app/PageHeight.h"

#include <QLayout>
#include <QTabWidget>

#include <algorithm>

namespace qp {

void fitPageHeight(QTabWidget& pages, const QWidget& preview)
{
    // What every page needs at the current width (wrapped texts take more lines when narrow)
    // and what the tallest page would like.
    // A hidden page's layouts, and the sizes they hold of its controls, keep the measures of its
    // earlier texts: measure it afresh.
    for (int i = 0; i < pages.count(); ++i) {
        QWidget* page = pages.widget(i);
        for (QWidget* w : page->findChildren<QWidget*>())
            w->updateGeometry();
        for (QLayout* layout : page->findChildren<QLayout*>())
            layout->invalidate();
        page->layout()->invalidate();
    }
    const QWidget* shown = pages.currentWidget();
    const int frame = pages.height() - shown->height();
    int need = pages.minimumSizeHint().height();
    for (int i = 0; i < pages.count(); ++i)
        if (const QWidget* page = pages.widget(i); page->hasHeightForWidth())
            need = std::max(need, page->heightForWidth(shown->width()) + frame);
    const int full = std::max(pages.sizeHint().height(), need);

    // In a small window the pages give up height before the preview goes below its smallest size,
    // but never below what the tallest page needs, so every page stays whole at the minimum size.
    const int previewStrip = std::max(preview.minimumHeight(), preview.minimumSizeHint().height());
    const QWidget* middle = pages.parentWidget();
    const QMargins margins = middle->layout()->contentsMargins();
    const int room = middle->height() - margins.top() - margins.bottom() - middle->layout()->spacing() - previewStrip;
    const int height = std::clamp(room, need, full);
    if (height != pages.minimumHeight() || height != pages.maximumHeight())
        pages.setFixedHeight(height);
}

} // namespace qp
