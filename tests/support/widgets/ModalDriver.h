// SPDX-License-Identifier: MIT
#pragma once
// Drives a modal window in a test without blocking: every time `window` is shown, `onShown` runs
// once from the event loop that the window's exec() runs (it reads the window and presses one of
// its buttons). A window still open after `timeoutMs` is closed by force and counted, so a test
// fails instead of hanging.
#include <QDialog>
#include <QElapsedTimer>
#include <QEvent>
#include <QPointer>
#include <QTimer>
#include <functional>

namespace qp::test {

class ModalDriver : public QObject {
public:
    ModalDriver(QDialog& window, std::function<void(QDialog&)> onShown, int timeoutMs = 5000)
        : m_window(&window), m_onShown(std::move(onShown)), m_timeoutMs(timeoutMs)
    {
        window.installEventFilter(this);
        m_timer.setInterval(2);
        QObject::connect(&m_timer, &QTimer::timeout, this, [this] { poll(); });
        m_timer.start();
    }

    int shown() const { return m_shown; }
    int forcedClose() const { return m_forced; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (watched == m_window && event->type() == QEvent::Show) {
            m_pending = true;
            m_open.start();
        }
        return QObject::eventFilter(watched, event);
    }

private:
    void poll()
    {
        if (!m_window || !m_window->isVisible())
            return;
        if (m_pending) {
            m_pending = false;
            ++m_shown;
            m_onShown(*m_window);
            return;
        }
        if (m_open.isValid() && m_open.elapsed() > m_timeoutMs) {
            ++m_forced;
            m_window->done(QDialog::Rejected);
        }
    }

    QPointer<QDialog> m_window;
    std::function<void(QDialog&)> m_onShown;
    int m_timeoutMs;
    QTimer m_timer;
    QElapsedTimer m_open;
    bool m_pending = false;
    int m_shown = 0;
    int m_forced = 0;
};

} // namespace qp::test
