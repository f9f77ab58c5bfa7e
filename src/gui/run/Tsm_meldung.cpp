// SPDX-License-Identifier: MIT
#include "gui/run/Tsm_meldung.h"

#include "core/run/Messages.h"
#include "core/run/PathShortening.h"
#include "gui/i18n/CatalogTexts.h"
#include "gui/run/SecondaryWindow.h"

#include <QFontMetrics>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace qp {

namespace {

QLabel* line(QWidget* owner, const char* name, const QFont& font)
{
    auto* label = named(new QLabel(owner), name);
    label->setTextFormat(Qt::PlainText);  // paths and texts are shown as they are
    label->setFont(font);
    return label;
}

} // namespace

Tsm_meldung::Tsm_meldung(QWidget* parent) : QDialog(parent, secondaryWindowFlags(parent, false))
{
    setObjectName(QStringLiteral("sm_meldung"));
    setModal(true);
    setFixedSize(kNoticeClientSize);
    askForTitleBarWithoutButtons(this);
    addNoticePicture(this, true);

    auto* column = new QWidget(this);
    column->setGeometry(noticeTextArea());
    m_title = line(column, "Label1", noticeHeadingFont(font()));
    m_line1 = line(column, "Label2", noticeLineFont(font()));
    m_line2 = line(column, "Label3", noticeLineFont(font()));
    m_line3 = line(column, "Label4", noticeLineFont(font()));
    m_cause = line(column, "Cause", noticeLineFont(font()));
    // A fixed line that does not fit (a wide system font) wraps instead of being cut off.
    m_line1->setWordWrap(true);
    m_line3->setWordWrap(true);
    m_cause->setWordWrap(true);
    m_cause->hide();
    auto* lines = new QVBoxLayout(column);
    lines->setContentsMargins(0, 0, 0, 0);
    lines->setSpacing(5);
    lines->addWidget(m_title);
    lines->addSpacing(10);
    lines->addWidget(m_line1);
    lines->addWidget(m_line2);
    lines->addWidget(m_line3);
    lines->addSpacing(6);
    lines->addWidget(m_cause);
    lines->addStretch(1);

    m_ok = named(new QPushButton(QStringLiteral("OK"), this), "OK");
    m_okAll = named(new QPushButton(this), "OKalle");
    m_ok->setDefault(true);
    m_okAll->setAutoDefault(false);
    m_okAll->hide();
    connect(m_ok, &QPushButton::clicked, this, &QDialog::accept);
    connect(m_okAll, &QPushButton::clicked, this, [this] {
        m_acknowledgedAll = true;
        accept();
    });

    Sprache();
}

void Tsm_meldung::Sprache()
{
    applyCatalogTexts(this, QStringLiteral("sm_meldung"));
    // The buttons sit at the bottom right of the text column; "OK for all" is as wide as its text.
    const QRect area = noticeTextArea();
    const int height = 26;
    const int top = kNoticeClientSize.height() - 12 - height;
    const int okWidth = 88;
    const int okAllWidth = std::max(okWidth, m_okAll->sizeHint().width() + 8);
    m_ok->setGeometry(area.right() + 1 - okWidth, top, okWidth, height);
    m_okAll->setGeometry(m_ok->x() - 8 - okAllWidth, top, okAllWidth, height);
}

void Tsm_meldung::meldungzeigen(const QString& id, const QString& parameter, QWidget* over, const QString& cause)
{
    m_okAll->hide();
    m_cause->setText(printableText(cause));
    m_cause->setVisible(!cause.isEmpty());
    if (const auto text = messageText(id)) {
        m_title->setText(text->title);
        m_line1->setText(messageFirstLine(*text, printableText(parameter)));
        QString second = text->line2;
        if (text->showsParameter) {
            // The path is shortened so that it fits together with its quotes.
            const QFontMetrics metrics(m_line2->font());
            const int width = noticeTextArea().width() - metrics.horizontalAdvance(QStringLiteral("\"\""));
            const QString shortened = ShortenPathToWidth(
                printableText(parameter), [&metrics](const QString& s) { return metrics.horizontalAdvance(s); }, width);
            second = messageSecondLine(*text, shortened);
        }
        m_line2->setWordWrap(!text->showsParameter);
        m_line2->setText(second);
        m_line3->setText(text->line3);
        if (text->offersOkForAll)
            m_okAll->show();
    }
    placeOver(this, over);
    m_ok->setFocus();
    exec();
}

} // namespace qp
