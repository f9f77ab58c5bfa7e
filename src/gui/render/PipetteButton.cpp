// SPDX-License-Identifier: MIT
#include "gui/render/PipetteButton.h"

#include <QGuiApplication>
#include <QMouseEvent>
#include <QPixmap>
#include <QScreen>

namespace qp {

PipetteButton::PipetteButton(State& state, QWidget* parent)
    : QPushButton(parent), m_state(state), m_reader(&PipetteButton::readScreenPixel)
{
}

bool PipetteButton::platformForbidsScreenReading()
{
    return QGuiApplication::platformName().startsWith(QLatin1String("wayland"));
}

std::optional<QColor> PipetteButton::readScreenPixel(const QPoint& global)
{
    if (platformForbidsScreenReading())
        return std::nullopt;
    QScreen* screen = QGuiApplication::screenAt(global);
    if (!screen)
        return std::nullopt;
    const QPoint local = global - screen->geometry().topLeft();
    const QPixmap pixel = screen->grabWindow(0, local.x(), local.y(), 1, 1);
    if (pixel.isNull() || pixel.width() < 1 || pixel.height() < 1)
        return std::nullopt;
    return pixel.toImage().pixelColor(0, 0);
}

void PipetteButton::mousePressEvent(QMouseEvent* event)
{
    QPushButton::mousePressEvent(event);
    if (platformForbidsScreenReading()) {
        // Nothing can be picked here; say so instead of applying a colour that was never read.
        emit screenUnreadable();
        return;
    }
    m_state.picking = true;
    grabMouse(Qt::CrossCursor);
}

void PipetteButton::mouseMoveEvent(QMouseEvent* event)
{
    QPushButton::mouseMoveEvent(event);
    if (!m_state.picking)
        return;
    const std::optional<QColor> colour = m_reader ? m_reader(event->globalPosition().toPoint())
                                                  : std::nullopt;
    if (!colour) {
        emit screenUnreadable();
        return;
    }
    m_state.last = *colour;
    emit colorPicked(m_state.last);
}

void PipetteButton::mouseReleaseEvent(QMouseEvent* event)
{
    QPushButton::mouseReleaseEvent(event);
    if (!m_state.picking)
        return;
    m_state.picking = false;
    releaseMouse();
    emit colorPicked(m_state.last);
    emit pickingFinished();
}

} // namespace qp
