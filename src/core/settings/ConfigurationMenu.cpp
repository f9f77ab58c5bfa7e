// SPDX-License-Identifier: MIT
#include "core/settings/ConfigurationMenu.h"

#include "core/settings/SettingsModel.h"
#include "core/settings/StandardConfiguration.h"

#include <QDir>
#include <QFileInfo>

#include <algorithm>

namespace qp {

namespace {

QString joinPath(const QString& folder, const QString& name)
{
    if (folder.isEmpty() || folder.endsWith(u'/') || folder.endsWith(QDir::separator()))
        return folder + name;
    return folder + QDir::separator() + name;
}

bool isExistingFile(const QString& path)
{
    const QFileInfo info(path);
    return info.exists() && !info.isDir();
}

} // namespace

QString startConfigurationPath(const QString& programFolder)
{
    return joinPath(programFolder, QStringLiteral("Auto.qpcf"));
}

QStringList configurationFilesIn(const QString& folder)
{
    QStringList paths;
    const QDir dir(folder);
    for (const QString& name :
         dir.entryList({QStringLiteral("*.qpcf")}, QDir::Files | QDir::Hidden, QDir::Name))
        paths << joinPath(folder, name);
    return paths;
}

QString argumentExtension(const QString& argument)
{
    const qsizetype dot = argument.lastIndexOf(u'.');
    const qsizetype separator = std::max({argument.lastIndexOf(u'/'), argument.lastIndexOf(u'\\'),
                                          argument.lastIndexOf(u':')});
    if (dot < 0 || dot < separator)
        return {};
    return argument.mid(dot);
}

bool isConfigurationArgument(const QString& argument)
{
    return argumentExtension(argument) == QLatin1String(".qpcf");
}

QString withConfigurationExtension(const QString& name)
{
    if (name.isEmpty() || !argumentExtension(name).isEmpty())
        return name;
    return name + QStringLiteral(".qpcf");
}

QStringList configurationArguments(const QStringList& arguments)
{
    QStringList out;
    for (const QString& a : arguments)
        if (isConfigurationArgument(a))
            out << a;
    return out;
}

ConfigurationMenu::ConfigurationMenu(SettingsModel& settings, const QString& programFolder,
                                     QObject* parent)
    : QObject(parent), m_settings(settings), m_programFolder(programFolder)
{
}

void ConfigurationMenu::setCaptionMetrics(TextWidthFunction textWidth,
                                          std::function<int()> labelWidth)
{
    m_textWidth = std::move(textWidth);
    m_labelWidth = std::move(labelWidth);
}

QString ConfigurationMenu::caption(const QString& path) const
{
    if (!m_textWidth || !m_labelWidth)
        return path;
    return ShortenPathToWidth(path, m_textWidth, 2 * m_labelWidth() + 30);
}

void ConfigurationMenu::startUpStepA()
{
    m_startEntryPath = startConfigurationPath(m_programFolder);
    for (const QString& path : configurationFilesIn(m_programFolder))
        addEntry(path);
}

bool ConfigurationMenu::addEntry(const QString& path)
{
    if (path == m_startEntryPath)
        return false;
    for (const ConfigurationEntry& e : m_entries)
        if (e.path == path)
            return false;
    m_entries.append({path, caption(path)});
    emit entryAdded(m_entries.last());
    return true;
}

bool ConfigurationMenu::loadEntry(const QString& path)
{
    if (!isExistingFile(path))
        return false;
    KonfigurationLaden(m_settings, ConfigurationCaller::Menu, path, m_hooks);
    return true;
}

bool ConfigurationMenu::loadArgument(const QString& argument)
{
    if (!isConfigurationArgument(argument))
        return false;
    const QString path =
        QFileInfo(argument).isRelative() ? QDir::current().absoluteFilePath(argument) : argument;
    KonfigurationLaden(m_settings, ConfigurationCaller::StartWindow, path, m_hooks);
    addEntry(path);
    return true;
}

int ConfigurationMenu::startUpStepB(const QStringList& arguments)
{
    int loaded = 0;
    for (const QString& argument : arguments)
        if (loadArgument(argument))
            ++loaded;
    if (loaded == 0) {
        const QString start = startConfigurationPath(m_programFolder);
        if (isExistingFile(start))
            KonfigurationLaden(m_settings, ConfigurationCaller::StartWindow, start, m_hooks);
    }
    return loaded;
}

void ConfigurationMenu::handOff(const QStringList& params)
{
    for (qsizetype i = 1; i < params.size(); ++i)
        loadArgument(params[i]);
}

QString ConfigurationMenu::saveWithDialog(const QString& name)
{
    if (name.isEmpty())
        return name;
    const QString path = withConfigurationExtension(name);
    KonfigurationSpeichern(m_settings, path, m_hooks);
    addEntry(path);
    return path;
}

void ConfigurationMenu::loadWithDialog(const QString& path)
{
    if (path.isEmpty())
        return;
    KonfigurationLaden(m_settings, ConfigurationCaller::Menu, path, m_hooks);
    addEntry(path);
}

void ConfigurationMenu::saveStartConfiguration()
{
    const QString path = startConfigurationPath(m_programFolder);
    KonfigurationSpeichern(m_settings, path, m_hooks);
    m_startEntryPath = path;
}

bool ConfigurationMenu::loadStartConfiguration()
{
    const QString path = startConfigurationPath(m_programFolder);
    if (!isExistingFile(path))
        return false;
    KonfigurationLaden(m_settings, ConfigurationCaller::Menu, path, m_hooks);
    return true;
}

void ConfigurationMenu::loadStandardConfiguration()
{
    m_beforeReset = takeSettingsSnapshot(m_settings);
    KonfigurationLadenStandard(m_settings);
}

bool ConfigurationMenu::undoStandardConfiguration()
{
    if (!m_beforeReset)
        return false;
    const SettingsSnapshot snapshot = std::move(*m_beforeReset);
    m_beforeReset.reset();
    restoreSettingsSnapshot(m_settings, snapshot, m_hooks);
    return true;
}

void ConfigurationMenu::chooseAutoSave(AutoSave choice)
{
    m_settings.setAutoSaveChoice(choice == AutoSave::Never, choice == AutoSave::All);
}

void ConfigurationMenu::autoSaveOnClose()
{
    if (m_settings.autoSaveAll())
        saveStartConfiguration();
}

} // namespace qp
