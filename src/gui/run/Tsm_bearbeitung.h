// SPDX-License-Identifier: MIT
#pragma once
// Progress window of a run: headings, the shortened path of the current image, a progress bar and
// a cancel button that ends the run after the current image. A tool window of fixed size without
// a close box; the run shows and hides it.
#include <QDialog>

class QLabel;
class QProgressBar;
class QPushButton;

namespace qp {

class Tsm_bearbeitung : public QDialog {
    Q_OBJECT
public:
    explicit Tsm_bearbeitung(QWidget* parent = nullptr);
    void Sprache();
    // Position 0, maximum `count`, headings from the shared texts, empty current line; shown
    // without blocking, on top, placed over `over`.
    void startRun(int count, QWidget* over);
    // The current image's path, shortened to the line's width.
    void showCurrent(const QString& path);
    void setPosition(int position);
    void finishRun();

public slots:
    // Escape and the window manager's close request do not close the window.
    void reject() override {}

signals:
    // The cancel button was pressed; the window stays open until the run ends.
    void cancelRequested();

private:
    QLabel* m_heading = nullptr;
    QLabel* m_currentLabel = nullptr;
    QLabel* m_current = nullptr;
    QProgressBar* m_progress = nullptr;
    QPushButton* m_cancel = nullptr;
};

} // namespace qp
