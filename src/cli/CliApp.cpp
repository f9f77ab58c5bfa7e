#include "cli/CliApp.h"

#include "app/ProgramFolder.h"
#include "cli/CliOptions.h"
#include "cli/TerminalView.h"
#include "i18n/Language.h"
#include "render/Renderer.h"
#include "run/FileNaming.h"
#include "settings/SettingsModel.h"

#include <QDir>
#include <QFile>

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

    SettingsModel settings(programFolder());
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
    if (o.listSettings) {
        listSettings(settings, s.out);
        return 0;
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
