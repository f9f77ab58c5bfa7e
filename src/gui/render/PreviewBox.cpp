// SPDX-License-Identifier: MIT
#include "gui/render/PreviewBox.h"

#include "core/i18n/Catalog.h"
#include "core/render/Renderer.h"

#include <QLabel>
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
    m_note = new QLabel(this);
    m_note->setObjectName(QStringLiteral("fitboxNote"));
    m_note->setAutoFillBackground(true);
    m_note->setMargin(2);
    m_note->hide();
}

QString PreviewBox::note() const
{
    return m_note->isHidden() ? QString() : m_note->text();
}

void PreviewBox::placeNote()
{
    m_note->adjustSize();
    m_note->move(0, viewport()->geometry().bottom() + 1 - m_note->height());
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
        // Where the image has no background, a checkerboard shows through, as image editors show it.
        if (image.hasAlphaChannel()) {
            constexpr int square = 8;
            const QRect inside(1, 1, image.width(), image.height());
            p.fillRect(inside, QColor(255, 255, 255));
            p.setClipRect(inside);
            for (int y = 0; y < image.height(); y += square)
                for (int x = (y / square) % 2 * square; x < image.width(); x += 2 * square)
                    p.fillRect(1 + x, 1 + y, square, square, QColor(204, 204, 204));
            p.setClipping(false);
        }
        p.drawImage(1, 1, image);
    }
    m_picture = std::move(picture);
    m_placement = placePreview(image.size(), size());
    ++m_drawCount;
    QString note;
    if (fitFailed(image))
        note = catalogText(QStringLiteral("prog"), QStringLiteral("fitbox_none"), TextProperty::StatusText);
    else if (const auto points = fittedPoints(image))
        note = catalogText(QStringLiteral("prog"), QStringLiteral("fitbox_size"), TextProperty::StatusText)
                   .arg(*points);
    m_note->setText(note);
    m_note->setHidden(note.isEmpty());
    placeNote();
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
    placeNote();
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
