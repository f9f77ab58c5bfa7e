// SPDX-License-Identifier: MIT
#include "core/settings/IniFile.h"
#include "support/CliFixture.h"
#include "support/FileSizeLimit.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QImageReader>
#include <QProcess>
#include <QSet>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <functional>
#include <optional>
#ifndef _WIN32
#include <fcntl.h>
#include <unistd.h>
#endif

namespace {

[[maybe_unused]] QByteArray readBytes(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

using qp::testing::CliRun;
using qp::testing::CliSetup;
using qp::test::nativePath;

class CliTest : public qp::testing::CliFixture {};

} // namespace

TEST_F(CliTest, DefaultRunWritesNumberedJpegs)
{
    CliRun r = cli({"Hello World"});
    EXPECT_EQ(r.status, 0) << r.err.toStdString();
    EXPECT_EQ(r.out.trimmed(), output("hello_world.jpg"));
    r = cli({"Hello", "World"}); // joined by a line break: one image, two lines
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out.trimmed(), output("hello_world1.jpg"));
    // Decoded where Qt reads JPEG; the static Windows build has no JPEG reader: there the file's
    // start and end markers are checked (the Linux side decodes what the Windows tool writes).
    if (QImageReader::supportedImageFormats().contains("jpeg")) {
        EXPECT_FALSE(QImage(output("hello_world.jpg")).isNull());
    } else {
        const QByteArray bytes = readBytes(output("hello_world.jpg"));
        EXPECT_TRUE(bytes.startsWith("\xFF\xD8\xFF") && bytes.endsWith("\xFF\xD9")) << bytes.size() << " bytes";
    }
}

TEST_F(CliTest, PerLineFromStandardInputWithFormatAndSettings)
{
    const CliRun r = cli({"--per-line", "--format", "png", "--set", "cb_bold=1", "--set", "rb_drehung_90=1",
                          "--set", "label2=DejaVu Sans", "-"},
                         "Top 10: Ideas\nTop 10: Ideas\n");
    EXPECT_EQ(r.status, 0) << r.err.toStdString();
    EXPECT_EQ(r.out.split('\n', Qt::SkipEmptyParts),
              QStringList({output("top_____ideas.png"), output("top_____ideas1.png")}));
    const QImage image(output("top_____ideas.png"));
    ASSERT_FALSE(image.isNull());
    EXPECT_GT(image.height(), image.width()); // rotated by 90 degrees
}

TEST_F(CliTest, RefusedRunsAndUsageErrorsSetTheExitStatus)
{
    CliRun r = cli({"--output", "not/absolute", "x"});
    EXPECT_EQ(r.status, 1);
    EXPECT_TRUE(r.err.contains("False Folder")) << r.err.toStdString();
    EXPECT_TRUE(r.err.contains("\"" + nativePath("not/absolute") + "\""));
    EXPECT_TRUE(r.out.isEmpty());

    r = cli({"--language", "de", "--set", "out_ordner=", "x"});
    EXPECT_EQ(r.status, 1);
    EXPECT_TRUE(r.err.contains("Kein Ordner angegeben")) << r.err.toStdString();

    r = cli({"--format", "xyz", "x"});
    EXPECT_EQ(r.status, 2);
    r = cli({"--set", "no_such=1", "x"});
    EXPECT_EQ(r.status, 2);
    r = cli({"--set", "cb_bold=maybe", "x"});
    EXPECT_EQ(r.status, 2);
    r = cli({"--bogus"});
    EXPECT_EQ(r.status, 2);
    r = cli({"--help"});
    EXPECT_EQ(r.status, 0);
    EXPECT_TRUE(r.out.contains("--set NAME=VALUE"));
}

TEST_F(CliTest, FailedImagesAreReportedInTheChosenLanguage)
{
    const CliRun r = cli({"--language", "de", "--per-line", "--set", "out_format=*.xyz - Nichts", "-"}, "a\nb\n");
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err.count("Benutzen Sie ein anderes Format."), 2) << r.err.toStdString();
    EXPECT_TRUE(r.out.isEmpty());
}

TEST_F(CliTest, MarkerFileInTheWorkingDirectoryChoosesGerman)
{
    QFile marker(work.path() + "/de");
    ASSERT_TRUE(marker.open(QIODevice::WriteOnly));
    marker.close();
    const CliRun r = cli({"--name", "", "x"});
    EXPECT_EQ(r.status, 1);
    EXPECT_TRUE(r.err.contains("Kein Dateiname angegeben")) << r.err.toStdString();
}

