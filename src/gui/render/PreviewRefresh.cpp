// SPDX-License-Identifier: MIT
#include "gui/render/PreviewRefresh.h"

#include <QScopeGuard>

namespace qp {

PreviewRefresh::PreviewRefresh(std::function<QImage()> draw, std::function<void(const QImage&)> show)
    : m_draw(std::move(draw)), m_show(std::move(show))
{
}

void PreviewRefresh::request()
{
    if (m_held) {
        m_pending = true;
        return;
    }
    if (m_drawing) {
        m_again = true;
        return;
    }
    m_drawing = true;
    const auto done = qScopeGuard([this] { m_drawing = false; });
    do {
        m_again = false;
        const QImage bitmap = m_draw();
        if (!m_again)
            m_show(bitmap);
    } while (m_again);
}

void PreviewRefresh::hold(const std::function<void()>& load)
{
    ++m_held;
    try {
        load();
    } catch (...) {
        --m_held;
        throw;
    }
    if (--m_held == 0 && m_pending) {
        m_pending = false;
        request();
    }
}

} // namespace qp
