// SPDX-License-Identifier: MIT
#include "gui/app/Tprog.h"

#include "core/i18n/Language.h"
#include "core/settings/ConfigurationMenu.h"
#include "core/settings/SettingsModel.h"
#include "gui/app/AboutBox.h"
#include "gui/app/BottomBar.h"
#include "gui/app/ConfigurationCommands.h"
#include "gui/app/ErrorBox.h"
#include "gui/app/MainMenus.h"
#include "gui/app/MainWindowDrops.h"
#include "gui/app/MainWindowHandOff.h"
#include "gui/app/MainWindowPlacement.h"
#include "gui/app/MainWindowPreview.h"
#include "gui/app/MainWindowRun.h"
#include "gui/app/PageHeight.h"
#include "gui/app/ToolkitLanguage.h"
#include "gui/app/Tstart.h"
#include "gui/i18n/CatalogTexts.h"
#include "gui/output/SavePage.h"
#include "gui/output/Toptionen.h"
#include "gui/render/FontListBox.h"
#include "gui/render/FontPage.h"
#include "gui/render/PreviewBox.h"
#include "gui/run/TextPage.h"
#include "gui/run/Toptionen_name.h"
#include "gui/run/Tsm_bearbeitung.h"
#include "gui/run/Tsm_meldung.h"
#include "gui/settings/SettingBinder.h"
#include "gui/shell/Teinstshortcuts.h"

#include <QAction>
#include <QCloseEvent>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QMimeData>
#include <QFontDatabase>
#include <QLabel>
#include <QLayout>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QTabWidget>
#include <QTimer>


