// SPDX-License-Identifier: MIT
#include "cli/CliOptions.h"

#include "core/i18n/FormatNames.h"
#include "core/i18n/Language.h"
#include "core/run/FileNaming.h"
#include "core/settings/SettingsModel.h"
#include "core/shell/ShellGroups.h"

namespace qp::cli {

std::optional<QString> formatForExtension(const QString& ext)
{
    QString wanted = ext.trimmed();
    wanted.remove(QLatin1Char('*'));
    if (!wanted.startsWith(QLatin1Char('.')))
        wanted.prepend(QLatin1Char('.'));
    for (const QString& entry : outputFormatsForLanguage(Language::code()))
        if (formatExtension(entry).compare(wanted, Qt::CaseInsensitive) == 0)
            return entry;
    return std::nullopt;
}

std::optional<QString> languageOption(const QStringList& args)
{
    std::optional<QString> language;
    for (int i = 0; i < args.size(); ++i) {
        const QString& a = args[i];
        if (a == QLatin1String("--"))
            break;
        QString value;
        if (a == QLatin1String("--language") && i + 1 < args.size())
            value = args[++i];
        else if (a.startsWith(QLatin1String("--language=")))
            value = a.mid(a.indexOf(QLatin1Char('=')) + 1);
        if (value == QLatin1String("de") || value == QLatin1String("en"))
            language = value;
    }
    return language;
}

namespace {

// One option of the tool. The parser finds an argument's row by its name (the part before a
// "="); --help lists the rows in the table's order.
struct CliOption {
    const char* shortName; // "-c", or nullptr. "--" (the end of options) stands here too
    const char* longName;  // "--config", or nullptr
    const char* argument;  // the value's name in the usage ("FILE"); nullptr: the option takes none
    // What --help prints beside the names: its lines as printed, without their indentation.
    // nullptr: the row shares the entry and text of the row before it.
    const char* help;
    // Records the option in `options`, with its value (empty for an option without one); returns
    // the usage error, empty when there is none. nullptr: every further argument is text.
    QString (*apply)(CliOptions& options, const QString& value);
};

// What the rows of the table record. Each returns the usage error of its value, or an empty text.

template <bool CliOptions::*flag>
QString setFlag(CliOptions& o, const QString&)
{
    o.*flag = true;
    return {};
}

template <QString CliOptions::*field>
QString setText(CliOptions& o, const QString& value)
{
    o.*field = value;
    return {};
}

// An option that stands for a setting given with its value.
template <Setting key>
QString setSetting(CliOptions& o, const QString& value)
{
    o.settings.append({key, value});
    return {};
}

// An option that switches a check or radio button on.
template <Setting key>
QString switchOn(CliOptions& o, const QString&)
{
    o.settings.append({key, QStringLiteral("1")});
    return {};
}

QString addConfig(CliOptions& o, const QString& file)
{
    o.configs << file;
    return {};
}

// --set NAME=VALUE: any setting by its control name.
QString setNamedSetting(CliOptions& o, const QString& assignment)
{
    const qsizetype eq = assignment.indexOf(QLatin1Char('='));
    if (eq <= 0)
        return tr2(QStringLiteral("--set erwartet NAME=WERT, nicht \"%1\""),
                   QStringLiteral("--set expects NAME=VALUE, got \"%1\""))
            .arg(assignment);
    const QString setting = assignment.left(eq);
    const auto key = SettingsModel::keyOf(setting);
    if (!key)
        return tr2(QStringLiteral("Unbekannte Einstellung \"%1\" (siehe --list-settings)"),
                   QStringLiteral("Unknown setting \"%1\" (see --list-settings)"))
            .arg(setting);
    o.settings.append({*key, assignment.mid(eq + 1)});
    return {};
}

QString setFormat(CliOptions& o, const QString& extension)
{
    const auto entry = formatForExtension(extension);
    if (!entry)
        return tr2(QStringLiteral("Unbekanntes Format \"%1\" (siehe --list-formats)"),
                   QStringLiteral("Unknown format \"%1\" (see --list-formats)"))
            .arg(extension);
    o.settings.append({Setting::out_format, *entry});
    return {};
}

QString setFixedName(CliOptions& o, const QString& name)
{
    o.settings.append({Setting::n_eigenen, QStringLiteral("1")});
    o.settings.append({Setting::ed_name, name});
    return {};
}

QString setLanguage(CliOptions& o, const QString& code)
{
    if (code != QLatin1String("de") && code != QLatin1String("en"))
        return tr2(QStringLiteral("--language erwartet de oder en"), QStringLiteral("--language takes de or en"));
    o.language = code;
    return {};
}

QString addShellStatus(CliOptions& o, const QString&)
{
    o.shell.append(ShellRequest{ShellRequest::Status, {}});
    return {};
}

QString addShellChange(CliOptions& o, ShellRequest::Kind kind, const char* option, const QString& group)
{
    if (!shellGroupFromName(group))
        return QStringLiteral("%1 takes config, sendto, folders, files or types").arg(QLatin1String(option));
    o.shell.append(ShellRequest{kind, group});
    return {};
}

QString addShellRegister(CliOptions& o, const QString& group)
{
    return addShellChange(o, ShellRequest::Register, "--shell-register", group);
}

QString addShellRemove(CliOptions& o, const QString& group)
{
    return addShellChange(o, ShellRequest::Remove, "--shell-remove", group);
}

// The shell options say where this platform's registration goes.
#ifdef Q_OS_WIN
constexpr const char* kShellStatusHelp = "print the shell registration of each group and exit";
constexpr const char* kShellChangeHelp =
    "register the program with the Windows shell, or remove it again\n"
    "(repeatable): config (configuration files open with it),\n"
    "sendto (a shortcut in the user's \"Send to\" folder), folders,\n"
    "files (the Explorer context menu of folders, of all files) or\n"
    "types (of the files of the extensions in beldateien, see --set).\n"
    "The entries go below HKEY_CLASSES_ROOT and need administrator\n"
    "rights. Exit status 0 when the status afterwards is the one\n"
    "asked for";
constexpr const char* kShellProgramHelp =
    "the program the entries start (default: quillpress.exe beside\n"
    "this tool)";
#else
constexpr const char* kShellStatusHelp = "print the desktop registration of each group and exit";
constexpr const char* kShellChangeHelp =
    "register the program with the desktop, or remove it again\n"
    "(repeatable): config (configuration files open with it),\n"
    "sendto (\"Send to\" of the file managers), folders, files (the\n"
    "context menu of folders, of all files) or types (of the files\n"
    "of the extensions in beldateien, see --set). Per user; as root\n"
    "system-wide. Exit status 0 when the status afterwards is the\n"
    "one asked for";
constexpr const char* kShellProgramHelp =
    "the program the entries start (default: quillpress beside\n"
    "this tool)";
#endif

constexpr CliOption kOptions[] = {
    {"-c", "--config", "FILE",
     "load a configuration file (.qpcf; repeatable, in order, before\n"
     "any --set). Without --config the start configuration Auto.qpcf\n"
     "of the program folder is loaded when it exists.",
     addConfig},
    {nullptr, "--no-start-config", nullptr, "do not load Auto.qpcf", setFlag<&CliOptions::noStartConfig>},
    {nullptr, "--save-config", "FILE",
     "save the settings, after all options are applied, to FILE\n"
     "(keeps the window placement of a loaded configuration)",
     setText<&CliOptions::saveConfig>},
    {"-s", "--set", "NAME=VALUE",
     "set a setting by its control name (repeatable, applied in order).\n"
     "Checks and radio buttons take 1 or 0; setting a radio button\n"
     "clears the others of its group. Setting label2 selects that font\n"
     "when it is installed. See --list-settings.",
     setNamedSetting},
    {"-o", "--output", "DIR", "output folder (out_ordner)", setSetting<Setting::out_ordner>},
    {"-f", "--format", "EXT", "output format by extension, e.g. png, tif, jp2 (out_format)", setFormat},
    {nullptr, "--per-line", nullptr,
     "every line becomes an image of its own (txt_line=1);\n"
     "\\nl inside a line stands for a line break",
     switchOn<Setting::txt_line>},
    {nullptr, "--whole-text", nullptr, "the whole text becomes one image (txt_all=1, the default)",
     switchOn<Setting::txt_all>},
    {nullptr, "--name", "NAME", "fixed file name for all images (n_eigenen=1, ed_name=NAME)", setFixedName},
    {nullptr, "--text-file", "FILE",
     "read the text from FILE (UTF-8); a closing line break of FILE or\n"
     "of standard input ends the last line",
     setText<&CliOptions::textFile>},
    {nullptr, "--language", "de|en",
     "language of messages and format names (default: marker files\n"
     "de/en in the working directory, else the first set of\n"
     "LANGUAGE, LC_ALL, LC_MESSAGES, LANG: German if it is de...)",
     setLanguage},
    {"-q", "--quiet", nullptr,
     "no progress bar (there is none unless standard error is a\n"
     "terminal whose TERM is set and not \"dumb\")",
     setFlag<&CliOptions::quiet>},
    {nullptr, "--dry-run", nullptr,
     "print every path the run would write, numbered against what the\n"
     "output folder holds now, and write nothing (not even the folder)",
     setFlag<&CliOptions::dryRun>},
    {nullptr, "--shell-status", nullptr, kShellStatusHelp, addShellStatus},
    {nullptr, "--shell-register", "GROUP", kShellChangeHelp, addShellRegister},
    {nullptr, "--shell-remove", "GROUP", nullptr, addShellRemove},
    {nullptr, "--shell-program", "FILE", kShellProgramHelp, setText<&CliOptions::shellProgram>},
    {nullptr, "--list-settings", nullptr,
     "list every setting with its current value and exit (after\n"
     "configurations and --set; with --save-config, saves first)",
     setFlag<&CliOptions::listSettings>},
    {nullptr, "--list-formats", nullptr, "list the output formats and exit", setFlag<&CliOptions::listFormats>},
    {"-h", "--help", nullptr, "show this help and exit", setFlag<&CliOptions::help>},
    {nullptr, "--version", nullptr, "show the version and exit", setFlag<&CliOptions::version>},
    {"--", nullptr, nullptr, "end of options: every further argument is text (e.g. \"-5\")", nullptr},
};

// The row whose short or long name is `name`.
const CliOption* findOption(const QString& name)
{
    for (const CliOption& option : kOptions)
        if ((option.shortName && name == QLatin1String(option.shortName)) ||
            (option.longName && name == QLatin1String(option.longName)))
            return &option;
    return nullptr;
}

// An entry of the usage: the rows that share one help text.
struct UsageEntry {
    QString names;          // "-c, --config FILE"
    bool hasShortName;      // its first row has a short name: the names begin in the short column
    int rows;
    const char* help;
};

QList<UsageEntry> usageEntries()
{
    QList<UsageEntry> entries;
    for (const CliOption& option : kOptions) {
        QStringList names;
        if (option.shortName)
            names << QLatin1String(option.shortName);
        if (option.longName)
            names << QLatin1String(option.longName);
        QString label = names.join(QLatin1String(", "));
        if (option.argument)
            label += QLatin1Char(' ') + QLatin1String(option.argument);
        if (option.help) {
            entries.append({label, option.shortName != nullptr, 1, option.help});
        } else {
            entries.last().names += QLatin1String(", ") + label;
            ++entries.last().rows;
        }
    }
    return entries;
}

// The column the help texts begin in; the short names begin in column 2, the long ones in 6.
constexpr int kHelpColumn = 25;

// An entry as the usage shows it: its names, then its text beginning at the help column. Names
// that reach the column are followed by two spaces; the names of several options stand on a line
// of their own.
QString usageLines(const UsageEntry& entry)
{
    QString text = QString(entry.hasShortName ? 2 : 6, QLatin1Char(' ')) + entry.names;
    const QString indent(kHelpColumn, QLatin1Char(' '));
    if (entry.rows > 1)
        text += QLatin1Char('\n') + indent;
    else if (text.size() < kHelpColumn)
        text = text.leftJustified(kHelpColumn);
    else
        text += QLatin1String("  ");
    return text + QString::fromUtf8(entry.help).replace(QLatin1Char('\n'), QLatin1Char('\n') + indent) +
           QLatin1Char('\n');
}

} // namespace

QStringList cliOptionEntries()
{
    QStringList names;
    for (const UsageEntry& entry : usageEntries())
        names << entry.names;
    return names;
}

ParseResult parseArguments(const QStringList& args)
{
    ParseResult r;
    CliOptions& o = r.options;
    bool onlyText = false;
    for (int i = 0; i < args.size(); ++i) {
        const QString& a = args[i];
        if (onlyText || a == QLatin1String("-") || !a.startsWith(QLatin1Char('-'))) {
            if (a == QLatin1String("-") && !onlyText)
                o.textFromStdin = true;
            else
                o.textArguments << a;
            continue;
        }
        // An option with a value takes it after "=" or as the next argument; one without a value
        // must stand alone.
        const qsizetype eq = a.indexOf(QLatin1Char('='));
        const CliOption* option = findOption(a.left(eq));
        if (!option || (!option->argument && eq >= 0)) {
            r.error = tr2(QStringLiteral("Unbekannte Option %1"), QStringLiteral("Unknown option %1")).arg(a);
            return r;
        }
        if (!option->apply) {
            onlyText = true;
            continue;
        }
        QString value;
        if (option->argument) {
            if (eq >= 0) {
                value = a.mid(eq + 1);
            } else if (i + 1 < args.size()) {
                value = args[++i];
            } else {
                r.error = tr2(QStringLiteral("Die Option %1 braucht einen Wert"),
                              QStringLiteral("Option %1 needs a value"))
                              .arg(a);
                return r;
            }
        }
        r.error = option->apply(o, value);
        if (!r.error.isEmpty())
            return r;
    }
    const int sources = (o.textArguments.isEmpty() ? 0 : 1) + (o.textFromStdin ? 1 : 0) +
                        (o.textFile.isEmpty() ? 0 : 1);
    if (sources > 1)
        r.error = tr2(QStringLiteral("Geben Sie den Text entweder als Argumente, als \"-\" (Standardeingabe) "
                                     "oder mit --text-file an"),
                      QStringLiteral("Give the text either as arguments, as \"-\" (standard input) or "
                                     "with --text-file"));
    return r;
}

QString usageText()
{
    QString text = QStringLiteral(
        "Usage: quillpress-cli [OPTIONS] [TEXT...]\n"
        "       quillpress-cli [OPTIONS] -            (text from standard input)\n"
        "       quillpress-cli [OPTIONS] --text-file FILE\n"
        "\n"
        "Turns text into image files, exactly as the desktop program's \"Create and Save\" does.\n"
        "Several TEXT arguments are joined by line breaks. Every written path is printed on\n"
        "standard output; messages and progress go to standard error.\n"
        "\n"
        "Options:\n");
    for (const UsageEntry& entry : usageEntries())
        text += usageLines(entry);
    return text + QStringLiteral(
                      "\n"
                      "Exit status: 0 every image was written (or every shell request ended as asked); 1 a\n"
                      "check refused the run, an image failed, a shell request did not end as asked, the\n"
                      "configuration could not be saved or standard output could not be written; 2 wrong usage.\n");
}

} // namespace qp::cli
