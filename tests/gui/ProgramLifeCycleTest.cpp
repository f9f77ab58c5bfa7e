// SPDX-License-Identifier: MIT
// The program as a whole: the start window and its schedule, the language, the configuration
// menu, the command line, closing with and without auto-save, panel flags, the link caption,
// "Create and Save" and the general error box.
#include "support/widgets/ProgramFixture.h"

#include "core/i18n/Catalog.h"
#include "core/i18n/FormatNames.h"
#include "core/render/RenderError.h"
#include "core/settings/ConfigurationMenu.h"
#include "gui/app/LinkCaptions.h"
#include "gui/app/QuillpressApplication.h"
#include "support/FileSizeLimit.h"
#include "support/WaitUntil.h"

#include <QPlainTextEdit>
#include <QPushButton>
#include <QSignalSpy>

namespace qp::testing {
namespace {

using ProgramLifeCycle = ProgramFixture;

TEST_F(ProgramLifeCycle, SplashScheduleShowsTheMainWindowThenHidesItself)
{
    create({}, false);
    start().show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&start()));
    EXPECT_EQ(start().size(), QSize(380, 235));
    EXPECT_TRUE(start().windowFlags() & Qt::FramelessWindowHint);
    start().timer()->start();
    EXPECT_EQ(start().timer()->interval(), 600);

    for (int tick = 1; tick <= 8; ++tick) {
        start().Timer1Timer();
        EXPECT_EQ(prog().isVisible(), tick >= 4) << "tick " << tick;
        EXPECT_EQ(start().isVisible(), tick < 6) << "tick " << tick;
        EXPECT_EQ(start().timer()->isActive(), tick < 8) << "tick " << tick;
    }
}

TEST_F(ProgramLifeCycle, ClickOnTheSplashEndsItAtOnce)
{
    create({}, false);
    start().show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&start()));
    start().timer()->start();
    QTest::mouseClick(start().englishPicture(), Qt::LeftButton);
    EXPECT_TRUE(prog().isVisible());
    EXPECT_FALSE(start().isVisible());
    EXPECT_FALSE(start().timer()->isActive());
}

TEST_F(ProgramLifeCycle, MarkerFilesInTheWorkingFolderChooseTheLanguage)
{
    // Neither file: English, with the English picture on top.
    create({}, false);
    EXPECT_EQ(start().languageLabel(), QStringLiteral("en"));
    EXPECT_FALSE(start().englishPicture()->isHidden());
    EXPECT_TRUE(prog().action(QStringLiteral("m_einst_sprache_english"))->isChecked());

    // Both files: German wins. A marker in the program folder counts for nothing.
    writeConfiguration(homePath(QStringLiteral("en")), "");
    writeConfiguration(workPath(QStringLiteral("en")), "");
    writeConfiguration(workPath(QStringLiteral("de")), "");
    create({}, false);
    EXPECT_EQ(start().languageLabel(), QStringLiteral("de"));
    EXPECT_TRUE(start().englishPicture()->isHidden());
    EXPECT_EQ(caption(QStringLiteral("durchfuehren")), QStringLiteral("Erstellen und Speichern"));
}

