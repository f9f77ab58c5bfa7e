// SPDX-License-Identifier: MIT
// Configuration files count as opened by this program when the type's default entry, whichever it
// is, starts this very program file: its Exec program found through the PATH as the desktop finds
// it, compared as the file it is.
#include "support/DesktopSandbox.h"

#include "core/shell/DefaultApplication.h"
#include "core/shell/MimeAppsList.h"

#include <QFile>
#include <QStandardPaths>
#include <gtest/gtest.h>

namespace qp {
namespace {

struct EntryCase {
    const char* name;
    const char* exec;   // %P: the program file, %L: a link to it, %B: the folder of both
    bool programOnPath;
    bool active;
};

class DefaultEntryTest : public ::testing::TestWithParam<EntryCase> {
protected:
    void SetUp() override { m_path = qgetenv("PATH"); }
    void TearDown() override { qputenv("PATH", m_path); }
    QByteArray m_path;
    test::DesktopSandbox sandbox{QStringLiteral("quillpress")};
};

TEST_P(DefaultEntryTest, ActiveWhenTheDefaultEntryStartsThisProgram)
{
    if (QStandardPaths::findExecutable("xdg-mime").isEmpty())
        GTEST_SKIP() << "xdg-mime missing";
    const EntryCase& c = GetParam();
    const QString link = sandbox.path("elsewhere/qp");
    QDir().mkpath(sandbox.path("elsewhere"));
    ASSERT_TRUE(QFile::link(sandbox.program(), link));
    if (c.programOnPath)
        qputenv("PATH", QFile::encodeName(sandbox.path("bin")) + ':' + m_path);

    // The installed package's entry is the default; the program never registered itself.
    const QString entry = sandbox.dataHome() + "/applications/quillpress.desktop";
    QDir().mkpath(sandbox.dataHome() + "/applications");
    const QString exec = QString::fromUtf8(c.exec).replace("%P", sandbox.program()).replace("%L", link);
    test::DesktopSandbox::writeScript(entry, "[Desktop Entry]\nType=Application\nName=Quillpress\nExec=" + exec +
                                                 "\nMimeType=application/x-quillpress-configuration;\n");
    ASSERT_TRUE(addDefaultApplication(sandbox.configHome() + "/mimeapps.list",
                                      "application/x-quillpress-configuration", "quillpress.desktop"));

    LinuxShellBackend backend(sandbox.places());
    EXPECT_EQ(backend.isActive(ShellGroup::Config), c.active);
    EXPECT_EQ(backend.configurationEntry(), c.active ? entry : QString());
}

INSTANTIATE_TEST_SUITE_P(
    Entries, DefaultEntryTest,
    ::testing::Values(EntryCase{"BareNameThroughPath", "quillpress %F", true, true},
                      EntryCase{"BareNameNotOnPath", "quillpress %F", false, false},
                      EntryCase{"FullPath", "%P %F", false, true},
                      EntryCase{"LinkToTheProgram", "%L %F", false, true},
                      EntryCase{"AnotherProgram", "/bin/true %F", true, false},
                      EntryCase{"RelativePath", "bin/quillpress %F", true, false}),
    [](const auto& info) { return std::string(info.param.name); });

} // namespace
} // namespace qp
