// SPDX-License-Identifier: MIT
#pragma once
// The main window's page "Text": the text box the run writes, the choice between the whole text
// and one image per line, and the counter of the line the caret is on (the line the preview shows
// in per-line mode).
#include "gui/settings/SettingsPage.h"

class QLabel;
class QPlainTextEdit;

namespace qp {

class SettingBinder;
class SettingsModel;

class TextPage : public SettingsPage {
    Q_OBJECT
public:
    TextPage(SettingsModel& settings, SettingBinder& binder);

    QPlainTextEdit* memo() const { return m_memo; }
    QLabel* lineCounter() const { return m_lineCounter; }

    // The text the preview renders now: the whole text, or in per-line mode the line the counter
    // names (the first line when the counter lies past the end).
    QString previewText() const;

    // Replaces the whole text, as a drop does: the caret goes to its start, and the counter
    // names the line it is on there.
    void replaceText(const QString& text);

    // The 1-based line of `text` that holds the caret at `caret`.
    static int lineNumberAt(const QString& text, int caret);

    // The note under the text box on characters that the chosen face does not have.
    void updateGlyphNote();

signals:
    // The caret moved to another line by mouse or arrow key: the preview of that line is wanted.
    void caretLineChanged();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void bindSettings(SettingBinder& b);
    void updateLineCounter();
    void applyTextMode();

    SettingsModel& m_settings;
    QPlainTextEdit* m_memo = nullptr;
    QLabel* m_lineCounter = nullptr;
    QLabel* m_glyphNote = nullptr;
};

} // namespace qp