TEST_F(ProgramLifeCycle, LanguageRoundTripRestoresEveryCaption)
{
    create();
    settings().setText(Setting::out_format, QStringLiteral("*.psd - Photoshop Image"));
    auto* format = control<QComboBox>(QStringLiteral("out_format"));

    auto expectLanguage = [&](const QString& code) {
        for (const CatalogRow& row : catalogRows()) {
            if (row.window == QLatin1String("prog") && row.property == TextProperty::ToolTip) {
                EXPECT_EQ(control<QWidget>(row.control)->toolTip(), row.text(code))
                    << row.control.toStdString() << " in " << code.toStdString();
                continue;
            }
            if (row.window != QLatin1String("prog") || row.property != TextProperty::Caption)
                continue;
            // The per-language menus carry their own language.
            if (row.control.startsWith(QLatin1String("m_info_")) || row.control.startsWith(QLatin1String("m_soft_")))
                continue;
            EXPECT_EQ(caption(row.control), row.text(code)) << row.control.toStdString() << " in " << code.toStdString();
        }
        QStringList items;
        for (int i = 0; i < format->count(); ++i)
            items << format->itemText(i);
        EXPECT_EQ(items, outputFormatsForLanguage(code));
        const bool german = code == QLatin1String("de");
        EXPECT_EQ(prog().action(QStringLiteral("m_einst_sprache_deutsch"))->isChecked(), german);
        EXPECT_EQ(prog().action(QStringLiteral("m_einst_sprache_english"))->isChecked(), !german);
        EXPECT_EQ(prog().menuBar()->findChild<QMenu*>(QStringLiteral("m_info_de"))->menuAction()->isVisible(), german);
        EXPECT_EQ(prog().menuBar()->findChild<QMenu*>(QStringLiteral("m_info_en"))->menuAction()->isVisible(), !german);
        EXPECT_EQ(start().languageLabel(), code);
    };

    prog().action(QStringLiteral("m_einst_sprache_deutsch"))->trigger();
    expectLanguage(QStringLiteral("de"));
    EXPECT_EQ(format->currentText(), QStringLiteral("*.psd - Photoshop Bild"));
    EXPECT_EQ(SettingsModel::outputFormats(), outputFormatsForLanguage(QStringLiteral("de")));

    prog().action(QStringLiteral("m_einst_sprache_english"))->trigger();
    expectLanguage(QStringLiteral("en"));
    EXPECT_EQ(format->currentText(), QStringLiteral("*.psd - Photoshop Image"));

    prog().action(QStringLiteral("m_einst_sprache_deutsch"))->trigger();
    expectLanguage(QStringLiteral("de"));
    EXPECT_EQ(settings().text(Setting::out_format), QStringLiteral("*.psd - Photoshop Bild"));

    // Dialogs opened afterwards use the new language.
    prog().action(QStringLiteral("m_konfig_save"))->trigger();
    EXPECT_EQ(proposedNames.value(0), QStringLiteral("Konfiguration.qpcf"));
    EXPECT_EQ(dialogFilters, QStringList({QStringLiteral("Quillpress Konfiguration (*.qpcf)")}));
}

TEST_F(ProgramLifeCycle, ConfigurationEntriesAreNotDuplicated)
{
    writeConfiguration(homePath(QStringLiteral("Auto.qpcf")), "");
    writeConfiguration(homePath(QStringLiteral("Work.qpcf")), "");
    create();
    // The start configuration gets no entry; other files of the program folder do.
    ASSERT_EQ(prog().configurationEntryActions().size(), 1);
    EXPECT_EQ(prog().configurationEntryActions()[0]->data().toString(), homePath(QStringLiteral("Work.qpcf")));

    nextSaveName = workPath(QStringLiteral("mine.qpcf"));
    prog().action(QStringLiteral("m_konfig_save"))->trigger();
    EXPECT_TRUE(QFile::exists(nextSaveName));
    nextOpenName = nextSaveName;
    prog().action(QStringLiteral("m_konfig_load"))->trigger();
    ASSERT_EQ(prog().configurationEntryActions().size(), 2);
    EXPECT_EQ(prog().configurationEntryActions()[1]->data().toString(), nextSaveName);
    EXPECT_EQ(prog().configMenu()->actions().last(), prog().configurationEntryActions()[1]);
    // The dialog proposes the name chosen last.
    EXPECT_EQ(proposedNames.value(1), nextSaveName);

    // A name that does not exist gets an entry, changes nothing, and its entry later does nothing.
    settings().setText(Setting::abs_o, QStringLiteral("33"));
    nextOpenName = workPath(QStringLiteral("missing.qpcf"));
    prog().action(QStringLiteral("m_konfig_load"))->trigger();
    ASSERT_EQ(prog().configurationEntryActions().size(), 3);
    prog().configurationEntryActions()[2]->trigger();
    EXPECT_EQ(settings().text(Setting::abs_o), QStringLiteral("33"));

    // Clicking an existing entry loads it.
    prog().configurationEntryActions()[1]->trigger();
    EXPECT_EQ(settings().text(Setting::abs_o), QStringLiteral("10"));
    EXPECT_TRUE(errors.isEmpty()) << errors.join(u'\n').toStdString();
}

