// SPDX-License-Identifier: MIT
// The shell-settings window on a sandboxed desktop: live statuses in both languages, register and
// remove per group, the administrator line, and the restart as administrator that ends the
// program only once the elevated instance runs.
#include "support/DesktopSandbox.h"

#include "core/i18n/Language.h"
#include "core/settings/SettingsModel.h"
#include "gui/shell/Teinstshortcuts.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStandardPaths>
#include <QTest>
#include <gtest/gtest.h>

namespace qp {
namespace {

struct Window {
    explicit Window(const LinuxShellPlaces& places)
        : window(settings, nullptr, std::make_unique<LinuxShellBackend>(places))
    {
        window.setEndProgram([this] { ++ended; });
    }
    QLabel* label(const char* name) const { return window.findChild<QLabel*>(name); }
    QPushButton* button(const char* name) const { return window.findChild<QPushButton*>(name); }
    void click(const char* name) const { QTest::mouseClick(button(name), Qt::LeftButton); }

    SettingsModel settings;
    Teinstshortcuts window;
    int ended = 0;
};

class ShellSettingsWindowTest : public ::testing::Test {
protected:
    void TearDown() override { Language::setCode("en"); }
    test::DesktopSandbox sandbox;
};

TEST_F(ShellSettingsWindowTest, RegisterAndRemoveChangeTheLiveStatus)
{
    Window w(sandbox.places());
    w.window.show();
    // The chosen extensions come from the field, as typed.
    w.window.findChild<QLineEdit*>("beldateien")->setText("jpg, qpzz");
    const struct {
        const char* status;
        const char* on;
        const char* off;
    } groups[] = {{"ver_konfig", "KonfigAn", "KonfigAus"},
                  {"ver_sendenan", "SendenAnAn", "SendenAnAus"},
                  {"ver_ordner", "OrdnerAn", "OrdnerAus"},
                  {"ver_alledateien", "AlleDateienAn", "AlleDateienAus"},
                  {"ver_beliebig", "BeliebigeDateienAn", "BeliebigeDateienAus"}};
    const QColor green(0, 128, 0), red(255, 0, 0);
    for (const auto& g : groups) {
        SCOPED_TRACE(g.status);
        QLabel* status = w.label(g.status);
        EXPECT_EQ(status->text(), "Not activated");
        EXPECT_EQ(status->palette().color(QPalette::WindowText), red);
        w.click(g.on);
        EXPECT_EQ(status->text(), "Activated");
        EXPECT_EQ(status->palette().color(QPalette::WindowText), green);
        Language::setCode("de");
        w.window.Sprache();
        EXPECT_EQ(status->text(), "Aktiv");
        EXPECT_EQ(w.button(g.off)->text(), "Entfernen");
        w.click(g.off);
        EXPECT_EQ(status->text(), "Nicht aktiv");
        Language::setCode("en");
        w.window.Sprache();
        EXPECT_EQ(status->text(), "Not activated");
    }

    w.click("BeliebigeDateienAn");
    EXPECT_TRUE(w.window.backend().isActive(ShellGroup::Types, {".jpg", ".qpzz"}));
    // An extension added to the field is not registered yet: the row says so at once.
    auto* field = w.window.findChild<QLineEdit*>("beldateien");
    field->setText("jpg, qpzz, qpyy");
    EXPECT_EQ(w.label("ver_beliebig")->text(), "Not activated");
    field->setText("jpg");
    EXPECT_EQ(w.label("ver_beliebig")->text(), "Activated");
    field->setText("jpg, qpzz");
    w.click("BeliebigeDateienAus");
    EXPECT_FALSE(w.window.backend().isActive(ShellGroup::Types, {".jpg"}));
    // Nothing outside the user's folders was written.
    EXPECT_TRUE(sandbox.filesBelow(sandbox.root()).isEmpty());
}

TEST_F(ShellSettingsWindowTest, AdministratorLineAndRestartButton)
{
    // Registration works per user here: the lines say for whom, and never ask for an
    // administrator. As administrator: for all users, green, button off.
    Window admin(sandbox.places(true));
    EXPECT_TRUE(admin.label("Label6")->isHidden());
    EXPECT_FALSE(admin.label("bereichHinweis")->isHidden());
    EXPECT_EQ(admin.label("bereichHinweis")->text(),
              "Registrations apply to this user; started as an Administrator, to all users.");
    EXPECT_EQ(admin.label("Label9")->text(),
              "The Program is running as an Administrator: registrations apply to all users.");
    EXPECT_EQ(admin.label("Label9")->palette().color(QPalette::WindowText), QColor(0, 128, 0));
    EXPECT_FALSE(admin.button("AlsAdminStarten")->isEnabled());
    // Its registration goes to the system-wide places, none to the user's.
    admin.window.show();
    admin.click("OrdnerAn");
    EXPECT_EQ(admin.label("ver_ordner")->text(), "Activated");
    EXPECT_TRUE(QFile::exists(sandbox.root() + "/usr/local/share/applications/quillpress-shell-folders.desktop"));
    EXPECT_TRUE(sandbox.filesBelow(sandbox.path("home")).isEmpty());

    // As a user without pkexec: for this user, in black, button off with the reason.
    Language::setCode("de");
    Window user(sandbox.places());
    EXPECT_EQ(user.label("bereichHinweis")->text(),
              "Verknüpfungen gelten für diesen Benutzer; als Administrator gestartet, für alle Benutzer.");
    EXPECT_EQ(user.label("Label9")->text(),
              "Das Programm läuft als dieser Benutzer: Verknüpfungen gelten für diesen Benutzer.");
    EXPECT_EQ(user.label("Label9")->palette().color(QPalette::WindowText), QColor(0, 0, 0));
    for (const QLabel* label : user.window.findChildren<QLabel*>())
        if (!label->isHidden()) {
            EXPECT_FALSE(label->text().contains("Administrator ausgef")) << label->objectName().toStdString();
        }
    EXPECT_FALSE(user.button("AlsAdminStarten")->isEnabled());
    EXPECT_EQ(user.button("AlsAdminStarten")->toolTip(),
              "Der Neustart als Administrator braucht pkexec, das hier nicht installiert ist.");
}

// Under the configuration files' status, the note names the entry that opens them with this
// program, and goes when they no longer do.
TEST(ShellSettingsWindow, NoteNamesTheEntryThatOpensConfigurations)
{
    if (QStandardPaths::findExecutable("xdg-mime").isEmpty())
        GTEST_SKIP() << "xdg-mime missing";
    test::DesktopSandbox sandbox(QStringLiteral("quillpress"));
    Window w(sandbox.places());
    w.window.show();
    QLabel* note = w.label("konfigEintrag");
    EXPECT_TRUE(note->isHidden());
    w.click("KonfigAn");
    EXPECT_FALSE(note->isHidden());
    EXPECT_EQ(note->text(), "Opens with this program through the entry " + sandbox.dataHome() +
                                "/applications/quillpress-shell-config.desktop");
    w.click("KonfigAus");
    EXPECT_TRUE(note->isHidden());
    EXPECT_EQ(w.label("ver_konfig")->text(), "Not activated");
}

// Declining the prompt keeps the program and says so; once the elevated instance runs, the
// program ends.
TEST_F(ShellSettingsWindowTest, RestartEndsTheProgramOnlyWhenTheElevatedOneRuns)
{
    const LinuxShellPlaces places = sandbox.placesWithPkexec("#!/bin/sh\nsleep 0.2; exit 126\n");
    Window w(places);
    QPushButton* restart = w.button("AlsAdminStarten");
    QLabel* note = w.label("elevationNote");
    ASSERT_TRUE(restart->isEnabled());
    EXPECT_TRUE(restart->toolTip().isEmpty());
    w.click("AlsAdminStarten");
    EXPECT_FALSE(restart->isEnabled());
    EXPECT_TRUE(test::waitUntil([&] { return restart->isEnabled(); }));
    EXPECT_EQ(w.ended, 0);
    EXPECT_FALSE(note->isHidden());
    EXPECT_EQ(note->text(), "The restart as an Administrator was declined. The program keeps running.");

    test::DesktopSandbox::writeScript(places.pkexec, "#!/bin/sh\nsleep 0.2; exit 127\n");
    w.click("AlsAdminStarten");
    EXPECT_TRUE(test::waitUntil([&] { return restart->isEnabled(); }));
    EXPECT_EQ(w.ended, 0);
    EXPECT_EQ(note->text(), "The restart as an Administrator failed. The program keeps running.");

    test::DesktopSandbox::writeScript(places.pkexec, "#!/bin/sh\nsleep 0.2; QP_FAKE_SLEEP=2 exec \"$@\"\n");
    w.click("AlsAdminStarten");
    EXPECT_TRUE(test::waitUntil([&] { return w.ended > 0; }));
    EXPECT_EQ(w.ended, 1);
}

} // namespace
} // namespace qp
