// SPDX-License-Identifier: MIT
#pragma once
// Message window: shows one problem by message identifier, modally, in the current language.
// A tool window of fixed size without a close box; only its buttons close it.
#include <QDialog>

class QLabel;
class QPushButton;

namespace qp {

class Tsm_meldung : public QDialog {
    Q_OBJECT
public:
    explicit Tsm_meldung(QWidget* parent = nullptr);
    void Sprache();
    // Fills the lines for `id` (the parameter shortened to the line's width, in double quotes),
    // shows "OK for all" only for the save error, places the window over `over` and shows it
    // modally; returns when the user closed it. An unknown id changes no line. A `cause` (what went
    // wrong with a failed image) is shown below the message's lines; without one that line is hidden.
    void meldungzeigen(const QString& id, const QString& parameter, QWidget* over, const QString& cause = {});
    // Set by "OK for all"; the run clears it at its normal end.
    bool acknowledgedAll() const { return m_acknowledgedAll; }
    void clearAcknowledgedAll() { m_acknowledgedAll = false; }

public slots:
    // Escape and the window manager's close request do not close the window.
    void reject() override {}

private:
    QLabel* m_title = nullptr;
    QLabel* m_line1 = nullptr;
    QLabel* m_line2 = nullptr;
    QLabel* m_line3 = nullptr;
    QLabel* m_cause = nullptr;
    QPushButton* m_ok = nullptr;
    QPushButton* m_okAll = nullptr;
    bool m_acknowledgedAll = false;
};

} // namespace qp
