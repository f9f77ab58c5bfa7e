// SPDX-License-Identifier: MIT
#pragma once
// The main window: the text box with its line counter, the preview, the four settings pages
// (Text, Font and Format, Margins and Spaces, Save), the bottom bar with the link, "Next >>" and
// "Create and Save", and the menus File, Settings, Configuration and Help.
#include "gui/app/ClientArea.h"
#include "gui/app/MainWindowDialogs.h"
#include "gui/app/MainWindowPlacement.h"

#include <QMainWindow>
#include <QPointer>
#include <QStringList>

#include <functional>
#include <memory>

class QAction;
class QLabel;
class QMenu;
class QPlainTextEdit;
class QTabWidget;
class QTimer;

namespace qp {

class ConfigurationCommands;
class ConfigurationMenu;
class FontListBox;
class MainMenus;
class MainWindowDrops;
class MainWindowHandOff;
class MainWindowPreview;
class MainWindowRun;
class PreviewBox;
class SettingBinder;
class SettingsModel;
class Teinstshortcuts;
class Toptionen;
class Toptionen_name;
class Tsm_bearbeitung;
class Tsm_meldung;
class Tstart;
class TOneInstanceCheck;

class Tprog : public QMainWindow {
    Q_OBJECT
public:
    // The windows created after the main window, known to it once they exist.
    struct Windows {
        Tsm_bearbeitung* sm_bearbeitung = nullptr;
        Tsm_meldung* sm_meldung = nullptr;
        Teinstshortcuts* einstshortcuts = nullptr;
        Toptionen* optionen = nullptr;
        Toptionen_name* optionen_name = nullptr;
        QWidget* hilfe = nullptr;
        QWidget* hilfe_en = nullptr;
        QWidget* bugreport_de = nullptr;
        QWidget* bugreport_en = nullptr;
    };

    // The dialogs the window opens; tests replace them so that nothing blocks.
    using Dialogs = MainWindowDialogs;

    // FormCreate. `arguments` are the command-line arguments after the program path; they are
    // read when the window is first shown.
    Tprog(SettingsModel& settings, Tstart& start, const QStringList& arguments,
          QWidget* parent = nullptr);
    ~Tprog() override;

    void setWindows(const Windows& windows);
    Dialogs& dialogs() { return m_dialogs; }

    // The preview: renders the whole text, or in per-line mode the line the counter names, and
    // shows it in the preview box.
    void Vorschau();
    // The text the preview renders now.
    QString previewText() const;
    // The step button: the next settings page, after the last the first.
    void weiterClick();
    // "Create and Save".
    void durchfuehrenClick();
    // Applies the current language to the main window.
    void SpracheProg();
    // Applies the current language to every window.
    void sprachealles();
    // Switches the language and applies it everywhere.
    void setLanguage(const QString& code);
    // One tick of the 10 s link timer.
    void Timer1Timer();
    void laspendenClick();
    // The File menu's exit: closes the start window directly, without the auto-save.
    void m_datei_beendenClick();
    // Shows a message by identifier.
    void meldungzeigen(const QString& id, const QString& parameter = QString());
    // Configuration files handed over by a second start of the program (the first entry is the
    // program path), each loaded like a command-line argument. While the splash still shows, the
    // main window is shown first, so that the start configuration comes before the handed files.
    void HandleNewInstance(const QStringList& params);
    // The single-instance component that raises HandleNewInstance.
    TOneInstanceCheck& instanceCheck() const;

    // The 1-based line of `text` that holds the caret at `caret`.
    static int lineNumberAt(const QString& text, int caret);

    SettingsModel& settings() const { return m_settings; }
    ConfigurationMenu& configurationMenu() const { return *m_configMenu; }
    SettingBinder& binder() const { return *m_binder; }
    QPlainTextEdit* memo() const;
    QLabel* lineCounter() const;
    PreviewBox* previewBox() const { return m_area.preview; }
    QTabWidget* pages() const { return m_area.pages; }
    FontListBox* fontList() const;
    QLabel* linkLabel() const;
    // The summary of the last run, shown in the bottom bar in place of the link for a while.
    QLabel* runSummaryLabel() const;
    QTimer* runSummaryTimer() const;
    // The link's full caption (the label shortens it when it lacks room).
    QString linkCaptionText() const;
    int linkCounter() const;
    QTimer* linkTimer() const;
    // Runs while the undo of the last reset is offered.
    QTimer* undoResetTimer() const;
    QMenu* configMenu() const;
    // The configuration entries appended to the Configuration menu.
    QList<QAction*> configurationEntryActions() const;
    QLabel* pipetteNote() const;
    // The note beside the face name when the configured face is not installed.
    QLabel* faceNote() const;
    // A menu entry by its control name (m_datei_konvert, m_konfig_load, ...).
    QAction* action(const QString& name) const;
    // The client area (below the menu bar).
    QSize clientSize() const { return m_placement->clientSize(); }
    void setClientSize(const QSize& size) { m_placement->setClientSize(size); }
    // The placement a configuration saves, and the one a loaded configuration sets; a window
    // that would lie off every screen comes back onto one.
    WindowPlacement placement() const { return m_placement->placement(); }
    void applyPlacement(const PlacementChange& change) { m_placement->apply(change); }
    // The available areas of the screens, the primary first.
    static QList<QRect> screenAreas() { return MainWindowPlacement::screenAreas(); }
    // Whether the next activation maximises the window.
    bool maximizesAtActivation() const { return m_placement->maximizesAtActivation(); }

protected:
    bool event(QEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    // Dropped configuration files load like the load dialog's choice; one text file or dragged
    // text becomes the text; anything else is refused (the cursor shows it before the drop).
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    // The steps of FormCreate.
    void connectMenus();
    void buildClientArea();
    void installDialogs();
    void makeParts();
    void connectConfigurationMenu();
    // The text, the output folder and the face name the window starts with, then its language.
    void setStartValues();
    void placeAtStart();
    void acceptDropsEverywhere();

    void FormShow();
    // Runs a configuration load with the preview held: the settings' redraw requests are
    // gathered and the preview is drawn once when the load is complete.
    void holdPreview(const std::function<void()>& load);
    void fitPages();
    void showWindow(QWidget* window);
    // Help -> About: the version, the licence and the program's folders, in the current language.
    void showAbout();

    SettingsModel& m_settings;
    QPointer<Tstart> m_start;
    QStringList m_arguments;
    Windows m_windows;
    Dialogs m_dialogs;
    std::unique_ptr<ConfigurationMenu> m_configMenu;
    // The window's parts, each after those it refers to, so that it is destroyed before them.
    std::unique_ptr<MainWindowPlacement> m_placement;
    std::unique_ptr<MainWindowPreview> m_previewUpdates;
    std::unique_ptr<MainWindowRun> m_run;
    std::unique_ptr<ConfigurationCommands> m_configCommands;
    std::unique_ptr<MainWindowDrops> m_drops;
    std::unique_ptr<MainWindowHandOff> m_handOff;
    SettingBinder* m_binder = nullptr;
    MainMenus* m_menus = nullptr;

    ClientArea m_area;

    bool m_shownOnce = false;
};

} // namespace qp
