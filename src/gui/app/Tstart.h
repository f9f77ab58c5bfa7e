// SPDX-License-Identifier: MIT
#pragma once
// The start window: borderless, centred, with the splash picture of the current language. It is
// the application's main window: closing it ends the program. Its timer shows the main window
// after 2.4 s and hides itself after 3.6 s; a click on the picture does both at once.
#include <QPointer>
#include <QWidget>

class QLabel;
class QTimer;

namespace qp {

class Tstart : public QWidget {
    Q_OBJECT
public:
    // FormCreate: chooses the language from the marker files of `workingDir` and applies it.
    explicit Tstart(const QString& workingDir, QWidget* parent = nullptr);

    // The window the splash leads to.
    void setMainWindow(QWidget* mainWindow) { m_mainWindow = mainWindow; }

    // Applies the current language: the English picture lies on top of the German one and is
    // visible only under English; `spr` shows the language code.
    void sprache();

    // One tick of the 600 ms timer.
    void Timer1Timer();
    // A click on either picture: main window shown, start window hidden, timer stopped.
    void Image1Click();

    QTimer* timer() const { return m_timer; }
    int ticks() const { return m_ticks; }
    QLabel* germanPicture() const { return m_image1; }
    QLabel* englishPicture() const { return m_en1; }
    QString languageLabel() const;

signals:
    // The start window was closed: the program ends.
    void programEnd();

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void showMainWindow();

    QLabel* m_image1;
    QLabel* m_en1;
    QLabel* m_spr;
    QTimer* m_timer;
    int m_ticks = 0;
    QPointer<QWidget> m_mainWindow;
};

} // namespace qp