TEST_F(ProgramLifeCycle, CommandLineConfigurationsReplaceTheStartConfiguration)
{
    writeConfiguration(homePath(QStringLiteral("Auto.qpcf")), "[PBED]\r\nabs_o=11\r\n");
    const QString first = writeConfiguration(workPath(QStringLiteral("a.qpcf")), "[PBED]\r\nabs_o=21\r\nabs_u=21\r\n");
    const QString second = writeConfiguration(workPath(QStringLiteral("b.qpcf")), "[PBED]\r\nabs_o=22\r\n");
    const QString capitals = writeConfiguration(workPath(QStringLiteral("c.QPCF")), "[PBED]\r\nabs_o=99\r\n");

    create({first, capitals, second}, false);
    EXPECT_EQ(settings().text(Setting::abs_o), QStringLiteral("10")); // read when first shown
    prog().show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&prog()));
    EXPECT_EQ(settings().text(Setting::abs_o), QStringLiteral("22"));
    EXPECT_EQ(settings().text(Setting::abs_u), QStringLiteral("21"));
    QStringList entries;
    for (QAction* a : prog().configurationEntryActions())
        entries << a->data().toString();
    EXPECT_EQ(entries, QStringList({first, second}));

    // Without arguments the start configuration is loaded, without an entry.
    create();
    EXPECT_EQ(settings().text(Setting::abs_o), QStringLiteral("11"));
    EXPECT_TRUE(prog().configurationEntryActions().isEmpty());
}

TEST_F(ProgramLifeCycle, StartConfigurationMenuAndStandardConfiguration)
{
    create();
    prog().action(QStringLiteral("m_konfig_start"))->trigger();
    EXPECT_EQ(messages, QStringList({QStringLiteral("keinestartkonfig|")}));

    settings().setText(Setting::abs_l, QStringLiteral("44"));
    prog().action(QStringLiteral("m_konfig_save_start"))->trigger();
    ASSERT_TRUE(QFile::exists(homePath(QStringLiteral("Auto.qpcf"))));
    settings().setText(Setting::abs_l, QStringLiteral("1"));
    prog().action(QStringLiteral("m_konfig_start"))->trigger();
    EXPECT_EQ(settings().text(Setting::abs_l), QStringLiteral("44"));
    EXPECT_EQ(messages.size(), 1);

    // F2 shows the format as the box lists it in the current language: the box's own entry.
    auto* format = control<QComboBox>(QStringLiteral("out_format"));
    for (const auto& [code, expected] : {std::pair{"de", "*.jpg - JPEG-Bild"}, std::pair{"en", "*.jpg - JPEG-Image"}}) {
        prog().setLanguage(QString::fromLatin1(code));
        settings().setText(Setting::out_format, format->itemText(3));
        prog().action(QStringLiteral("m_konfig_standard"))->trigger();
        EXPECT_EQ(settings().text(Setting::abs_l), QStringLiteral("10"));
        EXPECT_EQ(format->currentText(), QString::fromUtf8(expected)) << code;
        EXPECT_EQ(format->itemText(format->currentIndex()), format->currentText()) << code;
        EXPECT_GE(format->findText(QString::fromUtf8(expected)), 0) << code;
    }
}