namespace qp {

namespace {

const QString kProg = QStringLiteral("prog");

} // namespace

Tprog::Tprog(SettingsModel& settings, Tstart& start, const QStringList& arguments, QWidget* parent)
    : QMainWindow(parent), m_settings(settings), m_start(&start), m_arguments(arguments)
{
    setObjectName(kProg);
    setMinimumSize(590, 450);
    // A window of its own on the desktop, with its own taskbar entry.
    setAttribute(Qt::WA_QuitOnClose, false);

    m_binder = new SettingBinder(m_settings, this);
    m_configMenu = std::make_unique<ConfigurationMenu>(m_settings, m_settings.programFolder());
    m_placement = std::make_unique<MainWindowPlacement>(*this);
    m_menus = new MainMenus(*this);
    connectMenus();
    buildClientArea();
    installDialogs();
    makeParts();
    connectConfigurationMenu();
    setStartValues();
    placeAtStart();
    m_configMenu->startUpStepA();
    m_handOff = std::make_unique<MainWindowHandOff>(*this, [this](const QStringList& params) { HandleNewInstance(params); });
    m_area.pages->setCurrentIndex(0);
    fontList()->fill(QFontDatabase::families());
    acceptDropsEverywhere();
    linkTimer()->start();
}

Tprog::~Tprog() = default;

void Tprog::setWindows(const Windows& windows)
{
    m_windows = windows;
    if (m_windows.sm_bearbeitung && m_windows.sm_meldung)
        m_run->setView(this, *m_windows.sm_bearbeitung, *m_windows.sm_meldung);
}

void Tprog::buildClientArea()
{
    m_area = qp::buildClientArea(m_settings, *m_binder, m_dialogs);
    setCentralWidget(m_area.frame);
    for (const Setting panel : {Setting::Panel1, Setting::Panel2, Setting::Panel5, Setting::Panel12})
        m_binder->bindPanel(panel, findChild<QWidget*>(SettingsModel::nameOf(panel)));
}

void Tprog::installDialogs()
{
    installPlatformDialogs(m_dialogs, this, m_settings);
    m_dialogs.showMessage = [this](const QString& id, const QString& parameter) {
        if (m_windows.sm_meldung)
            m_windows.sm_meldung->meldungzeigen(id, parameter, this);
    };
}

void Tprog::makeParts()
{
    // The preview, the run, the configuration commands and the drops, each with the controls it
    // listens to. The text box tells the preview first, then the names on the Save page.
    m_previewUpdates = std::make_unique<MainWindowPreview>(m_settings, *m_area.preview, *m_area.textPage,
                                                           *m_area.fontPage);
    m_area.savePage->setRunText([this] { return memo()->toPlainText(); });
    connect(memo(), &QPlainTextEdit::textChanged, m_area.savePage, &SavePage::scheduleNamesPreview);
    connect(m_area.savePage, &SavePage::nameOptionsWanted, this, [this] { showWindow(m_windows.optionen_name); });
    connect(m_area.bottomBar->nextButton(), &QPushButton::clicked, this, &Tprog::weiterClick);
    connect(m_area.bottomBar->createButton(), &QPushButton::clicked, this, &Tprog::durchfuehrenClick);
    m_run = std::make_unique<MainWindowRun>(m_settings, *m_area.bottomBar, *m_area.savePage);
    m_configCommands = std::make_unique<ConfigurationCommands>(m_settings, *m_configMenu, *m_menus, *m_area.bottomBar,
                                                               m_dialogs, *m_previewUpdates);
    m_drops = std::make_unique<MainWindowDrops>(*m_configMenu, *m_area.textPage, *m_previewUpdates, *m_run);
}

void Tprog::connectConfigurationMenu()
{
    ConfigurationHooks hooks;
    hooks.currentPlacement = [this] { return placement(); };
    hooks.screenSize = [this] { return screen() ? screen()->geometry().size() : QSize(); };
    hooks.applyPlacement = [this](const PlacementChange& change) { applyPlacement(change); };
    hooks.reapplyLanguage = [this] { sprachealles(); };
    hooks.refreshPreview = [this] {
        m_area.fontPage->selectFontForLabel();
        Vorschau();
    };
    m_configMenu->setHooks(hooks);
    m_configMenu->setCaptionMetrics(
        [this] (const QString& text) { return linkLabel()->fontMetrics().horizontalAdvance(text); },
        [this] { return linkLabel()->width(); });
}

void Tprog::setStartValues()
{
    memo()->setPlainText(QStringLiteral("Quillpress"));
    m_settings.setText(Setting::out_ordner, m_settings.defaultOutputFolder());
    // The face name of the main window's own font, which the settings know as their default.
    m_settings.setText(Setting::label2, QString::fromUtf8(SettingsModel::definition(Setting::label2).defaultText));
    SpracheProg();
}

void Tprog::placeAtStart()
{
    // The pages keep one height whichever is shown; the preview takes what is left. Client area
    // 594 x 646 below the menu bar (whose height is known once it has its captions), centred.
    m_area.pages->setFixedHeight(m_area.pages->sizeHint().height());
    m_area.middle->installEventFilter(this);
    m_placement->placeAtStart();
    centralWidget()->layout()->activate();
}

void Tprog::acceptDropsEverywhere()
{
    // Files and text dropped anywhere on the window, the text box included, go to dropEvent.
    setAcceptDrops(true);
    memo()->setAcceptDrops(false);
    memo()->viewport()->setAcceptDrops(false);
}

void Tprog::connectMenus()
{
    auto on = [this](const char* entry, auto&& handler) {
        connect(m_menus->action(QString::fromLatin1(entry)), &QAction::triggered, this, handler);
    };
    on("m_datei_konvert", [this] { durchfuehrenClick(); });
    on("m_datei_next", [this] { weiterClick(); });
    on("m_bug", [this] { showWindow(Language::isGerman() ? m_windows.bugreport_de : m_windows.bugreport_en); });
    on("m_datei_beenden", [this] { m_datei_beendenClick(); });
    on("m_einst_ausgabe", [this] { showWindow(m_windows.optionen); });
    on("m_einst_name", [this] { showWindow(m_windows.optionen_name); });
    on("m_einstshortcuts", [this] { showWindow(m_windows.einstshortcuts); });
    on("m_einst_sprache_deutsch", [this] { setLanguage(QStringLiteral("de")); });
    on("m_einst_sprache_english", [this] { setLanguage(QStringLiteral("en")); });
    on("m_konfig_save", [this] { m_configCommands->KonfigurationSpeichernDialog(); });
    on("m_konfig_save_start", [this] { m_configMenu->saveStartConfiguration(); });
    on("m_konfig_load", [this] { m_configCommands->KonfigurationLadenDialog(); });
    on("m_konfig_autosave_nie", [this] { m_configCommands->chooseAutoSave(ConfigurationMenu::AutoSave::Never); });
    on("m_konfig_autosave_alles", [this] { m_configCommands->chooseAutoSave(ConfigurationMenu::AutoSave::All); });
    on("m_konfig_standard", [this] { m_configCommands->resetAllSettings(); });
    on("m_konfig_standard_undo", [this] { m_configCommands->undoResetAllSettings(); });
    on("quit", [this] { close(); });
    on("m_konfig_start", [this] { m_configCommands->m_konfig_startClick(); });
    // The help windows and problem reports of a Help menu are those of its language.
    on("m_hilfe_de", [this] { showWindow(m_windows.hilfe); });
    on("m_bug_de", [this] { showWindow(m_windows.bugreport_de); });
    on("m_hilfe_en", [this] { showWindow(m_windows.hilfe_en); });
    on("m_bug_en", [this] { showWindow(m_windows.bugreport_en); });
    on("m_about_de", [this] { showAbout(); });
    on("m_about_en", [this] { showAbout(); });
}

// ---------------------------------------------------------------------------------------------
// The parts of the window

QPlainTextEdit* Tprog::memo() const { return m_area.textPage->memo(); }
QLabel* Tprog::lineCounter() const { return m_area.textPage->lineCounter(); }
FontListBox* Tprog::fontList() const { return m_area.fontPage->fontList(); }
QLabel* Tprog::pipetteNote() const { return m_area.fontPage->pipetteNote(); }
QLabel* Tprog::faceNote() const { return m_area.fontPage->faceNote(); }
QLabel* Tprog::linkLabel() const { return m_area.bottomBar->linkLabel(); }
QLabel* Tprog::runSummaryLabel() const { return m_area.bottomBar->runSummaryLabel(); }
QTimer* Tprog::runSummaryTimer() const { return m_area.bottomBar->runSummaryTimer(); }
QString Tprog::linkCaptionText() const { return m_area.bottomBar->linkCaptionText(); }
int Tprog::linkCounter() const { return m_area.bottomBar->linkCounter(); }
QTimer* Tprog::linkTimer() const { return m_area.bottomBar->linkTimer(); }
QTimer* Tprog::undoResetTimer() const { return m_configCommands->undoResetTimer(); }
QMenu* Tprog::configMenu() const { return m_menus->configMenu(); }
QList<QAction*> Tprog::configurationEntryActions() const { return m_menus->configurationEntryActions(); }
QAction* Tprog::action(const QString& name) const { return m_menus->action(name); }

int Tprog::lineNumberAt(const QString& text, int caret)
{
    return TextPage::lineNumberAt(text, caret);
}

void Tprog::Timer1Timer()
{
    m_area.bottomBar->Timer1Timer();
}

void Tprog::laspendenClick()
{
    m_area.bottomBar->laspendenClick();
}

// ---------------------------------------------------------------------------------------------
// Life cycle

void Tprog::showEvent(QShowEvent* event)
{
    QMainWindow::showEvent(event);
    if (!m_shownOnce) {
        m_shownOnce = true;
        FormShow();
    }
}

void Tprog::FormShow()
{
    {
        // After the configurations (whose placement may change the size), also when one fails, a
        // desktop too small for the window maximises it at its first activation.
        struct DesktopCheck {
            MainWindowPlacement& placement;
            ~DesktopCheck() { placement.maximizeWhenDesktopTooSmall(); }
        } check{*m_placement};
        holdPreview([this] { m_configMenu->startUpStepB(m_arguments); });
    }
    m_placement->stepAwayFromOtherWindows();
}

void Tprog::HandleNewInstance(const QStringList& params)
{
    if (!m_shownOnce && m_start)
        m_start->Image1Click();
    holdPreview([this, &params] { m_configMenu->handOff(params); });
}

TOneInstanceCheck& Tprog::instanceCheck() const
{
    return m_handOff->instanceCheck();
}

void Tprog::holdPreview(const std::function<void()>& load)
{
    m_previewUpdates->hold(load);
}

bool Tprog::event(QEvent* event)
{
    const bool result = QMainWindow::event(event);
    if (event->type() == QEvent::WindowActivate)
        m_placement->activated();
    return result;
}

void Tprog::closeEvent(QCloseEvent* event)
{
    // The window takes no input during a run; a close request from the window system waits too.
    if (m_run->running()) {
        event->ignore();
        return;
    }
    // The auto-save runs first; when it fails the window stays open with its error.
    try {
        m_configMenu->autoSaveOnClose();
    } catch (const std::exception& e) {
        event->ignore();
        showGeneralError(errorMessage(e));
        return;
    }
    event->accept();
    if (m_start)
        m_start->close();
}

void Tprog::m_datei_beendenClick()
{
    if (m_start)
        m_start->close();
}

void Tprog::dragEnterEvent(QDragEnterEvent* event)
{
    if (m_drops->classify(*event->mimeData()).kind != DroppedContent::Kind::Refused)
        event->acceptProposedAction();
}

void Tprog::dragMoveEvent(QDragMoveEvent* event)
{
    event->acceptProposedAction();
}

void Tprog::dropEvent(QDropEvent* event)
{
    const QMimeData* data = event->mimeData();
    const DroppedContent dropped = m_drops->classify(*data);
    if (dropped.kind == DroppedContent::Kind::Refused)
        return;
    event->acceptProposedAction();
    m_drops->take(dropped, *data);
    activateWindow();
}

bool Tprog::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_area.pages->parentWidget() && event->type() == QEvent::Resize)
        fitPages();
    return QMainWindow::eventFilter(watched, event);
}

