// SPDX-License-Identifier: MIT
#include "gui/render/PreviewBox.h"

#include <QPainter>
#include <QResizeEvent>
#include <QScrollBar>

#include <algorithm>

namespace qp {

PreviewBox::PreviewBox(QWidget* parent) : QAbstractScrollArea(parent)
{
    setFrameShape(QFrame::NoFrame);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    viewport()->setBackgroundRole(QPalette::Window);
    viewport()->setAutoFillBackground(true);
}

QSize PreviewBox::sizeHint() const
{
    return {560, 200};
}

void PreviewBox::showImage(const QImage& image)
{
    QImage picture(image.width() + 2, image.height() + 2, QImage::Format_RGB32);
    picture.fill(Qt::black);
    {
        QPainter p(&picture);
        p.drawImage(1, 1, image);
    }
    m_picture = std::move(picture);
    m_placement = placePreview(image.size(), size());
    ++m_drawCount;
    updateScrollBars();
    viewport()->update();
}

bool PreviewBox::event(QEvent* event)
{
    const bool result = QAbstractScrollArea::event(event);
    if (event->type() == QEvent::Resize)
        emit resized();
    return result;
}

void PreviewBox::resizeEvent(QResizeEvent* event)
{
    // The viewport changed (the box itself, or a scroll bar came or went).
    QAbstractScrollArea::resizeEvent(event);
    updateScrollBars();
}

void PreviewBox::updateScrollBars()
{
    const QSize view = viewport()->size();
    horizontalScrollBar()->setRange(0, std::max(0, m_placement.horizontalRange - view.width()));
    horizontalScrollBar()->setPageStep(view.width());
    horizontalScrollBar()->setSingleStep(20);
    verticalScrollBar()->setRange(0, std::max(0, m_placement.verticalRange - view.height()));
    verticalScrollBar()->setPageStep(view.height());
    verticalScrollBar()->setSingleStep(20);
}

void PreviewBox::scrollContentsBy(int, int)
{
    viewport()->update();
}

void PreviewBox::paintEvent(QPaintEvent*)
{
    if (m_picture.isNull())
        return;
    QPainter p(viewport());
    const QPoint scroll(horizontalScrollBar()->value(), verticalScrollBar()->value());
    p.drawImage(m_placement.picture.topLeft() - scroll, m_picture);
}

} // namespace qp
