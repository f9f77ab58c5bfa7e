// SPDX-License-Identifier: MIT
// Writes pictures of the secondary windows in both languages into the folder named by
// QP_SCREENSHOT_DIR. scripts/screenshots.sh runs it under Xvfb, for faithful fonts.
#include "support/widgets/ModalDriver.h"

#include "core/i18n/Language.h"
#include "core/run/Messages.h"
#include "core/settings/SettingsModel.h"
#include "gui/app/StaticPages.h"
#include "gui/output/Toptionen.h"
#include "gui/run/Toptionen_name.h"
#include "gui/run/Tsm_bearbeitung.h"
#include "gui/run/Tsm_meldung.h"
#include "gui/shell/Teinstshortcuts.h"
#include "support/DesktopSandbox.h"

#include <QDir>
#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>

namespace qp {
namespace {

TEST(Screenshots, SecondaryWindowsInBothLanguages)
{
    const QString folder = qEnvironmentVariable("QP_SCREENSHOT_DIR");
    ASSERT_FALSE(folder.isEmpty()) << "QP_SCREENSHOT_DIR names the folder of the pictures";
    ASSERT_TRUE(QDir().mkpath(folder));
    auto save = [&folder](QWidget& w, const QString& name) {
        QTest::qWait(50);
        EXPECT_TRUE(w.grab().save(QDir(folder).filePath(name + u".png"_qs))) << name.toStdString();
    };

    QWidget main;
    main.resize(820, 620);
    main.show();
    SettingsModel settings(u"/home/anna/Quillpress"_qs);
    for (const char* language : {"de", "en"}) {
        Language::setCode(QString::fromLatin1(language));
        const QString suffix = u"-"_qs + QString::fromLatin1(language);

        Toptionen options(settings, &main);
        options.show();
        save(options, u"format-options"_qs + suffix);

        Toptionen_name names(settings, &main);
        names.show();
        save(names, u"file-name-options"_qs + suffix);

        // A desktop where configuration files and folders carry the program, the rest not.
        test::DesktopSandbox desktop;
        LinuxShellBackend registered(desktop.places());
        registered.registerGroup(ShellGroup::Config);
        registered.registerGroup(ShellGroup::Folders);
        // pkexec is a stand-in that declines, so the window shows what a declined restart says.
        const LinuxShellPlaces places = desktop.placesWithPkexec(u"#!/bin/sh\nexit 126\n"_qs);
        // Its home folder is the user's, so the window names the entry under "~" as on a real desktop.
        const QByteArray home = qgetenv("HOME");
        qputenv("HOME", desktop.path(u"home"_qs).toLocal8Bit());
        Teinstshortcuts shell(settings, &main, std::make_unique<LinuxShellBackend>(places));
        shell.show();
        qputenv("HOME", home);
        save(shell, u"shell-settings"_qs + suffix);
        auto* restart = shell.findChild<QPushButton*>("AlsAdminStarten");
        QTest::mouseClick(restart, Qt::LeftButton);
        EXPECT_TRUE(QTest::qWaitFor([&] { return restart->isEnabled(); }, 10000));
        save(shell, u"shell-settings-declined"_qs + suffix);

        Tsm_bearbeitung progress(&main);
        progress.startRun(10, &main);
        progress.showCurrent(u"/home/anna/Pictures/Quillpress/output/greetings_from_the_seaside.png"_qs);
        progress.setPosition(3);
        save(progress, u"progress"_qs + suffix);
        progress.finishRun();

        Tsm_meldung message(&main);
        for (const QString& id : {MessageId::speicherfehler, MessageId::keinestartkonfig, MessageId::ordnerfalsch,
                                  MessageId::keinordner, MessageId::keinname}) {
            test::ModalDriver driver(message, [&](QDialog& w) {
                save(w, u"message-"_qs + id + suffix);
                QTest::mouseClick(w.findChild<QPushButton*>("OK"), Qt::LeftButton);
            });
            message.meldungzeigen(id, u"/home/anna/Pictures/Quillpress/output/a_rather_long_folder_name/"
                                                         u"greetings_from_the_seaside.png"_qs,
                                  &main);
        }
        {
            test::ModalDriver driver(message, [&](QDialog& w) {
                save(w, u"message-"_qs + MessageId::keinetransparenz + suffix);
                QTest::mouseClick(w.findChild<QPushButton*>("OK"), Qt::LeftButton);
            });
            message.meldungzeigen(MessageId::keinetransparenz, u"JPEG"_qs, &main);
        }

        StaticPageWindow* help = QString::fromLatin1(language) == u"de" ? createHilfe(&main) : createHilfeEn(&main);
        help->show();
        save(*help, u"help"_qs + suffix);
        StaticPageWindow* report =
            QString::fromLatin1(language) == u"de" ? createBugreportDe(&main) : createBugreportEn(&main);
        report->show();
        save(*report, u"problem-report"_qs + suffix);
        delete help;
        delete report;
    }
    Language::setCode(u"en"_qs);
}

} // namespace
} // namespace qp