// ---------------------------------------------------------------------------------------------
// Pages and preview

void Tprog::fitPages()
{
    fitPageHeight(*m_area.pages, *m_area.preview);
}

void Tprog::weiterClick()
{
    m_area.pages->setCurrentIndex((m_area.pages->currentIndex() + 1) % m_area.pages->count());
}

QString Tprog::previewText() const
{
    return m_previewUpdates->text();
}

void Tprog::Vorschau()
{
    m_previewUpdates->request();
}

void Tprog::showAbout()
{
    showWindow(aboutBox(*this, m_settings));
}

void Tprog::showWindow(QWidget* window)
{
    if (!window)
        return;
    window->show();
    window->raise();
    window->activateWindow();
}

// ---------------------------------------------------------------------------------------------
// The run

void Tprog::durchfuehrenClick()
{
    m_run->run(memo()->toPlainText());
}

void Tprog::meldungzeigen(const QString& id, const QString& parameter)
{
    if (m_dialogs.showMessage)
        m_dialogs.showMessage(id, parameter);
}

// ---------------------------------------------------------------------------------------------
// Language

void Tprog::SpracheProg()
{
    const QString code = Language::code();
    applyToolkitLanguage(code);
    applyCatalogTexts(this, kProg);
    m_menus->applyLanguage(Language::isGerman());
    m_configCommands->applyLanguage(code);
    m_area.fontPage->updateFaceNote();
    m_area.textPage->updateGlyphNote();
    m_area.savePage->applyLanguage();
    m_area.bottomBar->updateLinkCaption();
    // Texts of the other language may take more lines.
    if (m_area.pages->isVisible())
        fitPages();
}

void Tprog::sprachealles()
{
    SpracheProg();
    if (m_start)
        m_start->sprache();
    if (m_windows.sm_bearbeitung)
        m_windows.sm_bearbeitung->Sprache();
    if (m_windows.sm_meldung)
        m_windows.sm_meldung->Sprache();
    if (m_windows.einstshortcuts)
        m_windows.einstshortcuts->Sprache();
    if (m_windows.optionen)
        m_windows.optionen->Sprache();
    if (m_windows.optionen_name)
        m_windows.optionen_name->Sprache();
}

void Tprog::setLanguage(const QString& code)
{
    Language::setCode(code);
    sprachealles();
}

} // namespace qp