TEST_F(ProgramLifeCycle, AutoSaveOnClosingButNotOnTheMenuExit)
{
    create();
    QSignalSpy end(&windows(), &ProgramWindows::programEnd);
    const QString autoFile = homePath(QStringLiteral("Auto.qpcf"));
    prog().action(QStringLiteral("m_konfig_autosave_alles"))->trigger();
    EXPECT_TRUE(prog().action(QStringLiteral("m_konfig_autosave_alles"))->isChecked());
    EXPECT_FALSE(prog().action(QStringLiteral("m_konfig_autosave_nie"))->isChecked());

    prog().action(QStringLiteral("m_datei_beenden"))->trigger();
    EXPECT_EQ(end.count(), 1);
    EXPECT_FALSE(QFile::exists(autoFile));

    EXPECT_TRUE(prog().close());
    EXPECT_EQ(end.count(), 2);
    EXPECT_TRUE(QFile::exists(autoFile));

    // The auto-save choice travels with the start configuration.
    create();
    EXPECT_TRUE(prog().action(QStringLiteral("m_konfig_autosave_alles"))->isChecked());
    prog().action(QStringLiteral("m_konfig_autosave_nie"))->trigger();
    QFile::remove(autoFile);
    EXPECT_TRUE(prog().close());
    EXPECT_FALSE(QFile::exists(autoFile));
}

TEST_F(ProgramLifeCycle, MenuExitEndsTheEventLoopWithoutAutoSave)
{
    create();
    windows().endEventLoopOnProgramEnd();
    prog().action(QStringLiteral("m_konfig_autosave_alles"))->trigger();
    QTimer::singleShot(0, &prog(), [this] { prog().action(QStringLiteral("m_datei_beenden"))->trigger(); });
    QTimer guard;
    guard.setSingleShot(true);
    QObject::connect(&guard, &QTimer::timeout, [] { QCoreApplication::exit(1); });
    guard.start(10000);
    EXPECT_EQ(QCoreApplication::exec(), 0);
    EXPECT_FALSE(QFile::exists(homePath(QStringLiteral("Auto.qpcf"))));
}

TEST_F(ProgramLifeCycle, FailingAutoSaveKeepsTheWindowOpen)
{
    create();
    QSignalSpy end(&windows(), &ProgramWindows::programEnd);
    prog().action(QStringLiteral("m_konfig_autosave_alles"))->trigger();
    // A folder where the start configuration should be: the save cannot create its file.
    ASSERT_TRUE(QDir().mkpath(homePath(QStringLiteral("Auto.qpcf"))));
    EXPECT_FALSE(prog().close());
    EXPECT_TRUE(prog().isVisible());
    EXPECT_EQ(end.count(), 0);
    ASSERT_EQ(errors.size(), 1);
    EXPECT_TRUE(errors[0].contains(QStringLiteral("Auto.qpcf"))) << errors[0].toStdString();

    // Choosing "never" lets it close.
    prog().action(QStringLiteral("m_konfig_autosave_nie"))->trigger();
    EXPECT_TRUE(prog().close());
    EXPECT_EQ(end.count(), 1);
}

TEST_F(ProgramLifeCycle, AutoSaveThatFailsPartWayKeepsTheOldStartConfiguration)
{
    create();
    prog().action(QStringLiteral("m_konfig_autosave_alles"))->trigger();
    const QString autoFile = homePath(QStringLiteral("Auto.qpcf"));
    const QByteArray old("[Mine]\r\nmy=1\r\n");
    {
        QFile f(autoFile);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(old);
    }
    // A real file-size limit: the new content cannot be written past 512 bytes.
    bool closed = true;
    {
        const test::FileSizeLimit limit(512);
        closed = prog().close();
    }
    EXPECT_FALSE(closed);
    EXPECT_TRUE(prog().isVisible());
    EXPECT_EQ(errors, QStringList(QStringLiteral("Unable to write to %1").arg(autoFile)));
    QFile f(autoFile);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(), old);
    EXPECT_EQ(QDir(homePath(QString())).entryList({QStringLiteral("*.qpcf*"), QStringLiteral(".*qpcf*")},
                                                   QDir::Files | QDir::Hidden),
              QStringList(QStringLiteral("Auto.qpcf")));
}

