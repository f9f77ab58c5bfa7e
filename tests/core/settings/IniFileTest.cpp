// SPDX-License-Identifier: MIT
#include "core/settings/IniFile.h"

#include "support/FileSizeLimit.h"

#include <QDir>
#include <QFile>
#include <QStringEncoder>
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
        {"Alpha", "long", longValue}, // whole: a cut would give another meaning
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
        // UTF-16LE as some editors write it, without byte-order mark, stays so.
        {"utf16nobom.qpcf", utf16("[S]\r\nk=x\r\n").mid(2), utf16(QStringLiteral("[S]\r\nk=") + snow + "\r\n").mid(2)},
        {"utf16benobom.qpcf", QStringEncoder(QStringConverter::Utf16BE)(QStringLiteral("[S]\r\nk=x\r\n")),
         QStringEncoder(QStringConverter::Utf16BE)(QStringLiteral("[S]\r\nk=") + snow + "\r\n")},
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
        EXPECT_EQ(e.message(), QStringLiteral("\"%1\" is not a regular file").arg(QDir::toNativeSeparators(folder)));
    }
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList());
}

TEST(IniFile, UnpairedSurrogatesBecomeReplacementCharactersInTheirValueOnly)
{
    QTemporaryDir dir;
    const QString fffd(QChar::ReplacementCharacter);
    const QString emoji = QString::fromUtf8("\U0001F600");
    // UTF-16: a high half at the end of a value (a pair cut in two), a low half in the middle.
    QString text = QStringLiteral("[S]\r\ncut=abc") + emoji.front() + QStringLiteral("\r\nmid=a") +
                   emoji.back() + QStringLiteral("b\r\nok=") + emoji + QStringLiteral("\r\n");
    const QString utf16Path = dir.filePath("u16.qpcf");
    writeBytes(utf16Path, utf16(text));
    // UTF-8 with a surrogate encoded on its own: the umlaut of the other value still reads as UTF-8.
    const QString utf8Path = dir.filePath("u8.qpcf");
    writeBytes(utf8Path, "[S]\r\ncut=abc\xED\xA0\xBD\r\nmid=a\xED\xB8\x80" "b\r\nok=\xC3\xBC\r\n");
    for (const QString& path : {utf16Path, utf8Path}) {
        IniFile ini(path);
        EXPECT_EQ(ini.ReadText("S", "cut", ""), "abc" + fffd) << path.toStdString();
        EXPECT_EQ(ini.ReadText("S", "mid", ""), "a" + fffd + "b");
        EXPECT_EQ(ini.ReadText("S", "ok", ""), path == utf16Path ? emoji : QString::fromUtf8("\u00FC"));
        ini.WriteText("S", "new", "n");
        ini.Flush();
        const QByteArray once = readBytes(path);
        IniFile again(path);
        again.WriteText("S", "new", "n");
        again.WriteText("S", "ok", again.ReadText("S", "ok", ""));
        again.Flush();
        EXPECT_EQ(readBytes(path), once);
        EXPECT_EQ(again.ReadText("S", "cut", ""), "abc" + fffd);
    }
    EXPECT_EQ(IniFile(utf8Path).encoding(), IniFile::Encoding::Utf8);

    // A value in memory with half a pair is written as U+FFFD, never as the half.
    const QString fresh = dir.filePath("fresh.qpcf");
    IniFile ini(fresh);
    ini.WriteText("S", "k", QStringLiteral("x") + emoji.front());
    ini.Flush();
    EXPECT_EQ(readBytes(fresh), utf16("[S]\r\nk=x" + fffd + "\r\n"));
}

#ifndef _WIN32 // a file-size limit makes the write fail part way
TEST(IniFile, ASaveThatFailsPartWayLeavesTheOldFileAsItWas)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("keep.qpcf");
    const QByteArray old = utf16("[S]\r\nk=old\r\n");
    writeBytes(path, old);
    const QString error = QStringLiteral("Unable to write to %1").arg(QDir::toNativeSeparators(path));
    auto change = [&path] {
        auto ini = std::make_unique<IniFile>(path);
        ini->WriteText("S", "k", QString(1000, QLatin1Char('n')));
        ini->WriteText("T", "x", "1");
        return ini;
    };
    auto expectOldFileOnly = [&](const std::string& what) {
        EXPECT_EQ(readBytes(path), old) << what;
        EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList("keep.qpcf")) << what;
    };
    const qint64 size = change()->toBytes().size();

    // A writer that fails after `budget` bytes.
    for (const qint64 budget : {qint64(0), qint64(1), size / 2, size - 1}) {
        auto ini = change();
        qint64 left = budget;
        const auto failing = [&left](QIODevice& device, const char* data, qint64 n) -> qint64 {
            if (left == 0)
                return -1;
            const qint64 written = device.write(data, std::min(n, left));
            left -= written;
            return written;
        };
        try {
            ini->Flush(failing);
            ADD_FAILURE() << "no error after " << budget << " bytes";
        } catch (const IniFileError& e) {
            EXPECT_EQ(e.message(), error);
        }
        expectOldFileOnly("budget " + std::to_string(budget));
    }

    // The same with a real file-size limit: the system refuses writes past 512 bytes.
    for (const qint64 limit : {0, 512}) {
        auto ini = change();
        bool thrown = false;
        {
            const test::FileSizeLimit fileSizeLimit(limit);
            try {
                ini->Flush();
            } catch (const IniFileError& e) {
                thrown = e.message() == error;
            }
        }
        EXPECT_TRUE(thrown) << limit;
        expectOldFileOnly("limit " + std::to_string(limit));
    }

    // A writer that takes a few bytes at a time still writes everything.
    auto ini = change();
    ini->Flush([](QIODevice& device, const char* data, qint64 n) { return device.write(data, std::min<qint64>(n, 7)); });
    EXPECT_EQ(readBytes(path), ini->toBytes());
    EXPECT_EQ(readBytes(path).size(), size);
}
#endif
