// SPDX-License-Identifier: MIT
// The parsing of the chosen extensions, the Exec quoting and the default list of mimeapps.list.
#include "core/shell/DesktopEntry.h"
#include "core/shell/MimeAppsList.h"
#include "core/shell/ShellGroups.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace qp {
namespace {

TEST(ChosenExtensions, PartsAreTrimmedDottedAndFiltered)
{
    const struct {
        const char16_t* text;
        QStringList expected;
    } cases[] = {
        {u"jpg,bmp,png", {".jpg", ".bmp", ".png"}},
        {u"  jpg\t, .PNG ,", {".jpg", ".PNG"}},
        {u",jpg,a.b,j pg,.png", {".jpg", ".png"}},   // empty, inner dot, inner blank dropped
        {u".,..,x", {"..", ".x"}},                  // a lone dot is too short; ".." is kept
        {u"t<x,t*,t|,t:,t?,t\",t/,t\\", {}},
        {u"tar.gz,.tar.gz", {".tar.gz"}},            // a dot that is not the first character
        {u"", {}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(parseChosenExtensions(QString::fromUtf16(c.text)), c.expected) << QString::fromUtf16(c.text).toStdString();
}

#ifndef Q_OS_WIN // the freedesktop files of the Linux registration
TEST(ExecCommand, QuotesOnlyWhenNeededAndReadsBack)
{
    EXPECT_EQ(execCommand("/usr/bin/quillpress", "%F"), "/usr/bin/quillpress %F");
    EXPECT_EQ(execCommand("/opt/my apps/quillpress", "%F"), "\"/opt/my apps/quillpress\" %F");
    EXPECT_EQ(execCommand("/opt/a\"b$c`d\\e/q", {}), "\"/opt/a\\\"b\\$c\\`d\\\\e/q\"");
    EXPECT_EQ(execCommand("/opt/100%/q", "%F"), "/opt/100%%/q %F");
    for (const char* file : {"/usr/bin/quillpress", "/opt/my apps/quillpress", "/opt/a\"b$c`d\\e/q",
                             "/opt/100%/q", "/home/jürgen/it's/q"}) {
        const QString path = QString::fromUtf8(file);
        const QStringList args = execArguments(execCommand(path, "%F"));
        EXPECT_EQ(args, (QStringList{path, "%F"})) << path.toStdString();
    }
}

TEST(DesktopFile, ValuesAreEscapedAndReadBack)
{
    QTemporaryDir dir;
    const QString file = dir.filePath("a.desktop");
    DesktopFile entry;
    entry.add("Name", "Open with Quillpress");
    entry.add("Exec", execCommand("C:\\odd\\path", "%F"));
    entry.addGroup("Desktop Action open");
    entry.add("Name", "second");
    QFile f(file);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(entry.text().toUtf8());
    f.close();
    const auto keys = readDesktopGroup(file, "Desktop Entry");
    EXPECT_EQ(keys.value("Name"), "Open with Quillpress");
    EXPECT_EQ(execArguments(keys.value("Exec")).value(0), "C:\\odd\\path");
    EXPECT_EQ(readDesktopGroup(file, "Desktop Action open").value("Name"), "second");
    EXPECT_TRUE(readDesktopGroup(file, "Missing").isEmpty());
}

TEST(MimeAppsList, OurEntryGoesFirstAndLeavesOthersAsTheyWere)
{
    QTemporaryDir dir;
    const QString list = dir.filePath("config/mimeapps.list");
    const QByteArray before = "[Added Associations]\ntext/plain=editor.desktop;\n\n[Default Applications]\n"
                              "text/plain=editor.desktop;\napplication/x-q=other.desktop;\n";
    QDir().mkpath(dir.filePath("config"));
    QFile f(list);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(before);
    f.close();

    ASSERT_TRUE(addDefaultApplication(list, "application/x-q", "ours.desktop"));
    ASSERT_TRUE(addDefaultApplication(list, "application/x-q", "ours.desktop"));   // no duplicate
    EXPECT_EQ(defaultApplications(list, "application/x-q"), (QStringList{"ours.desktop", "other.desktop"}));
    EXPECT_EQ(defaultApplications(list, "text/plain"), QStringList{"editor.desktop"});

    ASSERT_TRUE(removeDefaultApplication(list, "application/x-q", "ours.desktop"));
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(), before);
    f.close();

    // A type nobody had: the line comes and goes; a missing file gets the group.
    const QString fresh = dir.filePath("new/mimeapps.list");
    ASSERT_TRUE(addDefaultApplication(fresh, "application/x-q", "ours.desktop"));
    EXPECT_EQ(defaultApplications(fresh, "application/x-q"), QStringList{"ours.desktop"});
    ASSERT_TRUE(removeDefaultApplication(fresh, "application/x-q", "ours.desktop"));
    EXPECT_TRUE(defaultApplications(fresh, "application/x-q").isEmpty());
}

#endif

} // namespace
} // namespace qp
