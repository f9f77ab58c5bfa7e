// SPDX-License-Identifier: MIT
#include "cli/CliApp.h"

#include "cli/CliOptions.h"
#include "cli/TerminalView.h"
#include "core/app/BoundedRead.h"
#include "core/app/ProgramFolder.h"
#include "core/app/Version.h"
#include "core/i18n/Catalog.h"
#include "core/i18n/FormatNames.h"
#include "core/i18n/Language.h"
#include "core/output/EncoderOptions.h"
#include "core/render/FontFaces.h"
#include "core/render/GlyphCoverage.h"
#include "core/render/Renderer.h"
#include "core/run/FileNaming.h"
#include "core/run/GenerationRun.h"
#include "core/settings/Configuration.h"
#include "core/settings/ConfigurationMenu.h"
#include "core/settings/IniFile.h"
#include "core/settings/IntegerTest.h"
#include "core/settings/SettingsModel.h"
#include "core/shell/ShellBackend.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace qp::cli {

namespace {

void listSettings(const SettingsModel& settings, QTextStream& out)
{
    // The later settings (section "QP") have their controls on the main window's pages.
    static const char* windows[] = {"prog", "optionen", "optionen_name", "einstshortcuts", "prog"};
    for (const SettingDef& d : SettingsModel::definitions()) {
        out << windows[static_cast<int>(d.window)] << '\t' << d.name << '\t' << settings.text(d.key) << '\n';
    }
    out.flush();
}

// The numbers the tool takes for its numeric settings. The window's fields let a user type any
// number and fall back to a default for one they cannot use; a command line gets told instead.
// (The quality has the run's own check and message.)
struct SettingRange {
    Setting key;
    qint32 lowest;
    qint32 highest;
};
constexpr qint32 kLargestSide = qint32(kMaxImageSide);
constexpr SettingRange kSettingRanges[] = {
    {Setting::FSize, 1, 12288},
    {Setting::abs_h, 1, kLargestSide},
    {Setting::abs_b, 1, kLargestSide},
    {Setting::abs_bmax, 1, kLargestSide},
    {Setting::abs_u, -10000, 10000},
    {Setting::abs_o, -10000, 10000},
    {Setting::abs_l, -10000, 10000},
    {Setting::abs_r, -10000, 10000},
    {Setting::abs_z, -10000, 10000},
    {Setting::ed_num, 0, 999999999},
    {Setting::ed_max, 1, 1000},
};

// Nothing when `value` is a whole number in the setting's range (or the setting has none); else
// the message that names the setting and its range.
std::optional<QString> outOfRange(Setting key, const QString& value)
{
    for (const SettingRange& range : kSettingRanges) {
        if (range.key != key)
            continue;
        const auto number = toInteger(value);
        if (number && *number >= range.lowest && *number <= range.highest)
            return std::nullopt;
        return tr2(QStringLiteral("Ung\u00FCltiger Wert \"%1\" f\u00FCr %2: erlaubt ist eine ganze Zahl von %3 bis %4"),
                   QStringLiteral("Invalid value \"%1\" for %2: a whole number from %3 to %4 is allowed"))
            .arg(value, SettingsModel::nameOf(key))
            .arg(range.lowest)
            .arg(range.highest);
    }
    return std::nullopt;
}

void reportError(CliStreams& s, const QString& message)
{
    s.err << "quillpress-cli: " << message << Qt::endl;
}

// The text of a file or of standard input. Its closing line break ends its last line, so in
// whole-text mode exactly one is dropped (per-line mode already ignores it).
std::optional<QString> readText(const CliOptions& o, CliStreams& s, bool perLine)
{
    // Read in steps up to a limit: an endless source (a device, a pipe that never ends) stops
    // the tool with a message instead of taking all memory.
    BoundedRead read;
    QString source;
    if (!o.textFile.isEmpty()) {
        source = o.textFile;
        read = readStream(o.textFile, kMaxTextBytes);
    } else if (o.textFromStdin) {
        source = tr2(QStringLiteral("Standardeingabe"), QStringLiteral("standard input"));
        if (s.in)
            read = readStream(*s.in, kMaxTextBytes);
    } else {
        return o.textArguments.join(QLatin1Char('\n'));
    }
    if (read.problem != ReadProblem::None) {
        reportError(s, readProblemText(source, read));
        return std::nullopt;
    }
    QString text = QString::fromUtf8(read.bytes);
    if (!perLine) {
        if (text.endsWith(QLatin1String("\r\n")))
            text.chop(2);
        else if (text.endsWith(QLatin1Char('\n')) || text.endsWith(QLatin1Char('\r')))
            text.chop(1);
    }
    return text;
}

// The placement a loaded file holds, over the one held so far (each value the file has wins; the
// others stay). A file without any placement value changes nothing.
void keepPlacement(std::optional<WindowPlacement>& held, const PlacementFileValues& file)
{
    if (!file.maximized && !file.clientWidth && !file.clientHeight && !file.top && !file.left)
        return;
    WindowPlacement p = held.value_or(WindowPlacement{});
    p.maximized = file.maximized.value_or(p.maximized);
    p.clientWidth = file.clientWidth.value_or(p.clientWidth);
    p.clientHeight = file.clientHeight.value_or(p.clientHeight);
    p.top = file.top.value_or(p.top);
    p.left = file.left.value_or(p.left);
    held = p;
}

// The desktop program beside this tool, which the entries start unless --shell-program names another.
QString desktopProgramBeside()
{
#ifdef Q_OS_WIN
    const QString name = QStringLiteral("quillpress.exe");
#else
    const QString name = QStringLiteral("quillpress");
#endif
    return QDir(QCoreApplication::applicationDirPath()).filePath(name);
}

// Where registration needs administrator rights and the tool runs without them, a request that did
// not end as asked was most likely refused for that reason: say so once.
void explainMissingRights(const ShellBackend& backend, CliStreams& s)
{
    if (backend.registersPerUser() || backend.isAdmin())
        return;
    s.err << "quillpress-cli: "
          << tr2(QStringLiteral("Das Programm wird gerade nicht als Administrator ausgef\u00FChrt; diese \u00C4nderungen "
                                "brauchen Administratorrechte (eine Eingabeaufforderung, die als Administrator "
                                "gestartet wurde)."),
                 QStringLiteral("The program is not running as an Administrator; these changes need administrator "
                                "rights (a command prompt started as an Administrator)."))
          << Qt::endl;
}

// Carries out the shell requests in order; 0 when every group ends in the state asked for.
// Configuration files that go on opening with the program through the entry installed with it
// (the package's) after "Remove" are said as such: registration cannot take that entry away.
int runShellRequests(const CliOptions& o, const SettingsModel& settings, CliStreams& s)
{
    QTextStream& out = s.out;
    const QString program =
        o.shellProgram.isEmpty() ? desktopProgramBeside() : QFileInfo(o.shellProgram).absoluteFilePath();
    const std::unique_ptr<ShellBackend> backend = createShellBackend(program);
    const QStringList extensions = parseChosenExtensions(settings.text(Setting::beldateien));
    int status = 0;
    for (const ShellRequest& request : o.shell) {
        if (request.kind == ShellRequest::Status) {
            for (ShellGroup group : allShellGroups)
                out << shellGroupName(group) << ": "
                    << shortcutStatusDisplay(backend->isActive(group, extensions), Language::code()).text << '\n';
            continue;
        }
        const ShellGroup group = *shellGroupFromName(request.group);
        const bool wanted = request.kind == ShellRequest::Register;
        try {
            if (wanted)
                backend->registerGroup(group, extensions);
            else
                backend->removeGroup(group, extensions);
        } catch (const std::exception& e) {
            // A write the system refused outright (the registry's "all files" entry) ends this
            // request and the ones after it, as it ends the window's button handler.
            out.flush();
            reportError(s, QString::fromStdString(e.what()));
            explainMissingRights(*backend, s);
            return 1;
        }
        const bool active = backend->isActive(group, extensions);
        out << shellGroupName(group) << ": " << shortcutStatusDisplay(active, Language::code()).text << '\n';
        if (active && !wanted && group == ShellGroup::Config) {
            const QString installed = backend->installedConfigurationEntry();
            if (!installed.isEmpty()) {
                out.flush();
                s.err << "quillpress-cli: "
                      << tr2(QStringLiteral("Die Verkn\u00FCpfung mit Konfigurationsdateien stellt das installierte "
                                            "Paket bereit (%1); sie bleibt, solange es installiert ist."),
                             QStringLiteral("The association with configuration files is provided by the installed "
                                            "package (%1); it stays as long as the package is installed."))
                             .arg(installed)
                      << Qt::endl;
                continue;
            }
        }
        if (active != wanted)
            status = 1;
    }
    out.flush();
    if (status != 0)
        explainMissingRights(*backend, s);
    return status;
}

// The language comes first: every message, also one about the arguments, follows it.
void chooseLanguage(const QStringList& arguments)
{
    Language::chooseStartLanguage(QDir::currentPath());
    if (const auto language = languageOption(arguments))
        Language::setCode(*language);
}

// Wrong usage: the message and a pointer to the usage; exit status 2.
int wrongUsage(CliStreams& s, const QString& message)
{
    s.err << "quillpress-cli: " << message << "\n"
          << tr2(QStringLiteral("Siehe 'quillpress-cli --help'."), QStringLiteral("Try 'quillpress-cli --help'."))
          << Qt::endl;
    return 2;
}

// --help, --version and --list-formats (the first of them given) print their text before any
// setting is read; true when one did.
bool printInformation(const CliOptions& o, CliStreams& s)
{
    if (o.help) {
        s.out << usageText() << Qt::flush;
    } else if (o.version) {
        s.out << versionText(QStringLiteral("quillpress-cli")) << Qt::flush;
    } else if (o.listFormats) {
        for (const QString& f : outputFormatsForLanguage(Language::code()))
            s.out << f << '\n';
        s.out.flush();
    } else {
        return false;
    }
    return true;
}

// As in the desktop program, the format text is in the current language: from the start, at the
// end of every configuration load and after the options (a known format name given in the other
// language is shown in this one; any other text stays as it is).
void showFormatInLanguage(SettingsModel& settings)
{
    const QString format = settings.text(Setting::out_format);
    settings.setText(Setting::out_format, formatNameForLanguage(format, Language::code()));
}

// Why a configuration the tool was told to use cannot be loaded; %1 stands for the file.
QString configurationProblemText(ReadProblem problem)
{
    switch (problem) {
    case ReadProblem::Missing:
        return tr2(QStringLiteral("Die Konfigurationsdatei \"%1\" wurde nicht gefunden"),
                   QStringLiteral("Configuration file \"%1\" not found"));
    case ReadProblem::NotAFile:
        return tr2(QStringLiteral("Die Konfigurationsdatei \"%1\" ist keine gew\u00F6hnliche Datei"),
                   QStringLiteral("Configuration file \"%1\" is not a regular file"));
    case ReadProblem::TooLarge:
        return tr2(QStringLiteral("Die Konfigurationsdatei \"%1\" ist gr\u00F6\u00DFer als %2 MiB"),
                   QStringLiteral("Configuration file \"%1\" is larger than %2 MiB"))
            .arg(QStringLiteral("%1"), QString::number(kMaxConfigurationBytes >> 20));
    default:
        return tr2(QStringLiteral("Die Konfigurationsdatei \"%1\" kann nicht gelesen werden"),
                   QStringLiteral("Configuration file \"%1\" cannot be read"));
    }
}

// Loads the --config files in order, or else the start configuration of `folder` unless
// --no-start-config says so, keeping the window placement they hold in `placement` (the tool has
// no window: it writes the placement back when it saves a configuration). False, after the
// message, when a file cannot be read.
bool loadConfigurations(const CliOptions& o, const QString& folder, SettingsModel& settings,
                        std::optional<WindowPlacement>& placement, CliStreams& s)
{
    ConfigurationHooks hooks;
    hooks.reapplyLanguage = [&settings] { showFormatInLanguage(settings); };
    hooks.placementLoaded = [&placement](const PlacementFileValues& file) { keepPlacement(placement, file); };
    QStringList configs = o.configs;
    if (configs.isEmpty() && !o.noStartConfig && QFileInfo(startConfigurationPath(folder)).isFile())
        configs << startConfigurationPath(folder);
    for (const QString& config : configs) {
        // A configuration the tool was told to use must really be read: the loader itself treats
        // a missing or unreadable file as empty, which would go on silently with other settings.
        const ReadProblem problem = regularFileProblem(config, kMaxConfigurationBytes);
        if (problem != ReadProblem::None || !QFileInfo(config).isReadable()) {
            reportError(s, configurationProblemText(problem).arg(config));
            return false;
        }
        KonfigurationLaden(settings, ConfigurationCaller::StartWindow, config, hooks);
    }
    return true;
}

// Applies the settings of the options (--set, --output, --format, ...) in order. False, after the
// message, at the first value the setting does not take.
bool applySettingOptions(const CliOptions& o, SettingsModel& settings, CliStreams& s)
{
    for (const auto& [key, value] : o.settings) {
        if (const auto problem = outOfRange(key, value)) {
            reportError(s, *problem);
            return false;
        }
        if (!settings.setFromString(key, value)) {
            reportError(s, tr2(QStringLiteral("Ung\u00FCltiger Wert \"%1\" f\u00FCr %2"),
                               QStringLiteral("Invalid value \"%1\" for %2"))
                               .arg(value, SettingsModel::nameOf(key)));
            return false;
        }
        // A face given by name is used as the font list would select it.
        if (key == Setting::label2)
            settings.setFontListSelected(settings.selectFontEntryForLabel());
    }
    return true;
}

// --save-config, with the placement of the loaded configurations. False, after the message, when
// the configuration could not be saved.
bool saveConfiguration(const CliOptions& o, const SettingsModel& settings,
                       const std::optional<WindowPlacement>& placement, CliStreams& s)
{
    if (o.saveConfig.isEmpty())
        return true;
    ConfigurationHooks hooks;
    if (placement)
        hooks.currentPlacement = [held = *placement] { return held; };
    try {
        KonfigurationSpeichern(settings, o.saveConfig, hooks);
    } catch (const std::exception& e) {
        reportError(s, QString::fromStdString(e.what()));
        return false;
    }
    return true;
}

bool hasText(const CliOptions& o)
{
    return !o.textArguments.isEmpty() || o.textFromStdin || !o.textFile.isEmpty();
}

// What the window says under the text box: the images are drawn in another face than the
// configured one, and which face draws the characters the face does not have (or that none does).
void reportFaceNotes(const SettingsModel& settings, const QString& text, CliStreams& s)
{
    if (const QString drawn = substituteFace(settings); !drawn.isEmpty())
        s.err << "quillpress-cli: "
              << missingFaceNote(settings.text(Setting::label2), drawn, Language::code()) << Qt::endl;
    const QString glyphNote = glyphCoverageNote(glyphCoverage(text, coverageFont(settings)), Language::code());
    for (const QString& line : glyphNote.split(QLatin1Char('\n'), Qt::SkipEmptyParts))
        s.err << "quillpress-cli: " << line << Qt::endl;
}

// "Create and Save" with the text, or with --dry-run the paths it would write; 0 when every
// image was written (or planned).
int createImages(const CliOptions& o, SettingsModel& settings, const QString& text, CliStreams& s)
{
    TerminalView view(s.out, s.err, s.errIsTerminal && !o.quiet);
    GenerationRun run(settings, view);
    try {
        if (o.dryRun)
            return run.plan(text, [&view](const PlannedName& name) { view.printPath(name.path); }) ? 0 : 1;
        const RunResult result = run.run(text);
        if (!result.started || result.failed > 0)
            return 1;
        return 0;
    } catch (const ConversionError&) {
        // The only conversion the run makes before its first image: the quality text.
        reportError(s, tr2(QStringLiteral("'%1' ist kein g\u00FCltiger ganzzahliger Wert"),
                           QStringLiteral("'%1' is not a valid integer value"))
                           .arg(settings.text(Setting::out_quality)));
        return 1;
    } catch (const LineTooLongError&) {
        reportError(s, tr2(QStringLiteral("Eine Zeile des Textes ist l\u00E4nger als %1 Zeichen"),
                           QStringLiteral("A line of the text is longer than %1 characters"))
                           .arg(LineTooLongError::maxLength));
        return 1;
    } catch (const std::exception& e) {
        reportError(s, QString::fromStdString(e.what()));
        return 1;
    }
}

} // namespace