TEST_F(ProgramLifeCycle, LoadedPanelFlagsHideAndShowTheBottomBar)
{
    create();
    auto* createButton = control<QPushButton>(QStringLiteral("durchfuehren"));
    EXPECT_TRUE(createButton->isVisible());
    nextOpenName = writeConfiguration(workPath(QStringLiteral("nobar.qpcf")), "[PBPA]\r\nPanel12=0\r\n");
    prog().action(QStringLiteral("m_konfig_load"))->trigger();
    EXPECT_FALSE(createButton->isVisible());
    EXPECT_TRUE(control(Setting::Panel12)->isHidden());
    EXPECT_TRUE(prog().previewBox()->isVisible());

    // F2 leaves the panels alone; only another configuration brings the bar back.
    prog().action(QStringLiteral("m_konfig_standard"))->trigger();
    EXPECT_FALSE(createButton->isVisible());
    nextOpenName = writeConfiguration(workPath(QStringLiteral("bar.qpcf")), "[PBPA]\r\nPanel12=1\r\n");
    prog().action(QStringLiteral("m_konfig_load"))->trigger();
    EXPECT_TRUE(createButton->isVisible());
}

TEST_F(ProgramLifeCycle, LoadingRedrawsOnceAndAFailingRedrawDoesNotCutItShort)
{
    create();
    nextOpenName = writeConfiguration(workPath(QStringLiteral("bold.qpcf")),
                                      "[PBED]\r\nabs_o=31\r\nabs_u=32\r\n[PBCH]\r\ncb_bold=1\r\n");
    int draws = drawCount();
    prog().action(QStringLiteral("m_konfig_load"))->trigger();
    EXPECT_EQ(drawCount(), draws + 1);
    EXPECT_TRUE(settings().checked(Setting::cb_bold));

    // A font size the renderer refuses comes before the margins in the file's order; the load
    // still takes every value and the error is shown once, at the end.
    nextOpenName = writeConfiguration(workPath(QStringLiteral("huge.qpcf")),
                                      "[PBCB]\r\nFSize=99999\r\n[PBED]\r\nabs_o=41\r\n");
    draws = drawCount();
    EXPECT_FALSE(runReportingErrors([this] {
        prog().action(QStringLiteral("m_konfig_load"))->trigger();
        return true;
    }));
    EXPECT_EQ(settings().text(Setting::FSize), QStringLiteral("99999"));
    EXPECT_EQ(settings().text(Setting::abs_o), QStringLiteral("41"));
    EXPECT_EQ(errors.size(), 1);
    EXPECT_EQ(drawCount(), draws);
    EXPECT_EQ(prog().configurationEntryActions().size(), 2);
}

TEST_F(ProgramLifeCycle, LinkCaptionCyclesEveryTick)
{
    EXPECT_EQ(linkPageFor(0), LinkPage::Help);
    const LinkPage pages[] = {LinkPage::Help, LinkPage::Support, LinkPage::OtherProduct,
                              LinkPage::Contribute, LinkPage::Help, LinkPage::OtherProduct,
                              LinkPage::Help, LinkPage::Contribute};
    for (int counter = 1; counter <= 8; ++counter)
        EXPECT_EQ(linkPageFor(counter), pages[counter - 1]) << counter;

    create();
    EXPECT_EQ(prog().linkTimer()->interval(), 10000);
    for (int tick = 1; tick <= 4; ++tick) {
        prog().Timer1Timer();
        const LinkCaption expected = linkCaption(pages[tick - 1], false);
        EXPECT_EQ(prog().linkCaptionText(), expected.caption);
    }
    QTest::mouseClick(prog().linkLabel(), Qt::LeftButton);
    ASSERT_EQ(openedUrls.size(), 1);
    EXPECT_EQ(openedUrls[0], linkCaption(LinkPage::Contribute, false).url);
    prog().setLanguage(QStringLiteral("de"));
    EXPECT_EQ(prog().linkCaptionText(), linkCaption(LinkPage::Contribute, true).caption);
}

