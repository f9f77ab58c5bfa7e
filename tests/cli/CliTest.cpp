#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

struct CliRun {
    int status = -1;
    QString out;
    QString err;
};

class CliTest : public ::testing::Test {
protected:
    CliRun cli(const QStringList& args, const QByteArray& input = {})
    {
        QProcess p;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("QUILLPRESS_HOME", home.path());
        env.insert("QT_QPA_PLATFORM", "offscreen");
        p.setProcessEnvironment(env);
        p.setWorkingDirectory(work.path());
        p.start(QStringLiteral(QP_CLI_PATH), args);
        p.write(input);
        p.closeWriteChannel();
        EXPECT_TRUE(p.waitForFinished(60000));
        return {p.exitCode(), QString::fromUtf8(p.readAllStandardOutput()),
                QString::fromUtf8(p.readAllStandardError())};
    }
    QString output(const QString& name = {}) const { return home.path() + "/output/" + name; }

    QTemporaryDir home;
    QTemporaryDir work;
};

} // namespace

TEST_F(CliTest, DefaultRunWritesNumberedJpegs)
{
    CliRun r = cli({"Hello World"});
    EXPECT_EQ(r.status, 0) << r.err.toStdString();
    EXPECT_EQ(r.out.trimmed(), output("hello_world.jpg"));
    r = cli({"Hello", "World"}); // joined by a line break: one image, two lines
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out.trimmed(), output("hello_world1.jpg"));
    QImage image(output("hello_world.jpg"));
    EXPECT_FALSE(image.isNull());
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
    EXPECT_TRUE(r.err.contains("\"not/absolute\""));
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