TEST_F(CliTest, TextFileAndFixedName)
{
    QFile f(work.path() + "/in.txt");
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("eins\nzwei\ndrei\n");
    f.close();
    const CliRun r = cli({"--text-file", f.fileName(), "--per-line", "--name", "card", "-f", "bmp"});
    EXPECT_EQ(r.status, 0) << r.err.toStdString();
    EXPECT_EQ(r.out.split('\n', Qt::SkipEmptyParts),
              QStringList({output("card.bmp"), output("card1.bmp"), output("card2.bmp")}));
}

TEST_F(CliTest, SavedConfigurationReproducesTheSameFiles)
{
    const QString config = work.path() + "/look.qpcf";
    CliRun r = cli({"--set", "FSize=31", "--set", "cb_italic=1", "--set", "rb_drehung_270=1", "--set",
                    "act_text_hintergrund=#202020", "--set", "act_text_fontcolor=#F0C000", "-f", "png",
                    "--set", "label2=DejaVu Sans", "--save-config", config});
    ASSERT_EQ(r.status, 0) << r.err.toStdString();
    EXPECT_TRUE(r.out.isEmpty()); // saving alone writes no image

    r = cli({"--config", config, "Same look"});
    ASSERT_EQ(r.status, 0) << r.err.toStdString();
    r = cli({"--no-start-config", "--set", "FSize=31", "--set", "cb_italic=1", "--set", "rb_drehung_270=1", "--set",
             "act_text_hintergrund=#202020", "--set", "act_text_fontcolor=#F0C000", "-f", "png", "--set",
             "label2=DejaVu Sans", "Same look"});
    ASSERT_EQ(r.status, 0) << r.err.toStdString();
    const QImage a(output("same_look.png"));
    const QImage b(output("same_look1.png"));
    ASSERT_FALSE(a.isNull());
    EXPECT_EQ(a, b);

    // As start configuration it is loaded without --config, unless --no-start-config says so.
    ASSERT_TRUE(QFile::copy(config, home.path() + "/Auto.qpcf"));
    r = cli({"--list-settings"});
    EXPECT_TRUE(r.out.contains("prog\tFSize\t31")) << r.out.toStdString();
    r = cli({"--no-start-config", "--list-settings"});
    EXPECT_TRUE(r.out.contains("prog\tFSize\t20"));
    r = cli({"--config", work.path() + "/missing.qpcf", "x"});
    EXPECT_EQ(r.status, 2);
    // A folder in place of the start configuration is no configuration.
    ASSERT_TRUE(QFile::remove(home.path() + "/Auto.qpcf"));
    ASSERT_TRUE(QDir(home.path()).mkdir("Auto.qpcf"));
    r = cli({"--list-settings"});
    EXPECT_EQ(r.status, 0) << r.err.toStdString();
    r = cli({});
    EXPECT_EQ(r.status, 2);
}

TEST_F(CliTest, WritesEveryFormatOfTheList)
{
    const CliRun list = cli({"--list-formats"});
    const QStringList formats = list.out.split('\n', Qt::SkipEmptyParts);
    ASSERT_EQ(formats.size(), 28);
    for (const QString& entry : formats) {
        const QString ext = entry.section(" - ", 0, 0).remove('*');
        const CliRun r = cli({"--set", "out_format=" + entry, "Format check"});
        EXPECT_EQ(r.status, 0) << ext.toStdString() << ": " << r.err.toStdString();
        EXPECT_EQ(r.out.trimmed(), output("format_check" + ext));
        EXPECT_GT(QFileInfo(output("format_check" + ext)).size(), 0) << ext.toStdString();
    }
}

#ifndef _WIN32 // a file-size limit makes the save fail part way
TEST_F(CliTest, ASaveThatFailsPartWayKeepsTheOldConfigurationAndFails)
{
    const QString config = work.path() + "/keep.qpcf";
    CliRun r = cli({"--save-config", config});
    ASSERT_EQ(r.status, 0) << r.err.toStdString();
    const QByteArray old = readBytes(config);
    ASSERT_GT(old.size(), 1024);

    // A real file-size limit: writes past 512 bytes fail as on a full disk.
    const CliSetup limited{[] { qp::test::limitFileSize(512); }, {}, {}, {}};
    r = cli({"--set", "ed_name=changed", "--save-config", config}, {}, limited);
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "quillpress-cli: Unable to write to " + config + "\n");
    EXPECT_EQ(readBytes(config), old);
    EXPECT_EQ(QDir(work.path()).entryList(QDir::Files | QDir::Hidden), QStringList("keep.qpcf"));
}
#endif

