#include "settings/IniFile.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace qp;

namespace {

QByteArray utf16(const QString& text)
{
    QByteArray bytes("\xFF\xFE", 2);
    bytes.append(reinterpret_cast<const char*>(text.utf16()), text.size() * 2);
    return bytes;
}

void writeBytes(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

QByteArray readBytes(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

} // namespace

TEST(IniFile, ReadsHandWrittenFilesByTheProfileRules)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("hand.qpcf");
    const QString longValue(3000, QLatin1Char('x'));
    writeBytes(path, utf16(QString::fromUtf8("top=before any section\r\n"
                                             "  [ Alpha ]  \r\n"
                                             "\r\n"
                                             "  Spaced   =   value with blanks   \r\n"
                                             "MiXeD=case\n"
                                             "eq=a=b=c\r"
                                             "dq=\"  quoted  \"\r\n"
                                             "sq='x'\r\n"
                                             "once=''double''\r\n"
                                             "half=\"open\r\n"
                                             "noequals line\r\n"
                                             "dup=first\r\n"
                                             "dup=second\r\n"
                                             "empty=\r\n"
                                             "umlaut=Gr\u00FC\u00DFe \u2603\r\n"
                                             "long=") +
                                longValue +
                                QStringLiteral("\r\n[alpha]\r\nonlyInSecond=1\r\n[Beta]\r\nk=beta\r\n")));
    const IniFile ini(path);
    EXPECT_EQ(ini.encoding(), IniFile::Encoding::Utf16LE);

    struct Case {
        const char* section;
        const char* key;
        QString expected;
    };
    const Case cases[] = {
        {"alpha", "spaced", "value with blanks"},
        {"ALPHA", "mixed", "case"},
        {"Alpha", "eq", "a=b=c"},
        {"Alpha", "dq", "  quoted  "},
        {"Alpha", "sq", "x"},
        {"Alpha", "once", "'double'"},
        {"Alpha", "half", "\"open"},
        {"Alpha", "dup", "first"},
        {"Alpha", "empty", ""},
        {"Alpha", "umlaut", QString::fromUtf8("Gr\u00FC\u00DFe \u2603")},
        {"Alpha", "long", QString(2047, QLatin1Char('x'))},
        {"beta", "K", "beta"},
        // Only the first of two sections of one name counts; lines before any section and lines
        // without "=" belong to no key.
        {"Alpha", "onlyInSecond", "<default>"},
        {"Alpha", "top", "<default>"},
        {"Alpha", "noequals line", "<default>"},
        {"Alpha", "missing", "<default>"},
        {"Gamma", "k", "<default>"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ini.ReadText(c.section, c.key, "<default>"), c.expected)
            << c.section << "/" << c.key;

    const IniFile missing(dir.filePath("nothing-here.qpcf"));
    EXPECT_EQ(missing.ReadText("Alpha", "k", "dflt"), "dflt");
    EXPECT_EQ(missing.ReadNumber("Alpha", "k", 7), 7);
}

TEST(IniFile, NumbersAndFlagsFallBackToTheDefaultUnlessTheTextIsAnInteger)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("n.qpcf");
    writeBytes(path, utf16("[N]\r\ndec= -12 \r\nhex0x=0x1F\r\nhexX=0X10\r\ndollar=$ff\r\n"
                           "quoted=\"42\"\r\nletters=yes\r\ntrailing=5a\r\nzero=0\r\nbig=99999999999\r\n"
                           "short0x=0x\r\n"));
    const IniFile ini(path);
    struct Case {
        const char* key;
        qint32 expected;
    };
    const Case numbers[] = {{"dec", -12},     {"hex0x", 31},     {"hexX", 16},
                            {"dollar", 255},  {"quoted", 42},    {"letters", -5},
                            {"trailing", -5}, {"zero", 0},       {"big", -5},
                            {"short0x", -5},  {"missing", -5}};
    for (const Case& c : numbers)
        EXPECT_EQ(ini.ReadNumber("N", c.key, -5), c.expected) << c.key;

    EXPECT_TRUE(ini.ReadFlag("N", "dec", false));
    EXPECT_FALSE(ini.ReadFlag("N", "zero", true));
    EXPECT_TRUE(ini.ReadFlag("N", "letters", true));   // letters: the default
    EXPECT_FALSE(ini.ReadFlag("N", "letters", false));
    EXPECT_EQ(ini.readFlag("N", "letters"), std::nullopt);
}

TEST(IniFile, WritingReplacesInPlaceAppendsAndNeverDeletes)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("w.qpcf");
    writeBytes(path, utf16("; a comment\r\n[One]\r\nA=1\r\nnoequals\r\nb=2\r\n\r\n[Two]\r\nC=3\r\n"
                           "[one]\r\nb=duplicate\r\n"));
    IniFile ini(path);
    ini.WriteText("ONE", "B", "22");       // replaced where it stands, under the writer's name
    ini.WriteText("one", "new", "n");      // end of the first section, before its blank line
    ini.WriteNumber("Three", "D", -4);     // new section at the end of the file
    ini.WriteFlag("Two", "c", true);
    ini.Flush();
    EXPECT_EQ(readBytes(path),
              utf16("; a comment\r\n[One]\r\nA=1\r\nnoequals\r\nB=22\r\nnew=n\r\n\r\n[Two]\r\nc=1\r\n"
                    "[one]\r\nb=duplicate\r\n[Three]\r\nD=-4\r\n"));
}

