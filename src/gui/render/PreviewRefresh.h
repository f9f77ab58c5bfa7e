// SPDX-License-Identifier: MIT
#pragma once
// When the preview is drawn. Every change of text or settings asks for a redraw; this decides
// which requests draw and which are folded into one.
#include <QImage>

#include <functional>

namespace qp {

class PreviewRefresh {
public:
    PreviewRefresh(std::function<QImage()> draw, std::function<void(const QImage&)> show);

    // Draws and shows the preview now, unless a load holds it (then once the load ends) or a
    // drawing is under way: the renderer lets events through while it wraps, so a request can
    // arrive in the middle; the running drawing then draws again instead of nesting, and only
    // the newest picture is shown.
    void request();

    // Runs `load` (a configuration load) with the preview held: its many requests are gathered
    // and the preview is drawn once when the last held load is complete.
    void hold(const std::function<void()>& load);

private:
    std::function<QImage()> m_draw;
    std::function<void(const QImage&)> m_show;
    int m_held = 0;
    bool m_pending = false;
    bool m_drawing = false;
    bool m_again = false;
};

} // namespace qp
