// SPDX-License-Identifier: MIT
#include "core/run/FileNaming.h"
#include "core/run/NumberingMemo.h"
#include "core/settings/SettingsModel.h"
#include "support/SystemPaths.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <random>

using namespace qp;
using qp::test::nativePath;

namespace {

class FileNamingTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        // The folder as the user enters it, and so the paths: in the system's form.
        settings.setText(Setting::out_ordner, nativePath(dir.path()));
        settings.setText(Setting::out_format, "*.png - Portable Network Graphics");
    }
    QString path(const QString& name) const { return nativePath(dir.path() + "/" + name); }
    void touch(const QString& name) const
    {
        QFile f(path(name));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    }
    QString next(const QString& text)
    {
        const QString p = CreateFileName(text, settings);
        QFile f(p);
        EXPECT_TRUE(f.open(QIODevice::WriteOnly)) << p.toStdString();
        return QFileInfo(p).fileName();
    }

    QTemporaryDir dir;
    SettingsModel settings;
};

} // namespace

TEST(ReplaceAll, ScansLeftToRightWithoutRescanning)
{
    EXPECT_EQ(replaceAll("aaa", "aa", "b"), "ba");
    EXPECT_EQ(replaceAll("a.b.c", ".", ".."), "a..b..c");
    EXPECT_EQ(replaceAll("a.b", ".", "."), "a.b");
    EXPECT_EQ(replaceAll("abc", "", "x"), "abc");
    EXPECT_EQ(replaceAll("a b", " ", ""), "ab");
}

TEST(FormatExtension, TakesThePatternBeforeTheDash)
{
    EXPECT_EQ(formatExtension("*.jpg - JPEG-Bild"), ".jpg");
    EXPECT_EQ(formatExtension("*.jpg - JPEG-Image"), ".jpg");
    EXPECT_EQ(formatExtension("*.tiff - Tagged Image File Format"), ".tiff");
    EXPECT_EQ(formatExtension("*.png"), "");
}

TEST_F(FileNamingTest, WorkedExampleAndNumbering)
{
    EXPECT_EQ(automaticName("Top 10: Ideas", settings), "top_____ideas");
    EXPECT_EQ(next("Top 10: Ideas"), "top_____ideas.png");
    EXPECT_EQ(next("Top 10: Ideas"), "top_____ideas1.png");
    EXPECT_EQ(next("Top 10: Ideas"), "top_____ideas2.png");

    settings.setChecked(Setting::cb_numsofort, true);
    settings.setText(Setting::ed_num, "5");
    EXPECT_EQ(next("fresh"), "fresh5.png");
    settings.setChecked(Setting::cb_num, false); // numbering then starts at 1
    EXPECT_EQ(next("other"), "other1.png");
}

TEST_F(FileNamingTest, NumbersPastEverythingThatHoldsTheName)
{
    touch("a.png");
    touch("a1.png");
    EXPECT_EQ(next("a"), "a2.png");
    ASSERT_TRUE(QDir(dir.path()).mkdir("b.png"));
    // A folder holds its name like a file: writing there would fail.
    EXPECT_EQ(QFileInfo(CreateFileName("b", settings)).fileName(), "b1.png");
    // A link blocks its name whatever it points to, even nothing.
    for (const char* target : {"missing", "b.png", "a.png"}) {
        ASSERT_TRUE(QFile::link(path(target), path("c.png")));
        EXPECT_EQ(QFileInfo(CreateFileName("c", settings)).fileName(), "c1.png") << target;
        ASSERT_TRUE(QFile::remove(path("c.png")));
    }
}

TEST_F(FileNamingTest, FixedNameIsUsedVerbatim)
{
    settings.setChecked(Setting::n_eigenen, true);
    settings.setText(Setting::ed_name, "QuillPress");
    settings.setText(Setting::out_format, "*.jpg - JPEG-Bild");
    EXPECT_EQ(next("ignored"), "QuillPress.jpg");
    EXPECT_EQ(next("ignored"), "QuillPress1.jpg");
    EXPECT_EQ(next("ignored"), "QuillPress2.jpg");
}

