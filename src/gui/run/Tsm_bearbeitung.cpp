// SPDX-License-Identifier: MIT
#include "gui/run/Tsm_bearbeitung.h"

#include "core/i18n/SharedTexts.h"
#include "core/run/PathShortening.h"
#include "gui/i18n/CatalogTexts.h"
#include "gui/run/SecondaryWindow.h"

#include <QFontMetrics>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

namespace qp {

Tsm_bearbeitung::Tsm_bearbeitung(QWidget* parent) : QDialog(parent, secondaryWindowFlags(parent, false))
{
    setObjectName(QStringLiteral("sm_bearbeitung"));
    setModal(false);
    setFixedSize(kNoticeClientSize);
    askForTitleBarWithoutButtons(this);
    addNoticePicture(this, false);

    auto* column = new QWidget(this);
    column->setGeometry(noticeTextArea());
    auto line = [column](const char* name, const QFont& font) {
        auto* label = named(new QLabel(column), name);
        label->setTextFormat(Qt::PlainText);
        label->setFont(font);
        return label;
    };
    m_heading = line("Label1", noticeHeadingFont(font()));
    m_currentLabel = line("Label2", noticeLineFont(font()));
    m_current = line("Label3", noticeLineFont(font()));
    m_progress = named(new QProgressBar(column), "Progress");
    m_progress->setTextVisible(true);
    m_progress->setFormat(QStringLiteral("%v / %m"));
    m_progress->setAlignment(Qt::AlignCenter);
    m_progress->setFixedHeight(20);

    auto* lines = new QVBoxLayout(column);
    lines->setContentsMargins(0, 0, 0, 0);
    lines->setSpacing(5);
    lines->addWidget(m_heading);
    lines->addSpacing(10);
    lines->addWidget(m_currentLabel);
    lines->addWidget(m_current);
    lines->addSpacing(14);
    lines->addWidget(m_progress);
    lines->addStretch(1);

    m_cancel = named(new QPushButton(this), "Abbrechen");
    connect(m_cancel, &QPushButton::clicked, this, &Tsm_bearbeitung::cancelRequested);

    m_heading->setText(SharedTexts::bearbeitung());
    m_currentLabel->setText(SharedTexts::aktuellesBild());
    Sprache();
}

void Tsm_bearbeitung::Sprache()
{
    applyCatalogTexts(this, QStringLiteral("sm_bearbeitung"));
    const QRect area = noticeTextArea();
    const int height = 26;
    const int width = std::max(88, m_cancel->sizeHint().width() + 8);
    m_cancel->setGeometry(area.right() + 1 - width, kNoticeClientSize.height() - 12 - height, width, height);
}

void Tsm_bearbeitung::startRun(int count, QWidget* over)
{
    // A bar with maximum 0 would show a busy indicator; an empty run shows an empty bar instead.
    m_progress->setRange(0, std::max(count, 1));
    m_progress->setFormat(count > 0 ? QStringLiteral("%v / %m") : QStringLiteral("0 / 0"));
    m_progress->setValue(0);
    m_heading->setText(SharedTexts::bearbeitung());
    m_currentLabel->setText(SharedTexts::aktuellesBild());
    m_current->clear();
    placeOver(this, over);
    show();
    raise();
    activateWindow();
    m_cancel->setFocus();
}

void Tsm_bearbeitung::showCurrent(const QString& path)
{
    const QFontMetrics metrics(m_current->font());
    m_current->setText(ShortenPathToWidth(
        path, [&metrics](const QString& s) { return metrics.horizontalAdvance(s); }, noticeTextArea().width()));
}

void Tsm_bearbeitung::setPosition(int position)
{
    m_progress->setValue(position);
}

void Tsm_bearbeitung::finishRun()
{
    hide();
}

} // namespace qp