TEST(IniFile, WrittenTextsReadBackUnchanged)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("t.qpcf");
    const QString texts[] = {
        "plain",          " leading",      "trailing ",     "  both  ",     "\tTab",
        "\"dq\"",         "'sq'",          "\"",            "''",           "a=b",
        "",               "x\x01",         QString::fromUtf8("\u00E4\u4E2D\U0001F600"),
        "'mixed\"",       " 'spaced' ",
    };
    {
        IniFile ini(path);
        int i = 0;
        // The first escaping step (quotes at both ends) is the configuration's; here only texts
        // that do not need it are written raw.
        for (const QString& t : texts)
            ini.WriteText("S", QStringLiteral("k%1").arg(i++), t);
        ini.Flush();
    }
    const IniFile ini(path);
    int i = 0;
    for (const QString& t : texts) {
        const QString got = ini.ReadText("S", QStringLiteral("k%1").arg(i++), "<none>");
        if (t == "\"dq\"" || t == "'sq'" || t == "''")
            EXPECT_EQ(got, t.mid(1, t.size() - 2)) << t.toStdString(); // needs the first step
        else
            EXPECT_EQ(got, t) << t.toStdString();
    }
}

TEST(IniFile, LineBreaksInAValueCannotStartNewEntries)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("b.qpcf");
    IniFile ini(path);
    ini.WriteText("S", "k", "a\r\n[S]\r\nk=evil");
    ini.Flush();
    const IniFile back(path);
    EXPECT_EQ(back.ReadText("S", "k", ""), "a  [S]  k=evil");
}

TEST(IniFile, EncodingOfNewAndExistingFiles)
{
    QTemporaryDir dir;
    const QString snow = QString::fromUtf8("\u2603");
    struct Case {
        const char* name;
        QByteArray existing; // empty: no file
        QByteArray expected;
    };
    const QByteArray latin1("[S]\r\nold=\xE9t\xE9\r\n");
    const Case cases[] = {
        {"new.qpcf", {}, utf16(QStringLiteral("[S]\r\nk=") + snow + "\r\n")},
        {"new.JPG", {}, QByteArray("[S]\r\nk=") + snow.toUtf8() + "\r\n"},
        {"new.jpeg", {}, QByteArray("[S]\r\nk=") + snow.toUtf8() + "\r\n"},
        {"new.bmp", {}, QByteArray("[S]\r\nk=") + snow.toUtf8() + "\r\n"},
        {"new.gif", {}, QByteArray("[S]\r\nk=") + snow.toUtf8() + "\r\n"},
        {"new.png", {}, utf16(QStringLiteral("[S]\r\nk=") + snow + "\r\n")},
        {"nobom.qpcf", "[S]\nk=x\n", QByteArray("[S]\r\nk=") + snow.toUtf8() + "\r\n"},
        {"empty.qpcf", "", QByteArray("[S]\r\nk=") + snow.toUtf8() + "\r\n"},
        {"utf8bom.qpcf", "\xEF\xBB\xBF[S]\r\n", QByteArray("\xEF\xBB\xBF[S]\r\nk=") + snow.toUtf8() + "\r\n"},
        // Bytes that are not UTF-8 are written back as they were; a character the single-byte
        // text cannot hold is lost.
        {"latin1.qpcf", latin1, latin1 + "k=?\r\n"},
    };
    for (const Case& c : cases) {
        const QString path = dir.filePath(c.name);
        if (!c.existing.isNull())
            writeBytes(path, c.existing);
        IniFile ini(path);
        ini.WriteText("S", "k", snow);
        ini.Flush();
        EXPECT_EQ(readBytes(path), c.expected) << c.name;
        if (QByteArray(c.name) != "latin1.qpcf") {
            EXPECT_EQ(IniFile(path).ReadText("S", "k", ""), snow) << c.name;
        } else {
            EXPECT_EQ(IniFile(path).ReadText("S", "old", ""), QString::fromUtf8("\u00E9t\u00E9"));
        }
    }
}

TEST(IniFile, FailedSavesRaiseTheirErrorAndLeaveNothingBehind)
{
    QTemporaryDir dir;
    // A folder that does not exist: the file cannot be created.
    const QString missing = dir.filePath("no/such/folder/x.qpcf");
    IniFile a(missing);
    a.WriteText("S", "k", "v");
    try {
        a.Flush();
        FAIL() << "no error";
    } catch (const IniFileError& e) {
        EXPECT_TRUE(e.message().startsWith(
            QStringLiteral("Cannot create file \"%1\". ").arg(QDir::toNativeSeparators(missing))))
            << e.what();
        EXPECT_FALSE(e.message().endsWith(QLatin1String(". "))); // the reason follows
    }

    // Something that exists but cannot be written as a file.
    const QString folder = dir.filePath("taken.qpcf");
    ASSERT_TRUE(QDir().mkpath(folder));
    IniFile b(folder);
    b.WriteText("S", "k", "v");
    try {
        b.Flush();
        FAIL() << "no error";
    } catch (const IniFileError& e) {
        EXPECT_EQ(e.message(), QStringLiteral("Unable to write to %1").arg(QDir::toNativeSeparators(folder)));
    }
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList());
}