#ifndef _WIN32 // /dev/full
TEST_F(CliTest, StandardOutputThatCannotBeWrittenFailsTheRun)
{
    const CliSetup full{{}, QStringLiteral("/dev/full"), {}, {}};
    for (const QStringList& args : {QStringList{"x"}, QStringList{"--list-formats"}, QStringList{"--help"}}) {
        const CliRun r = cli(args, {}, full);
        EXPECT_EQ(r.status, 1) << args.join(' ').toStdString();
        EXPECT_TRUE(r.err.startsWith("quillpress-cli: Cannot write to standard output: ")) << r.err.toStdString();
    }
    EXPECT_TRUE(QFile::exists(output("x.jpg"))); // the image itself was written
}
#endif

TEST_F(CliTest, ClosingLineBreakOfAFileOrStandardInputEndsTheLastLine)
{
    QFile f(work.path() + "/in.txt");
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("two\r\nlines\r\n");
    f.close();
    struct Case {
        QStringList args;
        QByteArray input;
        QStringList sameAs; // the text as arguments
    };
    const Case cases[] = {
        {{"-"}, "hello\n", {"hello"}},
        {{"--text-file", f.fileName()}, {}, {"two", "lines"}},
        // Only one line break is dropped: the empty line before it stays.
        {{"-"}, "empty\n\n", {"empty", ""}},
    };
    for (const Case& c : cases) {
        CliRun r = cli(QStringList{"-f", "png"} + c.args, c.input);
        ASSERT_EQ(r.status, 0) << r.err.toStdString();
        const QString fromInput = r.out.trimmed();
        r = cli(QStringList{"-f", "png", "--"} + c.sameAs);
        ASSERT_EQ(r.status, 0) << r.err.toStdString();
        // The same text gives the same name, numbered, and the same image.
        const QString fromArguments = r.out.trimmed();
        EXPECT_EQ(fromArguments, QString(fromInput).replace(".png", "1.png"));
        ASSERT_FALSE(QImage(fromInput).isNull()) << fromInput.toStdString();
        EXPECT_EQ(QImage(fromInput), QImage(fromArguments)) << fromInput.toStdString();
    }
    EXPECT_TRUE(QFile::exists(output("hello.png")));
    // Per-line mode keeps its lines as before.
    const CliRun r = cli({"-f", "png", "--per-line", "-"}, "a\n\nb\n");
    EXPECT_EQ(r.out.split('\n', Qt::SkipEmptyParts).size(), 3) << r.out.toStdString();
}

TEST_F(CliTest, FormatNamesFollowTheLanguage)
{
    CliRun r = cli({"--language", "en", "--list-formats"});
    EXPECT_TRUE(r.out.startsWith("*.jpg - JPEG-Image\n")) << r.out.toStdString();
    EXPECT_FALSE(r.out.contains("Bild"));
    r = cli({"--language", "de", "--list-formats"});
    EXPECT_TRUE(r.out.startsWith("*.jpg - JPEG-Bild\n"));
    EXPECT_TRUE(r.out.contains("*.tga - Truevision Targa Bild\n"));

    struct Case {
        QStringList args;
        QString format;
    };
    const Case cases[] = {
        {{"--language", "en"}, "*.jpg - JPEG-Image"},
        {{"--language", "en", "-f", "psd"}, "*.psd - Photoshop Image"},
        {{"--language", "en", "--set", "out_format=*.tga - Truevision Targa Bild"}, "*.tga - Truevision Targa Image"},
        {{"--language", "de", "-f", "jpe"}, "*.jpe - JPEG-Bild"},
        {{"--language", "en", "--set", "out_format=*.png - Hand written"}, "*.png - Hand written"},
    };
    const QString config = work.path() + "/lang.qpcf";
    for (const Case& c : cases) {
        QFile::remove(config);
        r = cli(c.args + QStringList{"--save-config", config});
        ASSERT_EQ(r.status, 0) << r.err.toStdString();
        EXPECT_EQ(qp::IniFile(config).ReadText("PBCB", "out_format", ""), c.format);
    }
}

TEST_F(CliTest, SavingKeepsTheWindowPlacementOfTheLoadedConfigurations)
{
    const QString gui = work.path() + "/gui.qpcf";
    const QString more = work.path() + "/more.qpcf";
    for (const auto& [path, placement] : {std::pair{gui, QString("PF=1\r\nPB=800\r\nPH=600\r\nPT=-8\r\nPL=-9")},
                                          std::pair{more, QString("PH=500")}}) {
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(("[PBED]\r\ned_name=kept\r\n[SP]\r\n" + placement + "\r\n").toUtf8());
    }
    const QString saved = work.path() + "/new.qpcf";
    const CliRun r = cli({"-c", gui, "-c", more, "--save-config", saved});
    ASSERT_EQ(r.status, 0) << r.err.toStdString();
    const qp::IniFile ini(saved);
    EXPECT_EQ(ini.ReadText("PBED", "ed_name", ""), "kept");
    EXPECT_TRUE(ini.ReadFlag("SP", "PF", false));
    EXPECT_EQ(ini.ReadNumber("SP", "PB", 0), 800);
    EXPECT_EQ(ini.ReadNumber("SP", "PH", 0), 500);
    EXPECT_EQ(ini.ReadNumber("SP", "PT", 0), -8);
    EXPECT_EQ(ini.ReadNumber("SP", "PL", 0), -9);
}