TEST_F(ProgramLifeCycle, CreateAndSaveWritesTheImages)
{
    create();
    const QString folder = homePath(QStringLiteral("pictures"));
    settings().setText(Setting::out_ordner, QDir::toNativeSeparators(folder));
    settings().setText(Setting::out_format, QStringLiteral("*.png - Portable Network Graphics"));
    settings().setChecked(Setting::txt_line, true);
    prog().memo()->setPlainText(QStringLiteral("Hello World\nSecond"));
    QTest::mouseClick(control(QStringLiteral("durchfuehren")), Qt::LeftButton);
    EXPECT_TRUE(QFile::exists(QDir(folder).filePath(QStringLiteral("hello_world.png"))));
    EXPECT_TRUE(QFile::exists(QDir(folder).filePath(QStringLiteral("second.png"))));
    EXPECT_TRUE(prog().isEnabled());

    // Ctrl+S does the same.
    prog().activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&prog()));
    prog().memo()->setFocus();
    QTest::keyClick(prog().memo(), Qt::Key_S, Qt::ControlModifier);
    EXPECT_TRUE(QFile::exists(QDir(folder).filePath(QStringLiteral("hello_world1.png"))));
    EXPECT_TRUE(errors.isEmpty()) << errors.join(u'\n').toStdString();
}

TEST_F(ProgramLifeCycle, MenuShortcutsWinOverTextFields)
{
    create();
    prog().activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&prog()));
    prog().pages()->setCurrentIndex(3);
    auto* name = control<QLineEdit>(QStringLiteral("ed_name"));
    name->setFocus();
    QTest::keyClick(name, Qt::Key_K, Qt::ControlModifier);
    EXPECT_EQ(proposedNames.size(), 1);
    EXPECT_EQ(settings().text(Setting::ed_name), QStringLiteral("quillpress"));
    QTest::keyClick(name, Qt::Key_N, Qt::ControlModifier);
    EXPECT_EQ(prog().pages()->currentIndex(), 0);
    QTest::keyClick(prog().memo(), Qt::Key_F3);
    EXPECT_EQ(messages.size(), 1);
}

TEST_F(ProgramLifeCycle, SmallDesktopMaximisesAtFirstActivation)
{
    create({}, false);
    prog().setClientSize(QSize(594, 646));
    prog().show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&prog()));
    const QSize desk = prog().screen()->availableGeometry().size();
    const bool small = desk.height() < 646 + 50 || desk.width() < 594 + 50;
    EXPECT_EQ(prog().maximizesAtActivation(), small);
    if (small) {
        prog().activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&prog()));
        EXPECT_TRUE(test::waitUntil([this] { return prog().isMaximized(); }));
        EXPECT_FALSE(prog().maximizesAtActivation());
    }
}

TEST_F(ProgramLifeCycle, ErrorsOfACommandAreShownAndTheProgramGoesOn)
{
    EXPECT_FALSE(runReportingErrors([]() -> bool { throw RenderError("too large"); }));
    EXPECT_EQ(errors, QStringList({QStringLiteral("too large")}));
    EXPECT_TRUE(runReportingErrors([] { return true; }));

    // A font size the renderer refuses: the error ends the redraw, the old picture stays, and
    // the next change redraws again.
    create();
    errors.clear();
    const int draws = drawCount();
    const QImage before = prog().previewBox()->picture();
    EXPECT_FALSE(runReportingErrors([this] {
        settings().setText(Setting::FSize, QStringLiteral("99999"));
        return true;
    }));
    ASSERT_EQ(errors.size(), 1);
    EXPECT_EQ(drawCount(), draws);
    EXPECT_EQ(prog().previewBox()->picture(), before);
    settings().setText(Setting::FSize, QStringLiteral("30"));
    EXPECT_EQ(drawCount(), draws + 1);
}

} // namespace
} // namespace qp::testing