TEST_F(FileNamingTest, NameOptions)
{
    struct Case {
        const char* text;
        std::function<void(SettingsModel&)> configure;
        const char* name;
    };
    const Case cases[] = {
        {"abcdef", [](SettingsModel& s) { s.setText(Setting::ed_max, "0"); }, ""},
        {"abcdef", [](SettingsModel& s) { s.setText(Setting::ed_max, ""); }, "abcdef"},
        {"abcdef", [](SettingsModel& s) { s.setText(Setting::ed_max, "3"); }, "abc"},
        {"a.b", [](SettingsModel& s) { s.setText(Setting::ed_ersatz, "."); s.setText(Setting::ed_buchst, "ab."); }, "a.b"},
        {"a/b", [](SettingsModel& s) { s.setChecked(Setting::cb_buchst, false); s.setChecked(Setting::cb_ersatz, false); }, "ab"},
        {"a.b", [](SettingsModel& s) { s.setChecked(Setting::cb_buchst, false); s.setChecked(Setting::cb_ersatz, false); }, "ab"},
        {"One\r\nTwo", [](SettingsModel&) {}, "one_two"},
        {"Grüße", [](SettingsModel& s) { s.setChecked(Setting::cb_buchst, false); s.setChecked(Setting::cb_upper, true); }, "GRÜSSE"},
        {"Mixed Case", [](SettingsModel& s) { s.setChecked(Setting::cb_keine, true); }, "Mixed_Case"},
        {"a b", [](SettingsModel& s) { s.setText(Setting::ed_leerzeichen, "--"); }, "a--b"},
        {"a b", [](SettingsModel& s) { s.setChecked(Setting::cb_leerzeichen, false); }, "a b"},
        // A cut never leaves half of a character that takes two units.
        {"a\U0001F600b", [](SettingsModel& s) { s.setChecked(Setting::cb_buchst, false); s.setText(Setting::ed_max, "2"); }, "a"},
        {"a\U0001F600b", [](SettingsModel& s) { s.setChecked(Setting::cb_buchst, false); s.setText(Setting::ed_max, "3"); }, "a\U0001F600"},
        // Control characters go the way of the reserved characters, also when no allowed-character
        // list would catch them; only a CR LF pair is a line break (a space).
        {"a\tb\nc\rd\x7f" "e", [](SettingsModel& s) { s.setChecked(Setting::cb_buchst, false); }, "a_b_c_d_e"},
        {"red\x1b[31mtext", [](SettingsModel& s) { s.setChecked(Setting::cb_buchst, false); }, "red_[31mtext"},
        {"a\r\nb", [](SettingsModel& s) { s.setChecked(Setting::cb_buchst, false); }, "a_b"},
    };
    for (const Case& c : cases) {
        SettingsModel s;
        c.configure(s);
        EXPECT_EQ(automaticName(QString::fromUtf8(c.text), s), QString::fromUtf8(c.name)) << c.text;
    }
}

TEST_F(FileNamingTest, EmptyNamesAndMissingExtension)
{
    // An empty name is numbered at once: a visible "1.png", never the hidden ".png".
    settings.setText(Setting::ed_max, "0");
    EXPECT_EQ(next("x"), "1.png");
    EXPECT_EQ(next("y"), "2.png");
    settings.setText(Setting::ed_num, "5");
    EXPECT_EQ(next("z"), "5.png");
    settings.setText(Setting::out_format, "no dash here");
    EXPECT_EQ(next(""), "5");
    settings.setText(Setting::ed_max, "20");
    EXPECT_EQ(next("plain"), "plain");
}

TEST_F(FileNamingTest, NamesNeverLeaveTheOutputFolder)
{
    // A fixed name or replacement texts carrying separators (possible from a configuration file)
    // stay inside the output folder.
    settings.setChecked(Setting::n_eigenen, true);
    settings.setText(Setting::ed_name, "../../escape");
    const QString fixed = CreateFileName("x", settings);
    EXPECT_EQ(QFileInfo(fixed).absolutePath(), QFileInfo(dir.path()).absoluteFilePath());
    EXPECT_EQ(QFileInfo(fixed).fileName(), ".._.._escape.png");

    // A format text from a configuration file carries the path in its extension part.
    settings.setText(Setting::ed_name, ".");
    settings.setText(Setting::out_format, "*/../../x.png - PNG");
    const QString viaExtension = CreateFileName("x", settings);
    EXPECT_EQ(QFileInfo(viaExtension).absolutePath(), QFileInfo(dir.path()).absoluteFilePath());
    settings.setText(Setting::out_format, "*.png - Portable Network Graphics");

    settings.setChecked(Setting::n_auto, true);
    settings.setText(Setting::ed_ersatz, "/");
    settings.setText(Setting::ed_buchst, "abc./");
    const QString automatic = CreateFileName("a.b", settings);
    EXPECT_EQ(QFileInfo(automatic).absolutePath(), QFileInfo(dir.path()).absoluteFilePath());
}

TEST_F(FileNamingTest, ControlCharactersNeverReachAName)
{
    // From a fixed name, the replacement texts or the format text of a configuration file.
    settings.setChecked(Setting::n_eigenen, true);
    settings.setText(Setting::ed_name, "a\nb\x1b" "c\x7f");
    EXPECT_EQ(QFileInfo(CreateFileName("x", settings)).fileName(), "a_b_c_.png");
    settings.setText(Setting::out_format, "*.p\tng - PNG");
    EXPECT_EQ(QFileInfo(CreateFileName("x", settings)).fileName(), "a_b_c_.p_ng");
    settings.setText(Setting::out_format, "*.png - Portable Network Graphics");
    settings.setChecked(Setting::n_auto, true);
    settings.setChecked(Setting::cb_buchst, false);
    settings.setText(Setting::ed_ersatz, "\r\n");
    settings.setText(Setting::ed_leerzeichen, "\t");
    EXPECT_EQ(QFileInfo(CreateFileName("a.b c", settings)).fileName(), "a_b_c.png");
}

