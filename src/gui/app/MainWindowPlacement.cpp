// SPDX-License-Identifier: MIT
#include "gui/app/MainWindowPlacement.h"

#include "gui/app/DesktopWindows.h"

#include <QGuiApplication>
#include <QMainWindow>
#include <QMenuBar>
#include <QScreen>

namespace qp {

MainWindowPlacement::MainWindowPlacement(QMainWindow& window) : m_window(window) {}

int MainWindowPlacement::menuBarHeight() const
{
    return m_window.menuBar()->sizeHint().height();
}

QSize MainWindowPlacement::clientSize() const
{
    return {m_window.width(), m_window.height() - menuBarHeight()};
}

void MainWindowPlacement::setClientSize(const QSize& size)
{
    m_window.resize(size.width(), size.height() + menuBarHeight());
}

WindowPlacement MainWindowPlacement::placement() const
{
    WindowPlacement p;
    p.maximized = m_window.isMaximized();
    // The inside of the frame, as apply sets it: the frame is the window manager's, and not yet
    // known while a window is being shown, so that a frame corner saved and set again would move
    // the window by the frame's size at every start.
    const QRect normal = m_window.isMaximized() ? m_window.normalGeometry() : m_window.geometry();
    p.clientWidth = normal.width();
    p.clientHeight = normal.height() - menuBarHeight();
    p.top = normal.top();
    p.left = normal.left();
    return p;
}

QList<QRect> MainWindowPlacement::screenAreas()
{
    QList<QRect> areas;
    if (QScreen* primary = QGuiApplication::primaryScreen())
        areas << primary->availableGeometry();
    for (QScreen* s : QGuiApplication::screens()) {
        if (s != QGuiApplication::primaryScreen())
            areas << s->availableGeometry();
    }
    return areas;
}

void MainWindowPlacement::apply(const PlacementChange& change)
{
    const WindowPlacement& p = change.placement;
    if (!m_window.isMaximized()) {
        QRect inside(QPoint(p.left, p.top), QSize(p.clientWidth, p.clientHeight + menuBarHeight()));
        inside.moveTopLeft(keepOnScreen(inside, screenAreas()));
        m_window.setGeometry(inside);
    }
    if (change.maximizeOnActivation)
        m_maximizeAtActivation = true;
}

void MainWindowPlacement::placeAtStart()
{
    setClientSize(QSize(594, 646));
    if (QScreen* s = QGuiApplication::primaryScreen()) {
        const QRect area = s->availableGeometry();
        m_window.move(area.center() - QPoint(m_window.width() / 2, m_window.height() / 2));
    }
}

void MainWindowPlacement::maximizeWhenDesktopTooSmall()
{
    if (QScreen* s = m_window.screen()) {
        const QSize desk = s->availableGeometry().size();
        const QSize client = clientSize();
        if (desk.height() < client.height() + 50 || desk.width() < client.width() + 50)
            m_maximizeAtActivation = true;
    }
}

void MainWindowPlacement::stepAwayFromOtherWindows()
{
    // Another start of the program may have its window at the same place (both centred, or both
    // from the same start configuration): this one opens a step further. A window that no
    // configuration placed is put by the window manager, which centres it on the desktops the
    // program is made for. Setting the place once more pins where the inside lands, so that it
    // lands in the same terms as the other window's corner.
    if (m_window.isMaximized() || m_maximizeAtActivation)
        return;
    const QList<QPoint> others = otherProgramWindowCorners(m_window.windowHandle());
    const QList<QRect> screens = screenAreas();
    const QRect screen = screens.isEmpty() ? QRect() : screens.front();
    QPoint wanted = m_window.geometry().topLeft();
    if (!m_window.testAttribute(Qt::WA_Moved) && !screen.isEmpty())
        wanted = screen.center() - QPoint(m_window.width() / 2, m_window.height() / 2) + QPoint(1, 1);
    if (!others.isEmpty())
        m_window.setGeometry(QRect(cascadePosition(wanted, m_window.frameGeometry().size(), others, screen),
                                   m_window.size()));
}

void MainWindowPlacement::activated()
{
    if (m_maximizeAtActivation) {
        m_maximizeAtActivation = false;
        m_window.showMaximized();
    }
}

} // namespace qp
