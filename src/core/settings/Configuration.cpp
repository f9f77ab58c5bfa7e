// SPDX-License-Identifier: MIT
#include "core/settings/Configuration.h"

#include "core/settings/IniFile.h"

#include <algorithm>
#include <climits>
#include <iterator>
#include <vector>

namespace qp {

namespace {

// The order in which the windows' settings are written and read.
constexpr SettingWindow windowOrder[] = {SettingWindow::Prog, SettingWindow::EinstShortcuts,
                                         SettingWindow::Optionen, SettingWindow::OptionenName};

const QString placementSection = QStringLiteral("SP");
const QString laterSection = QStringLiteral("QP");
const QString autoSaveSection = QStringLiteral("AS");

bool isFlagKind(SettingKind k)
{
    return k == SettingKind::Check || k == SettingKind::Radio || k == SettingKind::PanelFlag;
}

// Runs `set`; when it left the value as it was, the change rules run all the same.
template <typename Set>
void assign(SettingsModel& settings, Setting key, Set set)
{
    const QString before = settings.text(key);
    set();
    if (settings.text(key) == before)
        settings.runChangeRules(key);
}

bool atDefault(const SettingsModel& settings, const SettingDef& def)
{
    if (isFlagKind(def.kind))
        return settings.checked(def.key) == def.defaultChecked;
    if (def.kind == SettingKind::Position)
        return settings.position(def.key) == def.defaultPosition;
    return settings.text(def.key) == QString::fromUtf8(def.defaultText);
}

void writeSetting(IniFile& ini, const QString& section, const SettingsModel& settings, const SettingDef& def)
{
    const QString name = QString::fromLatin1(def.name);
    if (isFlagKind(def.kind))
        ini.WriteFlag(section, name, settings.checked(def.key));
    else if (def.kind == SettingKind::Position)
        ini.WriteNumber(section, name, settings.position(def.key));
    else
        ini.WriteText(section, name, escapeQuotedEnds(settings.text(def.key)));
}

// Reads one setting with `fallback` as the text of a missing key (a flag's or position's text
// that does not convert keeps `fallback` too).
void readSetting(const IniFile& ini, const QString& section, SettingsModel& settings, const SettingDef& def,
                 bool fallbackChecked, int fallbackPosition, const QString& fallbackText)
{
    const QString name = QString::fromLatin1(def.name);
    if (isFlagKind(def.kind))
        assignChecked(settings, def.key, ini.ReadFlag(section, name, fallbackChecked));
    else if (def.kind == SettingKind::Position)
        assignPosition(settings, def.key, ini.ReadNumber(section, name, fallbackPosition));
    else
        assignText(settings, def.key, ini.ReadText(section, name, fallbackText));
}

} // namespace

QString configurationSection(SettingWindow window, SettingKind kind)
{
    QString prefix;
    switch (window) {
    case SettingWindow::Prog: prefix = QStringLiteral("PB"); break;
    case SettingWindow::EinstShortcuts: prefix = QStringLiteral("ES"); break;
    case SettingWindow::Optionen: prefix = QStringLiteral("OP"); break;
    case SettingWindow::OptionenName: prefix = QStringLiteral("ON"); break;
    case SettingWindow::Qp: return laterSection; // one section for every kind
    }
    switch (kind) {
    case SettingKind::Text: return prefix + QStringLiteral("ED");
    case SettingKind::ChoiceText: return prefix + QStringLiteral("CB");
    case SettingKind::Radio: return prefix + QStringLiteral("RB");
    case SettingKind::Check: return prefix + QStringLiteral("CH");
    case SettingKind::Position: return prefix + QStringLiteral("SB");
    case SettingKind::PanelFlag: return prefix + QStringLiteral("PA");
    }
    return prefix;
}

QString escapeQuotedEnds(const QString& text)
{
    if (text.size() >= 2) {
        for (const QChar quote : {QLatin1Char('\''), QLatin1Char('"')})
            if (text.front() == quote && text.back() == quote)
                return quote + text + quote;
    }
    return text;
}

void assignText(SettingsModel& settings, Setting key, const QString& value)
{
    assign(settings, key, [&] { settings.setText(key, value); });
}

void assignChecked(SettingsModel& settings, Setting key, bool value)
{
    assign(settings, key, [&] { settings.setChecked(key, value); });
}

void assignPosition(SettingsModel& settings, Setting key, int value)
{
    assign(settings, key, [&] { settings.setPosition(key, value); });
}

void KonfigurationSpeichern(const SettingsModel& settings, const QString& path,
                            const ConfigurationHooks& hooks)
{
    IniFile ini(path);
    for (const SettingWindow window : windowOrder)
        for (const SettingDef* def : SettingsModel::definitionsOf(window))
            writeSetting(ini, configurationSection(window, def->kind), settings, *def);
    if (hooks.currentPlacement) {
        const WindowPlacement p = hooks.currentPlacement();
        ini.WriteFlag(placementSection, QStringLiteral("PF"), p.maximized);
        ini.WriteNumber(placementSection, QStringLiteral("PB"), p.clientWidth);
        ini.WriteNumber(placementSection, QStringLiteral("PH"), p.clientHeight);
        ini.WriteNumber(placementSection, QStringLiteral("PT"), p.top);
        ini.WriteNumber(placementSection, QStringLiteral("PL"), p.left);
    }
    ini.WriteFlag(autoSaveSection, QStringLiteral("N"), settings.autoSaveNever());
    ini.WriteFlag(autoSaveSection, QStringLiteral("A"), settings.autoSaveAll());
    // The later settings go to the end, and only when one of them is in use: a file saved with
    // them all at their defaults is the file an earlier version saves. A file that holds the
    // section already gets every value written, so that one set back to its default is stored too.
    const auto later = SettingsModel::definitionsOf(SettingWindow::Qp);
    if (ini.hasSection(laterSection) ||
        !std::ranges::all_of(later, [&](const SettingDef* def) { return atDefault(settings, *def); }))
        for (const SettingDef* def : later)
            writeSetting(ini, configurationSection(SettingWindow::Qp, def->kind), settings, *def);
    ini.Flush();
}

void KonfigurationLaden(SettingsModel& settings, ConfigurationCaller caller, const QString& path,
                        const ConfigurationHooks& hooks)
{
    {
        const IniFile ini(path);
        bool anySection = false;
        for (const SettingWindow window : windowOrder) {
            for (const SettingDef* def : SettingsModel::definitionsOf(window)) {
                const QString section = configurationSection(window, def->kind);
                anySection = anySection || ini.hasSection(section);
                readSetting(ini, section, settings, *def, settings.checked(def->key), settings.position(def->key),
                            settings.text(def->key));
            }
        }
        // The later settings: a configuration without their section, or without one of their
        // keys, was saved with them at their defaults. A file that is no configuration at all
        // changes none of them.
        if (anySection || ini.hasSection(laterSection)) {
            for (const SettingDef* def : SettingsModel::definitionsOf(SettingWindow::Qp))
                readSetting(ini, configurationSection(SettingWindow::Qp, def->kind), settings, *def,
                            def->defaultChecked, def->defaultPosition,
                            QString::fromUtf8(def->defaultText));
        }

        PlacementFileValues file;
        file.maximized = ini.readFlag(placementSection, QStringLiteral("PF"));
        file.clientWidth = ini.readNumber(placementSection, QStringLiteral("PB"));
        file.clientHeight = ini.readNumber(placementSection, QStringLiteral("PH"));
        file.top = ini.readNumber(placementSection, QStringLiteral("PT"));
        file.left = ini.readNumber(placementSection, QStringLiteral("PL"));
        if (hooks.placementLoaded)
            hooks.placementLoaded(file);
        if (hooks.currentPlacement && hooks.applyPlacement) {
            const QSize screen = hooks.screenSize ? hooks.screenSize() : QSize(INT_MAX, INT_MAX);
            hooks.applyPlacement(placementAfterLoad(file, hooks.currentPlacement(), screen, caller));
        }

        settings.setAutoSaveChoice(
            ini.ReadFlag(autoSaveSection, QStringLiteral("N"), settings.autoSaveNever()),
            ini.ReadFlag(autoSaveSection, QStringLiteral("A"), settings.autoSaveAll()));
    }

    settings.selectFontEntryForLabel();
    if (hooks.reapplyLanguage)
        hooks.reapplyLanguage();
    if (hooks.refreshPreview)
        hooks.refreshPreview();
}

SettingsSnapshot takeSettingsSnapshot(const SettingsModel& settings)
{
    SettingsSnapshot snapshot;
    for (const SettingDef& def : SettingsModel::definitions()) {
        if (isFlagKind(def.kind))
            snapshot.values.push_back({def.key, settings.checked(def.key) ? QStringLiteral("1") : QStringLiteral("0")});
        else if (def.kind == SettingKind::Position)
            snapshot.values.push_back({def.key, QString::number(settings.position(def.key))});
        else
            snapshot.values.push_back({def.key, settings.text(def.key)});
    }
    snapshot.autoSaveNever = settings.autoSaveNever();
    snapshot.autoSaveAll = settings.autoSaveAll();
    return snapshot;
}

void restoreSettingsSnapshot(SettingsModel& settings, const SettingsSnapshot& snapshot,
                             const ConfigurationHooks& hooks)
{
    // In the order of a load: the windows in file order, then the later settings.
    std::vector<SettingWindow> order(std::begin(windowOrder), std::end(windowOrder));
    order.push_back(SettingWindow::Qp);
    for (const SettingWindow window : order) {
        for (const SettingDef* def : SettingsModel::definitionsOf(window)) {
            const auto saved = std::find_if(snapshot.values.cbegin(), snapshot.values.cend(),
                                            [def](const auto& value) { return value.first == def->key; });
            if (saved == snapshot.values.cend())
                continue;
            if (isFlagKind(def->kind))
                assignChecked(settings, def->key, saved->second == QLatin1String("1"));
            else if (def->kind == SettingKind::Position)
                assignPosition(settings, def->key, saved->second.toInt());
            else
                assignText(settings, def->key, saved->second);
        }
    }
    settings.setAutoSaveChoice(snapshot.autoSaveNever, snapshot.autoSaveAll);
    settings.selectFontEntryForLabel();
    if (hooks.reapplyLanguage)
        hooks.reapplyLanguage();
    if (hooks.refreshPreview)
        hooks.refreshPreview();
}

} // namespace qp