int runCli(const QStringList& arguments, CliStreams& s)
{
    chooseLanguage(arguments);
    const ParseResult parsed = parseArguments(arguments);
    if (!parsed.error.isEmpty())
        return wrongUsage(s, parsed.error);
    const CliOptions& o = parsed.options;
    if (printInformation(o, s))
        return 0;

    // Shell requests (also the status) create no program folder: only a run or a save may need it.
    const ProgramFolders folders = programFolders(o.shell.isEmpty() || !o.saveConfig.isEmpty());
    SettingsModel settings(folders.configFolder, folders.outputFolder);
    showFormatInLanguage(settings);
    std::optional<WindowPlacement> placement;
    if (!loadConfigurations(o, folders.configFolder, settings, placement, s) ||
        !applySettingOptions(o, settings, s))
        return 2;
    showFormatInLanguage(settings);
    if (!saveConfiguration(o, settings, placement, s))
        return 1;
    if (!o.shell.isEmpty())
        return runShellRequests(o, settings, s);
    if (o.listSettings) {
        listSettings(settings, s.out);
        return 0;
    }

    if (!hasText(o)) {
        if (!o.saveConfig.isEmpty())
            return 0; // only saving a configuration
        return wrongUsage(s, tr2(QStringLiteral("kein Text angegeben (\"\" ergibt ein leeres Bild)"),
                                 QStringLiteral("no text given (use \"\" for an empty image)")));
    }
    const auto text = readText(o, s, settings.checked(Setting::txt_line));
    if (!text)
        return 1;
    reportFaceNotes(settings, *text, s);
    return createImages(o, settings, *text, s);
}

} // namespace qp::cli