TEST_F(CliTest, ALongOutputFolderRoundTripsThroughAConfiguration)
{
    QString folder = work.path();
    while (folder.size() < 3000)
        folder += "/" + QString(250, QLatin1Char('f'));
    folder = nativePath(folder.left(3000));
    const QString config = work.path() + "/long.qpcf";
    CliRun r = cli({"-o", folder, "--save-config", config});
    ASSERT_EQ(r.status, 0) << r.err.toStdString();
    r = cli({"-c", config, "Deep"});
    ASSERT_EQ(r.status, 0) << r.err.toStdString();
    EXPECT_EQ(r.out, nativePath(folder + "/deep.jpg") + "\n");
    EXPECT_TRUE(QFileInfo(folder + "/deep.jpg").isFile());
}

TEST_F(CliTest, TheToolsOwnMessagesFollowTheLanguage)
{
    struct Case {
        QStringList args;
        QByteArray input;
        int status;
        QString german;
        QString english;
    };
    const QString missing = nativePath(work.path() + "/missing");
    const Case cases[] = {
        {{"--text-file", missing}, {}, 1, "\"" + missing + "\" kann nicht gelesen werden: Datei oder Ordner nicht vorhanden",
         "Cannot read \"" + missing + "\": No such file or directory"},
        {{"--set", "cb_bold=maybe", "x"}, {}, 2, "Ung\u00FCltiger Wert \"maybe\" f\u00FCr cb_bold", "Invalid value \"maybe\" for cb_bold"},
        {{"-c", missing, "x"}, {}, 2, "wurde nicht gefunden", "not found"},
        {{"--set", "out_quality=hoch", "x"}, {}, 1, "'hoch' ist kein g\u00FCltiger ganzzahliger Wert", "'hoch' is not a valid integer value"},
        {{"--per-line", "-"}, QByteArray(70000, 'a'), 1, "Eine Zeile des Textes ist l\u00E4nger als 65535 Zeichen", "A line of the text is longer than 65535 characters"},
        {{"--set", "no_such=1", "x"}, {}, 2, "Unbekannte Einstellung \"no_such\"", "Unknown setting \"no_such\""},
        {{"--bogus"}, {}, 2, "Unbekannte Option --bogus\nSiehe 'quillpress-cli --help'.", "Unknown option --bogus\nTry 'quillpress-cli --help'."},
        {{}, {}, 2, "kein Text angegeben", "no text given"},
    };
    for (const Case& c : cases) {
        for (const char* language : {"de", "en"}) {
            // The language option counts wherever it stands, also after the faulty argument.
            const CliRun r = cli(c.args + QStringList{QStringLiteral("--language=%1").arg(language)}, c.input);
            const QString& expected = QByteArray(language) == "de" ? c.german : c.english;
            EXPECT_EQ(r.status, c.status) << language << " " << c.args.join(' ').toStdString();
            EXPECT_TRUE(r.err.startsWith("quillpress-cli: ") && r.err.contains(expected))
                << language << ": " << r.err.toStdString();
        }
    }
}

#ifndef _WIN32 // a pseudo-terminal
TEST_F(CliTest, TheProgressBarNeedsATerminalWithControlSequences)
{
    // Standard error on a pseudo-terminal; the tool draws its bar only where TERM allows.
    for (const QString& term : {QStringLiteral("xterm"), QStringLiteral("dumb"), QString()}) {
        const int master = ::posix_openpt(O_RDWR | O_NOCTTY);
        ASSERT_GE(master, 0);
        ASSERT_EQ(::grantpt(master), 0);
        ASSERT_EQ(::unlockpt(master), 0);
        const std::string slave = ::ptsname(master);
        ::fcntl(master, F_SETFL, O_NONBLOCK);
        const CliSetup onTerminal{[slave] {
                                      const int fd = ::open(slave.c_str(), O_RDWR | O_NOCTTY);
                                      ::dup2(fd, STDERR_FILENO);
                                  },
                                  {},
                                  term,
                                  {}};
        const CliRun r = cli({"--per-line", "-"}, "a\nb\nc\n", onTerminal);
        EXPECT_EQ(r.status, 0);
        QByteArray shown;
        char buffer[4096];
        for (ssize_t n; (n = ::read(master, buffer, sizeof buffer)) > 0;)
            shown.append(buffer, n);
        ::close(master);
        if (term == "xterm")
            EXPECT_TRUE(shown.contains("\x1b[K")) << shown.toStdString();
        else
            EXPECT_EQ(shown, QByteArray()) << term.toStdString();
    }
}
#endif

