// SPDX-License-Identifier: MIT
#include "gui/app/Tstart.h"

#include "core/i18n/Language.h"
#include "gui/app/SplashPicture.h"
#include "gui/i18n/CatalogTexts.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QLabel>
#include <QPixmap>
#include <QScreen>
#include <QTimer>

namespace qp {

Tstart::Tstart(const QString& workingDir, QWidget* parent)
    : QWidget(parent, Qt::SplashScreen | Qt::FramelessWindowHint),
      m_image1(new QLabel(this)),
      m_en1(new QLabel(this)),
      m_spr(new QLabel(this)),
      m_timer(new QTimer(this))
{
    setObjectName(QStringLiteral("start"));
    setFixedSize(kSplashWidth, kSplashHeight);
    if (QScreen* screen = QGuiApplication::primaryScreen()) {
        const QRect area = screen->availableGeometry();
        move(area.center() - QPoint(kSplashWidth / 2, kSplashHeight / 2));
    }

    m_image1->setObjectName(QStringLiteral("Image1"));
    m_image1->setPixmap(QPixmap::fromImage(splashPicture(true)));
    m_image1->setGeometry(0, 0, kSplashWidth, kSplashHeight);
    m_en1->setObjectName(QStringLiteral("en1"));
    m_en1->setPixmap(QPixmap::fromImage(splashPicture(false)));
    m_en1->setGeometry(0, 0, kSplashWidth, kSplashHeight);
    m_en1->raise();
    m_spr->setObjectName(QStringLiteral("spr"));
    m_spr->hide();
    setCursor(Qt::PointingHandCursor);

    Language::chooseStartLanguage(workingDir);
    sprache();

    m_ticks = 0;
    m_timer->setInterval(600);
    connect(m_timer, &QTimer::timeout, this, &Tstart::Timer1Timer);
    m_timer->start();
}

QString Tstart::languageLabel() const
{
    return m_spr->text();
}

void Tstart::sprache()
{
    const QString code = Language::code();
    m_spr->setText(code);
    applyCatalogTexts(this, QStringLiteral("start"));
}

void Tstart::showMainWindow()
{
    if (!m_mainWindow)
        return;
    if (!m_mainWindow->isVisible()) {
        m_mainWindow->show();
        m_mainWindow->activateWindow();
    }
    // Showing a window that is already visible brings it to the front.
    m_mainWindow->raise();
}

void Tstart::Timer1Timer()
{
    ++m_ticks;
    if (m_ticks > 3)
        showMainWindow();
    if (m_ticks > 5)
        hide();
    if (m_ticks > 7)
        m_timer->stop();
}

void Tstart::Image1Click()
{
    showMainWindow();
    hide();
    m_timer->stop();
}

void Tstart::mousePressEvent(QMouseEvent*)
{
    Image1Click();
}

void Tstart::closeEvent(QCloseEvent* event)
{
    m_timer->stop();
    event->accept();
    emit programEnd();
}

} // namespace qp
