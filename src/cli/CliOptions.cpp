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

ParseResult parseArguments(const QStringList& args)
{
    ParseResult r;
    CliOptions& o = r.options;
    bool onlyText = false;
    auto needValue = [&](int& i, const QString& opt, QString& value) -> bool {
        const qsizetype eq = opt.indexOf(QLatin1Char('='));
        if (eq >= 0) {
            value = opt.mid(eq + 1);
            return true;
        }
        if (i + 1 >= args.size()) {
            r.error = tr2(QStringLiteral("Die Option %1 braucht einen Wert"),
                           QStringLiteral("Option %1 needs a value"))
                          .arg(opt);
            return false;
        }
        value = args[++i];
        return true;
    };

    for (int i = 0; i < args.size(); ++i) {
        const QString& a = args[i];
        if (onlyText || a == QLatin1String("-") || !a.startsWith(QLatin1Char('-'))) {
            if (a == QLatin1String("-") && !onlyText)
                o.textFromStdin = true;
            else
                o.textArguments << a;
            continue;
        }
        const QString name = a.section(QLatin1Char('='), 0, 0);
        QString value;
        if (a == QLatin1String("--")) {
            onlyText = true;
        } else if (a == QLatin1String("-h") || a == QLatin1String("--help")) {
            o.help = true;
        } else if (a == QLatin1String("--version")) {
            o.version = true;
        } else if (a == QLatin1String("--list-settings")) {
            o.listSettings = true;
        } else if (a == QLatin1String("--list-formats")) {
            o.listFormats = true;
        } else if (a == QLatin1String("-q") || a == QLatin1String("--quiet")) {
            o.quiet = true;
        } else if (a == QLatin1String("--dry-run")) {
            o.dryRun = true;
        } else if (a == QLatin1String("--no-start-config")) {
            o.noStartConfig = true;
        } else if (name == QLatin1String("--config") || name == QLatin1String("-c")) {
            if (!needValue(i, a, value))
                return r;
            o.configs << value;
        } else if (name == QLatin1String("--save-config")) {
            if (!needValue(i, a, value))
                return r;
            o.saveConfig = value;
        } else if (a == QLatin1String("--shell-status")) {
            o.shell.append(ShellRequest{ShellRequest::Status, {}});
        } else if (name == QLatin1String("--shell-register") || name == QLatin1String("--shell-remove")) {
            if (!needValue(i, a, value))
                return r;
            if (!shellGroupFromName(value)) {
                r.error = QStringLiteral("%1 takes config, sendto, folders, files or types").arg(name);
                return r;
            }
            o.shell.append(ShellRequest{name == QLatin1String("--shell-register") ? ShellRequest::Register : ShellRequest::Remove,
                            value});
        } else if (name == QLatin1String("--shell-program")) {
            if (!needValue(i, a, value))
                return r;
            o.shellProgram = value;
        } else if (a == QLatin1String("--per-line")) {
            o.settings.append({Setting::txt_line, QStringLiteral("1")});
        } else if (a == QLatin1String("--whole-text")) {
            o.settings.append({Setting::txt_all, QStringLiteral("1")});
        } else if (name == QLatin1String("--set") || name == QLatin1String("-s")) {
            if (!needValue(i, a, value))
                return r;
            const qsizetype eq = value.indexOf(QLatin1Char('='));
            if (eq <= 0) {
                r.error = tr2(QStringLiteral("--set erwartet NAME=WERT, nicht \"%1\""),
                              QStringLiteral("--set expects NAME=VALUE, got \"%1\""))
                              .arg(value);
                return r;
            }
            const QString setting = value.left(eq);
            const auto key = SettingsModel::keyOf(setting);
            if (!key) {
                r.error = tr2(QStringLiteral("Unbekannte Einstellung \"%1\" (siehe --list-settings)"),
                              QStringLiteral("Unknown setting \"%1\" (see --list-settings)"))
                              .arg(setting);
                return r;
            }
            o.settings.append({*key, value.mid(eq + 1)});
        } else if (name == QLatin1String("--text-file")) {
            if (!needValue(i, a, value))
                return r;
            o.textFile = value;
        } else if (name == QLatin1String("--language")) {
            if (!needValue(i, a, value))
                return r;
            if (value != QLatin1String("de") && value != QLatin1String("en")) {
                r.error = tr2(QStringLiteral("--language erwartet de oder en"),
                              QStringLiteral("--language takes de or en"));
                return r;
            }
            o.language = value;
        } else if (name == QLatin1String("--output") || name == QLatin1String("-o")) {
            if (!needValue(i, a, value))
                return r;
            o.settings.append({Setting::out_ordner, value});
        } else if (name == QLatin1String("--format") || name == QLatin1String("-f")) {
            if (!needValue(i, a, value))
                return r;
            const auto entry = formatForExtension(value);
            if (!entry) {
                r.error = tr2(QStringLiteral("Unbekanntes Format \"%1\" (siehe --list-formats)"),
                              QStringLiteral("Unknown format \"%1\" (see --list-formats)"))
                              .arg(value);
                return r;
            }
            o.settings.append({Setting::out_format, *entry});
        } else if (name == QLatin1String("--name")) {
            if (!needValue(i, a, value))
                return r;
            o.settings.append({Setting::n_eigenen, QStringLiteral("1")});
            o.settings.append({Setting::ed_name, value});
        } else {
            r.error = tr2(QStringLiteral("Unbekannte Option %1"), QStringLiteral("Unknown option %1")).arg(a);
            return r;
        }
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

// The shell options say where this platform's registration goes.
#ifdef Q_OS_WIN
#define QP_SHELL_OPTIONS_HELP \
    "      --shell-status     print the shell registration of each group and exit\n" \
    "      --shell-register GROUP, --shell-remove GROUP\n" \
    "                         register the program with the Windows shell, or remove it again\n" \
    "                         (repeatable): config (configuration files open with it),\n" \
    "                         sendto (a shortcut in the user's \"Send to\" folder), folders,\n" \
    "                         files (the Explorer context menu of folders, of all files) or\n" \
    "                         types (of the files of the extensions in beldateien, see --set).\n" \
    "                         The entries go below HKEY_CLASSES_ROOT and need administrator\n" \
    "                         rights. Exit status 0 when the status afterwards is the one\n" \
    "                         asked for\n" \
    "      --shell-program FILE  the program the entries start (default: quillpress.exe beside\n" \
    "                         this tool)\n"
#else
#define QP_SHELL_OPTIONS_HELP \
    "      --shell-status     print the desktop registration of each group and exit\n" \
    "      --shell-register GROUP, --shell-remove GROUP\n" \
    "                         register the program with the desktop, or remove it again\n" \
    "                         (repeatable): config (configuration files open with it),\n" \
    "                         sendto (\"Send to\" of the file managers), folders, files (the\n" \
    "                         context menu of folders, of all files) or types (of the files\n" \
    "                         of the extensions in beldateien, see --set). Per user; as root\n" \
    "                         system-wide. Exit status 0 when the status afterwards is the\n" \
    "                         one asked for\n" \
    "      --shell-program FILE  the program the entries start (default: quillpress beside\n" \
    "                         this tool)\n"
#endif

QString usageText()
{
    return QStringLiteral(
        "Usage: quillpress-cli [OPTIONS] [TEXT...]\n"
        "       quillpress-cli [OPTIONS] -            (text from standard input)\n"
        "       quillpress-cli [OPTIONS] --text-file FILE\n"
        "\n"
        "Turns text into image files, exactly as the desktop program's \"Create and Save\" does.\n"
        "Several TEXT arguments are joined by line breaks. Every written path is printed on\n"
        "standard output; messages and progress go to standard error.\n"
        "\n"
        "Options:\n"
        "  -c, --config FILE      load a configuration file (.qpcf; repeatable, in order, before\n"
        "                         any --set). Without --config the start configuration Auto.qpcf\n"
        "                         of the program folder is loaded when it exists.\n"
        "      --no-start-config  do not load Auto.qpcf\n"
        "      --save-config FILE save the settings, after all options are applied, to FILE\n"
        "                         (keeps the window placement of a loaded configuration)\n"
        "  -s, --set NAME=VALUE   set a setting by its control name (repeatable, applied in order).\n"
        "                         Checks and radio buttons take 1 or 0; setting a radio button\n"
        "                         clears the others of its group. Setting label2 selects that font\n"
        "                         when it is installed. See --list-settings.\n"
        "  -o, --output DIR       output folder (out_ordner)\n"
        "  -f, --format EXT       output format by extension, e.g. png, tif, jp2 (out_format)\n"
        "      --per-line         every line becomes an image of its own (txt_line=1);\n"
        "                         \\nl inside a line stands for a line break\n"
        "      --whole-text       the whole text becomes one image (txt_all=1, the default)\n"
        "      --name NAME        fixed file name for all images (n_eigenen=1, ed_name=NAME)\n"
        "      --text-file FILE   read the text from FILE (UTF-8); a closing line break of FILE or\n"
        "                         of standard input ends the last line\n"
        "      --language de|en   language of messages and format names (default: marker files\n"
        "                         de/en in the working directory, else the first set of\n"
        "                         LANGUAGE, LC_ALL, LC_MESSAGES, LANG: German if it is de...)\n"
        "  -q, --quiet            no progress bar (there is none unless standard error is a\n"
        "                         terminal whose TERM is set and not \"dumb\")\n"
        "      --dry-run          print every path the run would write, numbered against what the\n"
        "                         output folder holds now, and write nothing (not even the folder)\n"
        QP_SHELL_OPTIONS_HELP
        "      --list-settings    list every setting with its current value and exit (after\n"
        "                         configurations and --set; with --save-config, saves first)\n"
        "      --list-formats     list the output formats and exit\n"
        "  -h, --help             show this help and exit\n"
        "      --version          show the version and exit\n"
        "  --                     end of options: every further argument is text (e.g. \"-5\")\n"
        "\n"
        "Exit status: 0 every image was written (or every shell request ended as asked); 1 a\n"
        "check refused the run, an image failed, a shell request did not end as asked, the\n"
        "configuration could not be saved or standard output could not be written; 2 wrong usage.\n");
}

#undef QP_SHELL_OPTIONS_HELP

} // namespace qp::cli
