// SPDX-License-Identifier: MIT
#include "gui/app/ConfigurationCommands.h"

#include "core/i18n/Catalog.h"
#include "core/i18n/Language.h"
#include "core/run/Messages.h"
#include "core/settings/SettingsModel.h"
#include "gui/app/BottomBar.h"
#include "gui/app/MainMenus.h"
#include "gui/app/MainWindowDialogs.h"
#include "gui/app/MainWindowPreview.h"

#include <QAction>
#include <QTimer>

namespace qp {

namespace {

// The catalogue rows of the main window.
const QString kProg = QStringLiteral("prog");
const QString kUndoEntry = QStringLiteral("m_konfig_standard_undo");

} // namespace

ConfigurationCommands::ConfigurationCommands(const SettingsModel& settings, ConfigurationMenu& configurations,
                                             MainMenus& menus, BottomBar& bottomBar,
                                             const MainWindowDialogs& dialogs, MainWindowPreview& preview)
    : m_settings(settings), m_configurations(configurations), m_menus(menus), m_bottomBar(bottomBar),
      m_dialogs(dialogs), m_preview(preview)
{
    connect(&m_settings, &SettingsModel::autoSaveChoiceChanged, this, &ConfigurationCommands::updateAutoSaveChecks);
    connect(&m_bottomBar, &BottomBar::undoResetChosen, this, &ConfigurationCommands::undoResetAllSettings);
    m_undoResetTimer = new QTimer(this);
    m_undoResetTimer->setSingleShot(true);
    m_undoResetTimer->setInterval(15000);
    connect(m_undoResetTimer, &QTimer::timeout, this, [this] {
        m_configurations.forgetStandardConfigurationUndo();
        m_menus.action(kUndoEntry)->setEnabled(false);
        m_bottomBar.hideUndoReset();
    });
    updateAutoSaveChecks();

    // Configuration entries appear in the menu as the logic adds them.
    connect(&m_configurations, &ConfigurationMenu::entryAdded, this,
            [this](const ConfigurationEntry& e) { m_menus.addConfigurationEntry(e.path, e.caption); });
    connect(&m_menus, &MainMenus::entryChosen, this,
            [this](const QString& path) { hold([this, &path] { m_configurations.loadEntry(path); }); });
}

void ConfigurationCommands::hold(const std::function<void()>& load)
{
    m_preview.hold(load);
}

void ConfigurationCommands::KonfigurationSpeichernDialog()
{
    if (!m_dialogs.chooseSaveFile)
        return;
    const QString name = m_dialogs.chooseSaveFile(m_configFileName, m_configFilters);
    if (name.isEmpty())
        return;
    m_configFileName = withConfigurationExtension(name);
    m_configurations.saveWithDialog(name);
}

void ConfigurationCommands::KonfigurationLadenDialog()
{
    if (!m_dialogs.chooseOpenFile)
        return;
    const QString name = m_dialogs.chooseOpenFile(m_configFileName, m_configFilters);
    if (name.isEmpty())
        return;
    m_configFileName = name;
    hold([this, &name] { m_configurations.loadWithDialog(name); });
}

void ConfigurationCommands::m_konfig_startClick()
{
    bool loaded = false;
    hold([this, &loaded] { loaded = m_configurations.loadStartConfiguration(); });
    if (!loaded && m_dialogs.showMessage)
        m_dialogs.showMessage(MessageId::keinestartkonfig, QString());
}

void ConfigurationCommands::resetAllSettings()
{
    hold([this] { m_configurations.loadStandardConfiguration(); });
    // The reset asks nothing; for a while it can be undone.
    m_menus.action(kUndoEntry)->setEnabled(true);
    m_bottomBar.showUndoReset(catalogText(kProg, kUndoEntry, Language::code()));
    m_undoResetTimer->start();
}

void ConfigurationCommands::undoResetAllSettings()
{
    m_undoResetTimer->stop();
    m_menus.action(kUndoEntry)->setEnabled(false);
    m_bottomBar.hideUndoReset();
    hold([this] { m_configurations.undoStandardConfiguration(); });
}

void ConfigurationCommands::chooseAutoSave(ConfigurationMenu::AutoSave choice)
{
    m_configurations.chooseAutoSave(choice);
    updateAutoSaveChecks();
}

void ConfigurationCommands::updateAutoSaveChecks()
{
    m_menus.showAutoSave(m_settings.autoSaveNever(), m_settings.autoSaveAll());
}

void ConfigurationCommands::applyLanguage(const QString& code)
{
    m_configFileName = catalogText(kProg, QStringLiteral("konfig_dateiname"), code);
    m_configFilters = toQtNameFilters(catalogText(kProg, QStringLiteral("konfig_filter"), code));
}

} // namespace qp
