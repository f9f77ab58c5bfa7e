// SPDX-License-Identifier: MIT
#pragma once
// The bar at the bottom of the main window: the link to the project's pages, whose caption moves
// on every 10 s, the summary of the last run that takes the link's place for a while, and the
// buttons "Next >>" and "Create and Save".
#include <QString>
#include <QWidget>

class QLabel;
class QPushButton;
class QTimer;

namespace qp {

struct MainWindowDialogs;
struct RunResult;
class SettingsModel;

class BottomBar : public QWidget {
    Q_OBJECT
public:
    // The link and the summary open their pages through `dialogs.openUrl` as it is at the click.
    BottomBar(const SettingsModel& settings, const MainWindowDialogs& dialogs);

    QLabel* linkLabel() const { return m_link; }
    QLabel* runSummaryLabel() const { return m_runSummary; }
    QTimer* runSummaryTimer() const { return m_runSummaryTimer; }
    // The link's full caption (the label shortens it when it lacks room).
    QString linkCaptionText() const { return m_linkCaption; }
    int linkCounter() const { return m_linkCounter; }
    QTimer* linkTimer() const { return m_linkTimer; }
    QPushButton* nextButton() const { return m_weiter; }
    QPushButton* createButton() const { return m_durchfuehren; }

    // One tick of the 10 s link timer.
    void Timer1Timer();
    void laspendenClick();
    // The link's caption for the current page in the current language.
    void updateLinkCaption();
    // Shows the summary of a run in place of the link for 15 s; a click opens its folder.
    void showRunSummary(const RunResult& result);
    // Offers the undo of a reset in place of the link for 15 s; a click emits undoResetChosen. A
    // run's summary that comes later takes its place.
    void showUndoReset(const QString& caption);
    // Takes the offer away (the reset was undone by other means).
    void hideUndoReset();
    bool undoResetShown() const { return m_undoResetShown; }

signals:
    void undoResetChosen();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void showLinkCaption();
    void showNotice(bool undoReset);
    void hideNotice();

    const SettingsModel& m_settings;
    const MainWindowDialogs& m_dialogs;
    QLabel* m_link = nullptr;
    QLabel* m_runSummary = nullptr;
    QTimer* m_runSummaryTimer = nullptr;
    QTimer* m_linkTimer = nullptr;
    QPushButton* m_weiter = nullptr;
    QPushButton* m_durchfuehren = nullptr;
    QString m_linkCaption;
    int m_linkCounter = 0;
    bool m_undoResetShown = false;
};

} // namespace qp
