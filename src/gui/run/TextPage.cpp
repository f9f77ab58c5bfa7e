// SPDX-License-Identifier: MIT
#include "gui/run/TextPage.h"

#include "core/app/TextLines.h"
#include "core/i18n/Language.h"
#include "core/render/GlyphCoverage.h"
#include "core/settings/SettingsModel.h"
#include "gui/app/Named.h"
#include "gui/settings/SettingBinder.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QPlainTextEdit>
#include <QRadioButton>

namespace qp {

TextPage::TextPage(SettingsModel& settings, SettingBinder& binder)
    : SettingsPage("einst_text", "gb1"), m_settings(settings)
{
    auto* g = new QGridLayout(group());
    g->setVerticalSpacing(4);

    m_memo = named(new QPlainTextEdit, "Memo1");
    m_memo->setTabChangesFocus(true);
    g->addWidget(m_memo, 0, 0, 1, 3);

    auto* txtAll = named(new QRadioButton, Setting::txt_all);
    auto* txtLine = named(new QRadioButton, Setting::txt_line);
    m_lineCounter = label("Label22");
    m_lineCounter->setText(QStringLiteral("1"));
    m_lineCounter->setMinimumWidth(m_lineCounter->fontMetrics().horizontalAdvance(QStringLiteral("00000")));
    g->addWidget(txtAll, 1, 0);
    g->addWidget(label("Label22Caption"), 1, 1, Qt::AlignRight);
    g->addWidget(m_lineCounter, 1, 2);
    g->addWidget(txtLine, 2, 0, 1, 3);
    m_glyphNote = named(new QLabel, "glyph_note");
    m_glyphNote->setTextFormat(Qt::PlainText);
    m_glyphNote->setWordWrap(true);
    m_glyphNote->hide();
    g->addWidget(m_glyphNote, 3, 0, 1, 3);
    g->setColumnStretch(0, 1);
    g->setRowStretch(0, 1);

    bindSettings(binder);

    connect(&m_settings, &SettingsModel::changed, this, [this](Setting name) {
        if (name == Setting::txt_all || name == Setting::txt_line)
            applyTextMode();
        else if (name == Setting::label2 || name == Setting::cb_bold || name == Setting::cb_italic)
            updateGlyphNote();
    });
    // Each character is looked up once per face and style, so the note keeps up with typing.
    connect(m_memo, &QPlainTextEdit::textChanged, this, &TextPage::updateGlyphNote);
    m_memo->installEventFilter(this);
    m_memo->viewport()->installEventFilter(this);
    applyTextMode();
}

void TextPage::bindSettings(SettingBinder& b)
{
    for (const Setting radio : {Setting::txt_all, Setting::txt_line})
        b.bindRadio(radio, qobject_cast<QAbstractButton*>(control(radio)));
}

int TextPage::lineNumberAt(const QString& text, int caret)
{
    return 1 + int(text.left(caret).count(QLatin1Char('\n')));
}

void TextPage::replaceText(const QString& text)
{
    m_memo->setPlainText(text);
    updateLineCounter();
    emit caretLineChanged();
}

void TextPage::updateLineCounter()
{
    const int line = lineNumberAt(m_memo->toPlainText(), m_memo->textCursor().position());
    m_lineCounter->setText(QString::number(line));
}

void TextPage::applyTextMode()
{
    // Whole text: long lines wrap, only a vertical scroll bar. Per line: one text line is one
    // box line, with both scroll bars.
    const bool whole = m_settings.checked(Setting::txt_all);
    m_memo->setLineWrapMode(whole ? QPlainTextEdit::WidgetWidth : QPlainTextEdit::NoWrap);
    m_memo->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    m_memo->setHorizontalScrollBarPolicy(whole ? Qt::ScrollBarAlwaysOff : Qt::ScrollBarAlwaysOn);
}

void TextPage::updateGlyphNote()
{
    const QString note = glyphCoverageNote(glyphCoverage(m_memo->toPlainText(), coverageFont(m_settings)),
                                           Language::code());
    m_glyphNote->setText(note);
    m_glyphNote->setVisible(!note.isEmpty());
}

QString TextPage::previewText() const
{
    const QString text = m_memo->toPlainText();
    if (!m_settings.checked(Setting::txt_line))
        return text;
    const QStringList lines = textLines(text);
    const int idx = m_lineCounter->text().toInt() - 1;
    if (lines.size() < idx)
        return lines.value(0);
    return lines.value(idx);
}

bool TextPage::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_memo->viewport() && event->type() == QEvent::MouseButtonRelease) {
        updateLineCounter();
        emit caretLineChanged();
    } else if (watched == m_memo && event->type() == QEvent::KeyRelease) {
        auto* key = static_cast<QKeyEvent*>(event);
        if (!key->isAutoRepeat()) {
            if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
                updateLineCounter();
            } else if (key->key() == Qt::Key_Up || key->key() == Qt::Key_Down) {
                updateLineCounter();
                emit caretLineChanged();
            }
        }
    }
    return SettingsPage::eventFilter(watched, event);
}

} // namespace qp