TEST_F(FileNamingTest, CreatesTheOutputFolderWithParents)
{
    settings.setText(Setting::out_ordner, path("deep/er"));
    const QString p = CreateFileName("x", settings);
    EXPECT_TRUE(QFileInfo(dir.path() + "/deep/er").isDir());
    EXPECT_EQ(p, path("deep/er/x.png"));
}

// Within a run the numbering goes on from the lowest number that may still be free; as long as no
// file is deleted that gives exactly the names of probing from the start number, also when another
// program takes names meanwhile, when writes fail and when the options change between images.
TEST_F(FileNamingTest, RunMemoNumbersLikeProbingFromTheStartNumber)
{
    std::mt19937 rng(4242);
    auto chance = [&rng](int percent) { return std::uniform_int_distribution<int>(0, 99)(rng) < percent; };
    auto pick = [&rng](int n) { return std::uniform_int_distribution<int>(0, n - 1)(rng); };
    const QStringList texts{"a", "b", "Bb", "c d", ""};
    NumberingMemo memo;
    for (int i = 0; i < 600; ++i) {
        if (chance(5))
            settings.setChecked(Setting::cb_numsofort, !settings.checked(Setting::cb_numsofort));
        if (chance(5)) {
            settings.setChecked(Setting::cb_num, !settings.checked(Setting::cb_num));
            settings.setText(Setting::ed_num, QString::number(pick(4)));
        }
        const QString text = texts[pick(int(texts.size()))];
        const QString probed = CreateFileName(text, settings);
        const QString remembered = CreateFileName(text, settings, &memo);
        ASSERT_EQ(remembered, probed) << "image " << i;
        // Another program may take the very name the run chose; the run never overwrites it.
        if (chance(10)) {
            touch(QFileInfo(probed).fileName());
            ASSERT_NE(CreateFileName(text, settings, &memo), probed);
            continue;
        }
        // Some writes fail and leave the name free.
        if (!chance(15)) {
            QFile f(remembered);
            ASSERT_TRUE(f.open(QIODevice::NewOnly));
        }
    }
}

// The naming options as plain values, without a settings model: each shaping step on its own.
TEST(NamingSettings, ShapeAnAutomaticNameStepByStep)
{
    struct Case {
        const char* what;
        void (*adjust)(NamingSettings&);
        const char* text;
        const char* name;
    };
    const Case cases[] = {
        {"nothing shapes", [](NamingSettings&) {}, "A b", "A b"},
        {"dots removed", [](NamingSettings&) {}, "a.b", "ab"},
        {"spaces replaced", [](NamingSettings& n) { n.spaceReplacement = "-"; }, "A b c", "A-b-c"},
        {"spaces removed", [](NamingSettings& n) { n.spaceReplacement = ""; }, "A b c", "Abc"},
        {"reserved removed", [](NamingSettings&) {}, "a?b:c", "abc"},
        {"reserved replaced", [](NamingSettings& n) { n.removalReplacement = "+"; }, "a?b:c", "a+b+c"},
        {"line break is a space", [](NamingSettings& n) { n.spaceReplacement = "_"; }, "a\r\nb", "a_b"},
        {"only allowed letters", [](NamingSettings& n) { n.allowed = "ab"; }, "abcab", "abab"},
        {"cut to length", [](NamingSettings& n) { n.maxLength = 3; }, "abcdef", "abc"},
        {"length zero", [](NamingSettings& n) { n.maxLength = 0; }, "abc", ""},
        {"lower case", [](NamingSettings& n) { n.letterCase = LetterCase::Lower; }, "AbC", "abc"},
        {"upper case", [](NamingSettings& n) { n.letterCase = LetterCase::Upper; }, "AbC", "ABC"},
        {"cut after replacing", [](NamingSettings& n) { n.spaceReplacement = "__"; n.maxLength = 3; }, "a b", "a__"},
    };
    for (const Case& c : cases) {
        NamingSettings n;
        n.letterCase = LetterCase::Keep;
        c.adjust(n);
        EXPECT_EQ(automaticName(QString::fromUtf8(c.text), n), QString::fromUtf8(c.name)) << c.what;
    }
}

TEST(NamingSettings, NumberAndExtensionOfThePath)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    NamingSettings n;
    n.folder = nativePath(dir.path());
    n.formatText = "*.tif - Tagged Image File Format";
    n.automatic = false;
    n.fixedName = "fixed";
    EXPECT_EQ(CreateFileName("ignored", n), nativePath(dir.filePath("fixed.tif")));
    n.numberAlways = true;
    n.firstNumber = 7;
    EXPECT_EQ(CreateFileName("ignored", n), nativePath(dir.filePath("fixed7.tif")));
    // An empty name is numbered at once; a separator in the fixed name stays inside the folder.
    n.numberAlways = false;
    n.fixedName = "";
    EXPECT_EQ(CreateFileName("ignored", n), nativePath(dir.filePath("7.tif")));
    n.fixedName = "../up";
    EXPECT_EQ(CreateFileName("ignored", n), nativePath(dir.filePath(".._up.tif")));
}
