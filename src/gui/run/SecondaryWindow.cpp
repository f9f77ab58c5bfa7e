// SPDX-License-Identifier: MIT
#include "gui/run/SecondaryWindow.h"

#include <QFrame>
#include <QLabel>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QMainWindow>
#include <QMenuBar>
#include <QScreen>

#include "gui/app/X11Connection.h"

namespace qp {

Qt::WindowFlags secondaryWindowFlags(const QWidget* parent, bool closeBox)
{
    Qt::WindowFlags flags = Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint;
    if (closeBox)
        flags |= Qt::WindowCloseButtonHint;
    if (!parent)
        flags |= Qt::WindowStaysOnTopHint;
    return flags;
}

void askForTitleBarWithoutButtons(QWidget* window)
{
#if defined(QP_HAVE_XCB) && QT_CONFIG(xcb)
    // Qt asks an X window manager for "move and resize only" but leaves the decorations to its
    // choice, so a manager that draws buttons by decorations shows close, minimise and maximise
    // anyway. The Motif hints say both: functions move; decorations border and title.
    xcb_connection_t* connection = x11Connection();
    if (!connection)
        return;
    const xcb_window_t id = xcb_window_t(window->winId());
    const xcb_atom_t atom = x11Atom(connection, "_MOTIF_WM_HINTS");
    if (atom == XCB_ATOM_NONE)
        return;
    enum : uint32_t { HintFunctions = 1, HintDecorations = 2, FunctionMove = 4, DecorBorder = 2, DecorTitle = 8 };
    const uint32_t hints[5] = {HintFunctions | HintDecorations, FunctionMove, DecorBorder | DecorTitle, 0, 0};
    xcb_change_property(connection, XCB_PROP_MODE_REPLACE, id, atom, atom, 32, 5, hints);
    xcb_flush(connection);
#else
    Q_UNUSED(window);
#endif
}

QPoint centredOver(QPoint overTopLeft, QSize overClient, QSize own)
{
    // C++ integer division truncates toward zero, which is the rule wanted here.
    return {overTopLeft.x() + (overClient.width() - own.width()) / 2,
            overTopLeft.y() + (overClient.height() - own.height()) / 2};
}

void placeOver(QWidget* window, const QWidget* over)
{
    if (over) {
        const QWidget* main = over->window();
        // The main window's client area lies below its menu bar.
        QSize client = main->size();
        if (const auto* mainWindow = qobject_cast<const QMainWindow*>(main); mainWindow && mainWindow->menuBar())
            client.rheight() -= mainWindow->menuBar()->height();
        window->move(centredOver(main->pos(), client, window->size()));
        return;
    }
    if (const QScreen* screen = window->screen()) {
        const QRect area = screen->availableGeometry();
        window->move(centredOver(area.topLeft(), area.size(), window->size()));
    }
}

QRect noticeTextArea()
{
    return {76, 14, kNoticeClientSize.width() - 76 - 10, kNoticeClientSize.height() - 14 - 50};
}

void addNoticePicture(QWidget* window, bool problem)
{
    auto* picture = named(new QLabel(window), "Image1");
    picture->setPixmap(windowPicture(problem));
    picture->setGeometry(10, 16, 48, 48);
    auto* line = named(new QFrame(window), "Bevel1");
    line->setFrameShape(QFrame::VLine);
    line->setFrameShadow(QFrame::Sunken);
    line->setGeometry(65, 10, 2, kNoticeClientSize.height() - 20);
}

QFont noticeHeadingFont(const QFont& base)
{
    QFont f = base;
    f.setPixelSize(15);
    f.setBold(true);
    return f;
}

QFont noticeLineFont(const QFont& base)
{
    QFont f = base;
    f.setPixelSize(11);
    return f;
}

QPixmap windowPicture(bool problem)
{
    QPixmap pixmap(48, 48);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);

    // A sheet with a folded corner, written on with a few lines of text in the program's blue.
    QPainterPath sheet;
    sheet.moveTo(8.5, 3.5);
    sheet.lineTo(31.5, 3.5);
    sheet.lineTo(40.5, 12.5);
    sheet.lineTo(40.5, 44.5);
    sheet.lineTo(8.5, 44.5);
    sheet.closeSubpath();
    QLinearGradient paper(0, 0, 48, 48);
    paper.setColorAt(0, QColor(255, 255, 255));
    paper.setColorAt(1, QColor(226, 232, 240));
    p.setPen(QPen(QColor(90, 104, 122), 1));
    p.setBrush(paper);
    p.drawPath(sheet);
    QPainterPath fold;
    fold.moveTo(31.5, 3.5);
    fold.lineTo(31.5, 12.5);
    fold.lineTo(40.5, 12.5);
    p.setBrush(QColor(200, 208, 218));
    p.drawPath(fold);

    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0x0F, 0x3F, 0x6F));
    p.drawRoundedRect(QRectF(13, 16, 10, 10), 1.5, 1.5);  // a picture on the page
    p.setBrush(QColor(0x3A, 0x7C, 0xC0));
    const qreal lines[][3] = {{25, 17, 11}, {25, 22, 9}, {13, 30, 23}, {13, 35, 20}, {13, 40, 16}};
    for (const auto& l : lines)
        p.drawRoundedRect(QRectF(l[0], l[1], l[2], 2.5), 1, 1);

    if (problem) {
        // A warning badge in the lower right corner.
        const QRectF badge(26, 26, 21, 21);
        p.setBrush(QColor(232, 128, 24));
        p.setPen(QPen(QColor(168, 80, 0), 1));
        p.drawEllipse(badge);
        p.setPen(Qt::NoPen);
        p.setBrush(Qt::white);
        p.drawRoundedRect(QRectF(34.8, 30, 3.4, 8.5), 1.5, 1.5);
        p.drawEllipse(QRectF(34.8, 40, 3.4, 3.4));
    }
    return pixmap;
}

} // namespace qp
