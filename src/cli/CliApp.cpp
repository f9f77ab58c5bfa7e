#include "cli/CliApp.h"

#include "app/ProgramFolder.h"
#include "cli/CliOptions.h"
#include "cli/TerminalView.h"
#include "i18n/FormatNames.h"
#include "i18n/Language.h"
#include "settings/Configuration.h"
#include "settings/ConfigurationMenu.h"
#include "settings/IniFile.h"
#include "render/Renderer.h"
#include "run/FileNaming.h"
#include "settings/SettingsModel.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace qp::cli {

namespace {

void listSettings(const SettingsModel& settings, QTextStream& out)
{
    static const char* windows[] = {"prog", "optionen", "optionen_name", "einstshortcuts"};
    for (const SettingDef& d : SettingsModel::definitions()) {
        const QString name = QString::fromLatin1(d.name);
        out << windows[static_cast<int>(d.window)] << '\t' << name << '\t' << settings.text(name) << '\n';
    }
    out.flush();
}

std::optional<QString> readText(const CliOptions& o, CliStreams& s)
{
    if (!o.textFile.isEmpty()) {
        QFile f(o.textFile);
        if (!f.open(QIODevice::ReadOnly)) {
            s.err << QStringLiteral("Cannot read \"%1\": %2").arg(o.textFile, f.errorString()) << Qt::endl;
            return std::nullopt;
        }
        return QString::fromUtf8(f.readAll());
    }
    if (o.textFromStdin) {
        if (!s.in)
            return QString();
        return QString::fromUtf8(s.in->readAll());
    }
    return o.textArguments.join(QLatin1Char('\n'));
}

} // namespace

int runCli(const QStringList& arguments, CliStreams& s)
{
    const ParseResult parsed = parseArguments(arguments);
    if (!parsed.error.isEmpty()) {
        s.err << "quillpress-cli: " << parsed.error << "\n" << "Try 'quillpress-cli --help'." << Qt::endl;
        return 2;
    }
    const CliOptions& o = parsed.options;
    if (o.help) {
        s.out << usageText() << Qt::flush;
        return 0;
    }
    if (o.listFormats) {
        for (const QString& f : SettingsModel::outputFormats())
            s.out << f << '\n';
        s.out.flush();
        return 0;
    }

    Language::chooseStartLanguage(QDir::currentPath());
    if (o.language)
        Language::setCode(*o.language);

    const QString folder = programFolder();
    SettingsModel settings(folder);

    // Loading a configuration ends by bringing the format text into the current language.
    ConfigurationHooks hooks;
    hooks.reapplyLanguage = [&settings] {
        const QString format = settings.text(QStringLiteral("out_format"));
        settings.setText(QStringLiteral("out_format"), formatNameForLanguage(format, Language::code()));
    };
    QStringList configs = o.configs;
    if (configs.isEmpty() && !o.noStartConfig && QFileInfo(startConfigurationPath(folder)).isFile())
        configs << startConfigurationPath(folder);
    for (const QString& config : configs) {
        // A configuration the tool was told to use must really be read: the loader itself treats
        // a missing or unreadable file as empty, which would go on silently with other settings.
        const QFileInfo info(config);
        if (!info.isFile() || !info.isReadable()) {
            s.err << "quillpress-cli: "
                  << (info.isFile() ? QStringLiteral("Configuration file \"%1\" cannot be read")
                                    : QStringLiteral("Configuration file \"%1\" not found"))
                         .arg(config)
                  << Qt::endl;
            return 2;
        }
        KonfigurationLaden(settings, ConfigurationCaller::StartWindow, config, hooks);
    }

    for (const auto& [name, value] : o.settings) {
        if (!settings.setFromString(name, value)) {
            s.err << "quillpress-cli: " << QStringLiteral("Invalid value \"%1\" for %2").arg(value, name)
                  << Qt::endl;
            return 2;
        }
        // A face given by name is used as the font list would select it.
        if (name == QLatin1String("label2"))
            settings.setFontListSelected(settings.selectFontEntryForLabel());
    }
    if (!o.saveConfig.isEmpty()) {
        try {
            KonfigurationSpeichern(settings, o.saveConfig);
        } catch (const std::exception& e) {
            s.err << "quillpress-cli: " << QString::fromStdString(e.what()) << Qt::endl;
            return 1;
        }
    }
    if (o.listSettings) {
        listSettings(settings, s.out);
        return 0;
    }

    const bool hasText = !o.textArguments.isEmpty() || o.textFromStdin || !o.textFile.isEmpty();
    if (!hasText) {
        if (!o.saveConfig.isEmpty())
            return 0; // only saving a configuration
        s.err << "quillpress-cli: no text given (use \"\" for an empty image)\n"
              << "Try 'quillpress-cli --help'." << Qt::endl;
        return 2;
    }
    const auto text = readText(o, s);
    if (!text)
        return 1;

    TerminalView view(s.out, s.err, s.errIsTerminal && !o.quiet);
    GenerationRun run(settings, view);
    try {
        const RunResult result = run.run(*text);
        if (!result.started || result.failed > 0)
            return 1;
        return 0;
    } catch (const std::exception& e) {
        s.err << "quillpress-cli: " << QString::fromStdString(e.what()) << Qt::endl;
        return 1;
    }
}

} // namespace qp::cli
