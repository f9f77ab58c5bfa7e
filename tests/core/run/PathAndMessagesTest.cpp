// SPDX-License-Identifier: MIT
#include "core/i18n/Language.h"
#include "core/run/FolderCheck.h"
#include "core/run/Messages.h"
#include "core/run/PathShortening.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <utility>
#include <vector>

using namespace qp;

TEST(FolderCheck, WindowsFormChecksDriveAndLastPart)
{
    struct Case {
        const char* text;
        bool valid;
    };
    const Case cases[] = {
        {"", false},          {"C", false},           {"C:", true},          {"c:", true},
        {"C:\\", true},       {"C:\\out\\", true},    {"C:\\out", true},     {"C:\\a*b\\out", true},
        {"C:\\out*", false},  {"1:\\out", false},     {"\\\\server\\share", false},
        {"C:x", false},       {"C:\\out\\\\", false}, {"CC:\\out", false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(IsValidWindowsFolderPath(QString::fromLatin1(c.text)), c.valid) << c.text;
    // Only the letters A to Z: a dotless i would upper-case to I.
    EXPECT_FALSE(IsValidWindowsFolderPath(QString(QChar(0x131)) + ":\\out"));
}

#ifndef Q_OS_WIN
TEST(FolderCheck, LinuxFormNeedsAnAbsolutePath)
{
    struct Case {
        const char* text;
        bool valid;
    };
    const Case cases[] = {
        {"", false},          {"/", true},           {"/home/me/out", true}, {"/home/me/out/", true},
        {"relative", false},  {"/home/a*b/out", true}, {"/home/out*", false}, {"/home/o:t", false},
        {"//", false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(IsValidFolderPath(QString::fromLatin1(c.text)), c.valid) << c.text;
}
#endif

TEST(ShortenPathToWidth, CutsLeadingFoldersStepByStep)
{
    // One pixel per character makes the widths easy to follow.
    const TextWidthFunction width = [](const QString& s) { return static_cast<int>(s.size()); };
    const QString path = "C:\\Users\\me\\out\\file.png";
    const QStringList expected = {"C:\\Users\\me\\out\\file.png", "C:\\...\\me\\out\\file.png",
                                  "C:\\...\\out\\file.png", "C:\\...\\file.png", "...\\file.png",
                                  "file.png"};
    QStringList seen;
    for (int w = 40; w >= 0; --w) {
        const QString r = ShortenPathToWidth(path, width, w, QLatin1Char('\\'));
        if (seen.isEmpty() || seen.last() != r)
            seen << r;
    }
    EXPECT_EQ(seen, expected);

    EXPECT_EQ(ShortenPathToWidth("/home/me/out/file.png", width, 18, '/'), "/.../out/file.png");
    EXPECT_EQ(ShortenPathToWidth("/home/me/out/file.png", width, 0, '/'), "file.png");
    EXPECT_EQ(ShortenPathToWidth("file.png", width, 1, '/'), "file.png");
}

#ifndef Q_OS_WIN
// The home folder shows as "~", and only as a whole folder name.
TEST(HomeShortened, HomeFolderAsTilde)
{
    const QByteArray saved = qgetenv("HOME");
    qputenv("HOME", "/home/anna");
    EXPECT_EQ(HomeShortened("/home/anna"), "~");
    EXPECT_EQ(HomeShortened("/home/anna/Pictures/out/"), "~/Pictures/out");
    EXPECT_EQ(HomeShortened("/home/anna/../bob/x"), "/home/bob/x");
    EXPECT_EQ(HomeShortened("/home/annabel/x"), "/home/annabel/x");
    EXPECT_EQ(HomeShortened("/tmp/x"), "/tmp/x");
    qputenv("HOME", "/");
    EXPECT_EQ(HomeShortened("/tmp/x"), "/tmp/x");
    qputenv("HOME", saved);
}
#else
// Windows has no "~": paths in the profile folder are shown whole, cleaned, with "\".
TEST(HomeShortened, WindowsShowsPathsWhole)
{
    const QString home = QDir::homePath();
    EXPECT_EQ(HomeShortened(home), QDir::toNativeSeparators(home));
    EXPECT_EQ(HomeShortened(home + "/Pictures/out/"), QDir::toNativeSeparators(home + "/Pictures/out"));
    EXPECT_EQ(HomeShortened("C:/Users/anna/../bob/x"), "C:\\Users\\bob\\x");
}
#endif

TEST(Messages, EveryIdentifierInBothLanguages)
{
    const QString ids[] = {MessageId::keinordner, MessageId::ordnerfalsch, MessageId::keinname,
                           MessageId::keinestartkonfig, MessageId::speicherfehler};
    for (const QString& lang : {QStringLiteral("de"), QStringLiteral("en")}) {
        Language::setCode(lang);
        for (const QString& id : ids) {
            const auto m = messageText(id);
            ASSERT_TRUE(m) << id.toStdString();
            EXPECT_FALSE(m->title.isEmpty());
            EXPECT_FALSE(m->line1.isEmpty());
            EXPECT_FALSE(m->line3.isEmpty());
            EXPECT_EQ(m->showsParameter, m->line2.isEmpty());
            EXPECT_EQ(m->offersOkForAll, id == MessageId::speicherfehler);
        }
    }
    Language::setCode("de");
    EXPECT_EQ(messageText(MessageId::speicherfehler)->title, u"Fehler beim Speichern"_qs);
    EXPECT_EQ(messageSecondLine(*messageText(MessageId::ordnerfalsch), "C:\\x*"), "\"C:\\x*\"");
    Language::setCode("en");
    EXPECT_EQ(messageText(MessageId::keinordner)->line2, "Saving-Options no Folder is declared.");
    EXPECT_FALSE(messageText("Keinordner")); // compared exactly
}

TEST(Language, MarkerFilesChooseTheStartLanguage)
{
    QTemporaryDir dir;
    const QProcessEnvironment none;
    EXPECT_EQ(Language::chooseStartLanguage(dir.path(), none), "en");
    ASSERT_TRUE(QDir(dir.path()).mkdir("de")); // a folder is no marker
    EXPECT_EQ(Language::chooseStartLanguage(dir.path(), none), "en");
    ASSERT_TRUE(QDir(dir.path()).rmdir("de"));
    // A marker file goes before the desktop's language.
    QProcessEnvironment german;
    german.insert("LANG", "de_DE.UTF-8");
    EXPECT_EQ(Language::chooseStartLanguage(dir.path(), german), "de");
    QFile en(dir.path() + "/en");
    ASSERT_TRUE(en.open(QIODevice::WriteOnly));
    EXPECT_EQ(Language::chooseStartLanguage(dir.path(), german), "en");
    QFile de(dir.path() + "/de");
    ASSERT_TRUE(de.open(QIODevice::WriteOnly));
    EXPECT_EQ(Language::chooseStartLanguage(dir.path(), none), "de");
    Language::setCode("en");
}

// Without a marker file the first of LANGUAGE, LC_ALL, LC_MESSAGES, LANG that is set and not
// empty decides.
struct DesktopLanguageCase {
    const char* name;
    std::vector<std::pair<const char*, const char*>> variables;
    const char* expected;
};

class DesktopLanguageTest : public ::testing::TestWithParam<DesktopLanguageCase> {};

TEST_P(DesktopLanguageTest, FirstSetVariableDecides)
{
    QProcessEnvironment environment;
    for (const auto& [name, value] : GetParam().variables)
        environment.insert(name, value);
    EXPECT_EQ(Language::desktopLanguage(environment), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Variables, DesktopLanguageTest,
    ::testing::Values(
        DesktopLanguageCase{"NoneSet", {}, "en"},
        DesktopLanguageCase{"LangGerman", {{"LANG", "de_DE.UTF-8"}}, "de"},
        DesktopLanguageCase{"LanguageListGermanFirst", {{"LANGUAGE", "de:en"}, {"LANG", "en_US.UTF-8"}}, "de"},
        DesktopLanguageCase{"LanguageBeforeLang", {{"LANGUAGE", "en"}, {"LANG", "de_DE.UTF-8"}}, "en"},
        DesktopLanguageCase{"EmptyLanguageIsSkipped", {{"LANGUAGE", ""}, {"LANG", "de_AT.UTF-8"}}, "de"},
        DesktopLanguageCase{"LcAllBeforeLcMessages", {{"LC_ALL", "C"}, {"LC_MESSAGES", "de_DE"}}, "en"},
        DesktopLanguageCase{"LcMessagesBeforeLang", {{"LC_MESSAGES", "de_CH.UTF-8"}, {"LANG", "fr_FR"}}, "de"},
        DesktopLanguageCase{"OtherLanguage", {{"LANG", "fr_FR.UTF-8"}}, "en"},
        DesktopLanguageCase{"PosixLocale", {{"LC_ALL", "POSIX"}}, "en"}),
    [](const auto& info) { return std::string(info.param.name); });
