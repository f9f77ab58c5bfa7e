// SPDX-License-Identifier: MIT
// The option table of quillpress-cli: how the parser reads the arguments through it, and the
// README's option table and the manual page against it.
#include "cli/CliOptions.h"
#include "core/i18n/Language.h"

#include <QFile>
#include <QRegularExpression>
#include <gtest/gtest.h>

namespace {

using qp::Setting;
using qp::cli::parseArguments;

class CliOptionsTest : public ::testing::Test {
protected:
    void SetUp() override { qp::Language::setCode(QStringLiteral("en")); }
};

QString sourceFile(const char* path)
{
    QFile file(QStringLiteral(QP_SOURCE_DIR "/") + QLatin1String(path));
    EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << path;
    return QString::fromUtf8(file.readAll());
}

// The first column of the README's option table, without its code marks: "-c, --config FILE".
QStringList readmeEntries(const QString& readme)
{
    QStringList entries;
    const QStringList lines = readme.section(QStringLiteral("| option | meaning |\n"), 1).split(QLatin1Char('\n'));
    for (const QString& line : lines.mid(1)) { // after the line under the header
        if (!line.startsWith(QLatin1Char('|')))
            break;
        entries << line.section(QStringLiteral(" | "), 0, 0)
                       .mid(2)
                       .remove(QLatin1Char('`'))
                       .replace(QStringLiteral("\\|"), QStringLiteral("|"));
    }
    return entries;
}

// The tags of the manual page's OPTIONS section that name options, without their fonts:
// "\fB\-c\fR, \fB\-\-config\fR \fIFILE\fR" is "-c, --config FILE". (The section's tags of
// settings, such as "\fBcb_fitbox\fR=1", are no options.)
QStringList manPageEntries(const QString& page)
{
    QStringList entries;
    const QString section = page.section(QStringLiteral("\n.SH OPTIONS\n"), 1).section(QStringLiteral("\n.SH "), 0, 0);
    const QStringList lines = section.split(QLatin1Char('\n'));
    for (qsizetype i = 0; i + 1 < lines.size(); ++i) {
        if (lines[i] != QLatin1String(".TP"))
            continue;
        QString tag = lines[i + 1];
        tag.remove(QRegularExpression(QStringLiteral(R"(\\f[BIRP])"))).replace(QStringLiteral("\\-"), QStringLiteral("-"));
        if (tag.startsWith(QLatin1Char('-')))
            entries << tag;
    }
    return entries;
}

QStringList sorted(QStringList list)
{
    list.sort();
    return list;
}

} // namespace

TEST_F(CliOptionsTest, ReadmeAndManualPageListEveryOptionOfTheTable)
{
    const QStringList table = sorted(qp::cli::cliOptionEntries());
    ASSERT_TRUE(table.contains(QStringLiteral("-c, --config FILE")));
    ASSERT_TRUE(table.contains(QStringLiteral("--shell-register GROUP, --shell-remove GROUP")));
    EXPECT_EQ(sorted(readmeEntries(sourceFile("README.md"))), table);
    EXPECT_EQ(sorted(manPageEntries(sourceFile("packaging/man/quillpress-cli.1"))), table);
}

TEST_F(CliOptionsTest, ValuesFollowTheNameOrComeNextAndOptionsAreRecordedInOrder)
{
    const auto parsed = parseArguments({"-c=a.qpcf", "--config", "b.qpcf", "--config=c=d.qpcf", "--per-line", "-o",
                                        "/out", "--name=", "-s", "FSize=31", "--shell-remove=files", "--shell-status",
                                        "-q", "--", "--help", "-"});
    ASSERT_EQ(parsed.error, QString());
    const qp::cli::CliOptions& o = parsed.options;
    EXPECT_EQ(o.configs, QStringList({"a.qpcf", "b.qpcf", "c=d.qpcf"}));
    const QList<QPair<Setting, QString>> settings = {{Setting::txt_line, "1"},   {Setting::out_ordner, "/out"},
                                                     {Setting::n_eigenen, "1"},  {Setting::ed_name, ""},
                                                     {Setting::FSize, "31"}};
    EXPECT_TRUE(o.settings == settings);
    ASSERT_EQ(o.shell.size(), 2);
    EXPECT_EQ(o.shell[0].kind, qp::cli::ShellRequest::Remove);
    EXPECT_EQ(o.shell[0].group, QStringLiteral("files"));
    EXPECT_EQ(o.shell[1].kind, qp::cli::ShellRequest::Status);
    EXPECT_TRUE(o.quiet);
    // After "--" every argument is text, also "-".
    EXPECT_FALSE(o.help);
    EXPECT_FALSE(o.textFromStdin);
    EXPECT_EQ(o.textArguments, QStringList({"--help", "-"}));
}

TEST_F(CliOptionsTest, WrongUsageIsNamed)
{
    struct Case {
        QStringList args;
        QString error;
    };
    const Case cases[] = {
        {{"--quiet=1"}, "Unknown option --quiet=1"},
        {{"--=x"}, "Unknown option --=x"},
        {{"-x"}, "Unknown option -x"},
        {{"--save-config"}, "Option --save-config needs a value"},
        {{"-s"}, "Option -s needs a value"},
        {{"--set", "=1"}, "--set expects NAME=VALUE, got \"=1\""},
        {{"--shell-register", "desk"}, "--shell-register takes config, sendto, folders, files or types"},
        {{"--language=fr"}, "--language takes de or en"},
        {{"-f", "xyz"}, "Unknown format \"xyz\" (see --list-formats)"},
        {{"--text-file", "a.txt", "b"},
         "Give the text either as arguments, as \"-\" (standard input) or with --text-file"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(parseArguments(c.args).error, c.error) << c.args.join(' ').toStdString();
}