TEST_F(CliTest, VersionAndMissingFaceWarning)
{
    CliRun r = cli({"--version"});
    EXPECT_EQ(r.status, 0);
    EXPECT_TRUE(r.out.startsWith(QStringLiteral("quillpress-cli " QP_PROJECT_VERSION "\n"))) << r.out.toStdString();

    // A face that is not installed: the run goes on in another face, says so, and keeps the name.
    r = cli({"--set", "label2=No Such Face Qp", "--save-config", work.filePath("kept.qpcf"), "-q", "x"});
    EXPECT_EQ(r.status, 0) << r.err.toStdString();
    EXPECT_TRUE(r.err.contains(QStringLiteral("No Such Face Qp is not installed: drawn in "))) << r.err.toStdString();
    r = cli({"--config", work.filePath("kept.qpcf"), "--language", "de", "-q", "y"});
    EXPECT_TRUE(r.err.contains(QStringLiteral("No Such Face Qp ist nicht installiert: gezeichnet in ")))
        << r.err.toStdString();

    // The default face Tahoma is drawn as itself where the compatibility fonts are installed.
    if (QFile::exists(QStringLiteral("/usr/share/wine/fonts/tahoma.ttf"))) {
        r = cli({"-q", "z"});
        EXPECT_EQ(r.status, 0);
        EXPECT_FALSE(r.err.contains(QStringLiteral("Tahoma"))) << r.err.toStdString();
    }
}

// A dry run prints what the run right after it writes, and writes nothing itself.
TEST_F(CliTest, DryRunPrintsThePathsTheRunWrites)
{
    struct Case {
        const char* name;
        QStringList args;
    };
    const QList<Case> cases = {
        {"automatic names", {"--per-line", "-f", "png"}},
        {"fixed name", {"--per-line", "-f", "png", "--name", "a"}},
        {"numbered always", {"--per-line", "-f", "png", "--set", "cb_numsofort=1", "--set", "cb_num=1",
                             "--set", "ed_num=7"}},
    };
    const QByteArray text = "a\n\nb\na\n\na\nb\n";
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        QTemporaryDir dir;
        const QString folder = nativePath(dir.path() + "/out");
        const QStringList args = QStringList{"-o", folder} + c.args + QStringList{"-"};
        // Into a folder that does not exist yet: the dry run does not make it.
        CliRun dry = cli(QStringList{"--dry-run"} + args, text);
        EXPECT_EQ(dry.status, 0) << dry.err.toStdString();
        EXPECT_FALSE(QFileInfo::exists(folder));
        // Into a folder where some names are taken.
        QDir().mkpath(folder);
        for (const char* taken : {"a.png", "a2.png", "1.png", "a8.png", "b1.png"})
            QFile(folder + "/" + taken).open(QIODevice::WriteOnly);
        const QStringList before = QDir(folder).entryList(QDir::AllEntries | QDir::NoDotAndDotDot);
        dry = cli(QStringList{"--dry-run"} + args, text);
        EXPECT_EQ(dry.status, 0) << dry.err.toStdString();
        EXPECT_EQ(QDir(folder).entryList(QDir::AllEntries | QDir::NoDotAndDotDot), before);
        const QStringList planned = dry.out.split('\n', Qt::SkipEmptyParts);
        EXPECT_EQ(planned.size(), 7);
        EXPECT_EQ(planned.size(), QSet<QString>(planned.begin(), planned.end()).size());

        const CliRun real = cli(args, text);
        EXPECT_EQ(real.status, 0) << real.err.toStdString();
        EXPECT_EQ(real.out.split('\n', Qt::SkipEmptyParts).join('\n').toStdString(), planned.join('\n').toStdString());
    }
    // A run that would be refused is refused by its dry run too, with the same message.
    const CliRun refused = cli({"--dry-run", "-o", "relative/folder", "x"});
    EXPECT_EQ(refused.status, 1);
    EXPECT_TRUE(refused.out.isEmpty());
    EXPECT_EQ(refused.err, cli({"-o", "relative/folder", "x"}).err);
}
