#pragma once
// Progress window of a run: headings, the shortened path of the current image, a progress bar and
// a cancel button that ends the run after the current image.
#include <QDialog>

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

signals:
    // The cancel button was pressed; the window stays open until the run ends.
    void cancelRequested();
};

} // namespace qp
