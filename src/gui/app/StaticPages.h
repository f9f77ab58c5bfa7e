// SPDX-License-Identifier: MIT
#pragma once
// Help and problem-report windows, one per language, with static pages.
#include <QDialog>

class QTextBrowser;

namespace qp {

// A modeless window showing one fixed HTML page, closed (hidden) by its OK button.
class StaticPageWindow : public QDialog {
    Q_OBJECT
public:
    StaticPageWindow(const QString& title, const QString& html, QWidget* parent = nullptr);
    QString html() const { return m_html; }

private:
    QString m_html;
    QTextBrowser* m_page = nullptr;
};

// The four windows of the program: German and English help, German and English problem report.
StaticPageWindow* createHilfe(QWidget* parent);
StaticPageWindow* createHilfeEn(QWidget* parent);
StaticPageWindow* createBugreportDe(QWidget* parent);
StaticPageWindow* createBugreportEn(QWidget* parent);

} // namespace qp
