// SPDX-License-Identifier: MIT
#include "gui/app/BottomBar.h"

#include "core/i18n/Language.h"
#include "core/i18n/SharedTexts.h"
#include "core/run/PathShortening.h"
#include "core/run/GenerationRun.h"
#include "core/settings/SettingsModel.h"
#include "gui/app/LinkCaptions.h"
#include "gui/app/MainWindowDialogs.h"
#include "gui/app/Named.h"

#include <QDir>
#include <QEvent>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QTimer>

namespace qp {

namespace {

const QString kUndoResetLink = QStringLiteral("#undo-reset");

} // namespace

BottomBar::BottomBar(const SettingsModel& settings, const MainWindowDialogs& dialogs)
    : m_settings(settings), m_dialogs(dialogs)
{
    setObjectName(SettingsModel::nameOf(Setting::Panel12));
    auto* h = new QHBoxLayout(this);
    h->setContentsMargins(10, 4, 8, 8);
    h->setSpacing(8);
    m_link = named(new QLabel, "laspenden");
    m_link->setCursor(Qt::PointingHandCursor);
    QPalette pal = m_link->palette();
    pal.setColor(QPalette::WindowText, pal.color(QPalette::Link));
    m_link->setPalette(pal);
    QFont f = m_link->font();
    f.setUnderline(true);
    m_link->setFont(f);
    m_link->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    m_link->installEventFilter(this);
    h->addWidget(m_link, 1);
    // After a run its summary takes the link's place for a while; its folder opens on a click.
    m_runSummary = named(new QLabel, "runSummary");
    m_runSummary->setTextFormat(Qt::RichText);
    m_runSummary->setTextInteractionFlags(Qt::LinksAccessibleByMouse | Qt::LinksAccessibleByKeyboard);
    m_runSummary->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    m_runSummary->hide();
    h->addWidget(m_runSummary, 1);
    // The same place offers the undo of a reset for as long.
    connect(m_runSummary, &QLabel::linkActivated, this, [this](const QString& link) {
        if (link == kUndoResetLink) {
            hideNotice();
            emit undoResetChosen();
        } else if (m_dialogs.openUrl) {
            m_dialogs.openUrl(QUrl(link));
        }
    });
    m_runSummaryTimer = new QTimer(this);
    m_runSummaryTimer->setSingleShot(true);
    m_runSummaryTimer->setInterval(15000);
    connect(m_runSummaryTimer, &QTimer::timeout, this, &BottomBar::hideNotice);
    m_weiter = named(new QPushButton, "weiter");
    m_durchfuehren = named(new QPushButton, "durchfuehren");
    m_durchfuehren->setDefault(false);
    QFont bold = m_durchfuehren->font();
    bold.setBold(true);
    m_durchfuehren->setFont(bold);
    h->addWidget(m_weiter);
    h->addWidget(m_durchfuehren);

    m_linkTimer = new QTimer(this);
    m_linkTimer->setInterval(10000);
    connect(m_linkTimer, &QTimer::timeout, this, &BottomBar::Timer1Timer);
}

void BottomBar::showRunSummary(const RunResult& result)
{
    // The folder of the last written image (settings may change during a run), else the folder
    // setting; the home folder shown as "~".
    QString folder = result.lastWritten.isEmpty()
        ? m_settings.text(Setting::out_ordner)
        : QFileInfo(result.lastWritten).absolutePath();
    folder = QDir::cleanPath(folder);
    QString text = SharedTexts::runSummary(result.written, result.failed, result.cancelled, HomeShortened(folder));
    if (result.smallestFitted && result.largestFitted)
        text += QStringLiteral("; ") + SharedTexts::fittedSizes(*result.smallestFitted, *result.largestFitted);
    m_runSummary->setText(QStringLiteral("<a href=\"%1\">%2</a>")
                              .arg(QUrl::fromLocalFile(folder).toString(QUrl::FullyEncoded).toHtmlEscaped(),
                                   text.toHtmlEscaped()));
    m_runSummary->setToolTip(QDir::toNativeSeparators(folder));
    showNotice(false);
}

void BottomBar::showUndoReset(const QString& caption)
{
    m_runSummary->setText(QStringLiteral("<a href=\"%1\">%2</a>").arg(kUndoResetLink, caption.toHtmlEscaped()));
    m_runSummary->setToolTip(QString());
    showNotice(true);
}

void BottomBar::hideUndoReset()
{
    if (m_undoResetShown)
        hideNotice();
}

void BottomBar::showNotice(bool undoReset)
{
    m_undoResetShown = undoReset;
    m_link->hide();
    m_runSummary->show();
    m_runSummaryTimer->start();
}

void BottomBar::hideNotice()
{
    m_undoResetShown = false;
    m_runSummaryTimer->stop();
    m_runSummary->hide();
    m_link->show();
}

void BottomBar::Timer1Timer()
{
    ++m_linkCounter;
    updateLinkCaption();
}

void BottomBar::updateLinkCaption()
{
    const LinkCaption link = linkCaption(linkPageFor(m_linkCounter), Language::isGerman());
    m_linkCaption = link.caption;
    m_link->setToolTip(link.url.toString());
    showLinkCaption();
}

void BottomBar::showLinkCaption()
{
    // The label shares the bar with the buttons; a caption wider than its room ends in "...".
    m_link->setText(m_link->fontMetrics().elidedText(m_linkCaption, Qt::ElideRight, m_link->width()));
}

void BottomBar::laspendenClick()
{
    if (m_dialogs.openUrl)
        m_dialogs.openUrl(linkCaption(linkPageFor(m_linkCounter), Language::isGerman()).url);
}

bool BottomBar::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_link && event->type() == QEvent::MouseButtonRelease)
        laspendenClick();
    else if (watched == m_link && event->type() == QEvent::Resize)
        showLinkCaption();
    return QWidget::eventFilter(watched, event);
}

} // namespace qp
