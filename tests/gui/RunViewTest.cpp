// SPDX-License-Identifier: MIT
// A real generation run shown by the desktop program's windows: the main window is disabled while
// the progress window (and the option windows) take input, cancel ends the run after the current
// image without a message, and every failed image is reported in its own message window.
#include "support/widgets/ModalDriver.h"

#include "core/i18n/Language.h"
#include "core/run/GenerationRun.h"
#include "core/settings/SettingsModel.h"
#include "gui/output/Toptionen.h"
#include "gui/run/GuiRunView.h"
#include "gui/run/SecondaryWindow.h"
#include "gui/run/Tsm_bearbeitung.h"
#include "gui/run/Tsm_meldung.h"

#include <QDir>
#include <QFile>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>

namespace qp {
namespace {

class RunViewTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(temp.isValid());
        main.resize(700, 500);
        main.show();
        settings.setText(Setting::out_ordner, temp.filePath(u"out"_qs));
        settings.setChecked(Setting::txt_line, true);
        settings.setText(Setting::out_format, u"*.png - Portable Network Graphics"_qs);
        view.attach(&run);
    }
    void TearDown() override { Language::setCode(u"en"_qs); }

    QStringList written() const
    {
        return QDir(temp.filePath(u"out"_qs)).entryList(QDir::Files | QDir::NoDotAndDotDot);
    }
    QProgressBar* bar() { return progress.findChild<QProgressBar*>("Progress"); }

    QTemporaryDir temp;
    SettingsModel settings{temp.path()};
    QWidget main;
    Tsm_bearbeitung progress{&main};
    Tsm_meldung messages{&main};
    Toptionen options{settings, &main};
    GuiRunView view{&main, progress, messages};
    GenerationRun run{settings, view};
};

TEST_F(RunViewTest, CancelDuringTheThirdOfTenImagesWritesThreeFilesAndShowsNoMessage)
{
    const QString text = u"alpha\nbravo\ncharlie\ndelta\necho\nfoxtrot\ngolf\nhotel\nindia\njuliett"_qs;
    test::ModalDriver noMessages(messages, [](QDialog& w) {
        QTest::mouseClick(w.findChild<QPushButton*>("OK"), Qt::LeftButton);
    });

    // Pending events are let through while each image is made: the cancel button is pressed
    // while the third image is under way.
    bool pressed = false, mainDisabled = false, progressUsable = false, optionsUsable = false;
    QString third;
    QTimer watcher;
    watcher.setInterval(0);
    QObject::connect(&watcher, &QTimer::timeout, [&] {
        if (pressed || !progress.isVisible() || bar()->value() != 2)
            return;
        pressed = true;
        mainDisabled = !main.isEnabled();
        progressUsable = progress.isEnabled();
        optionsUsable = options.isEnabled();
        third = progress.findChild<QLabel*>("Label3")->text();
        QTest::mouseClick(progress.findChild<QPushButton*>("Abbrechen"), Qt::LeftButton);
        // The window stays until the current image is done.
        EXPECT_TRUE(progress.isVisible());
    });
    watcher.start();

    const RunResult result = run.run(text);

    EXPECT_TRUE(pressed);
    EXPECT_TRUE(mainDisabled);
    EXPECT_TRUE(progressUsable);
    EXPECT_TRUE(optionsUsable);
    EXPECT_TRUE(third.endsWith(u"charlie.png"_qs)) << third.toStdString();
    EXPECT_TRUE(result.cancelled);
    EXPECT_EQ(result.items, 10);
    EXPECT_EQ(result.written, 3);
    EXPECT_EQ(written(), (QStringList{u"alpha.png"_qs, u"bravo.png"_qs, u"charlie.png"_qs}));
    EXPECT_EQ(bar()->value(), 3);
    EXPECT_EQ(noMessages.shown(), 0);
    EXPECT_FALSE(progress.isVisible());
    EXPECT_TRUE(main.isEnabled());
    EXPECT_FALSE(run.cancelRequested());

    // The next run starts with the cancel flag clear and makes every image.
    pressed = true;
    EXPECT_EQ(run.run(u"kilo\nlima"_qs).written, 2);
}

TEST_F(RunViewTest, EverySaveErrorIsReportedWithItsOwnPath)
{
    // The output folder cannot be created below a file, so every write fails.
    QFile blocker(temp.filePath(u"blocker"_qs));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    settings.setText(Setting::out_ordner, temp.filePath(u"blocker/out"_qs));

    QStringList paths;
    QStringList causes;
    QList<bool> okAllOffered;
    QList<bool> acknowledgedBefore;
    bool mainDisabled = false;
    test::ModalDriver driver(messages, [&](QDialog& w) {
        paths << w.findChild<QLabel*>("Label3")->text();
        const QLabel* cause = w.findChild<QLabel*>("Cause");
        causes << (cause->isVisible() ? cause->text() : QString());
        // Below the message's last line, inside the window.
        EXPECT_GT(cause->y(), w.findChild<QLabel*>("Label4")->y());
        EXPECT_LE(cause->mapTo(&w, QPoint(0, cause->height())).y(), w.height());
        okAllOffered << w.findChild<QPushButton*>("OKalle")->isVisible();
        acknowledgedBefore << messages.acknowledgedAll();
        mainDisabled = !main.isEnabled();
        // "OK for all" on the first message; no step reads it, so the others still come.
        QTest::mouseClick(w.findChild<QPushButton*>(paths.size() == 1 ? "OKalle" : "OK"), Qt::LeftButton);
    });

    const RunResult result = run.run(u"one\ntwo\nthree"_qs);

    EXPECT_EQ(driver.shown(), 3);
    EXPECT_EQ(driver.forcedClose(), 0);
    EXPECT_EQ(result.failed, 3);
    ASSERT_EQ(paths.size(), 3);
    const char* names[] = {"one.png\"", "two.png\"", "three.png\""};
    for (int i = 0; i < 3; ++i) {
        EXPECT_TRUE(paths[i].startsWith(u'"') && paths[i].endsWith(QLatin1String(names[i])))
            << paths[i].toStdString();
        EXPECT_TRUE(okAllOffered[i]);
        // The cause below the message: the folder is blocked by a file.
        EXPECT_TRUE(causes[i].contains(QString::fromLocal8Bit(std::strerror(ENOTDIR)))) << causes[i].toStdString();
    }
    EXPECT_EQ(acknowledgedBefore, (QList<bool>{false, true, true}));
    EXPECT_TRUE(mainDisabled);
    // The run's normal end clears the flag.
    EXPECT_FALSE(messages.acknowledgedAll());
    EXPECT_TRUE(main.isEnabled());
}

TEST_F(RunViewTest, CheckFailureShowsOneMessageAndNoProgress)
{
    settings.setText(Setting::out_ordner, QString());
    bool progressShown = false;
    QString title;
    test::ModalDriver driver(messages, [&](QDialog& w) {
        progressShown = progress.isVisible();
        title = w.findChild<QLabel*>("Label1")->text();
        QTest::mouseClick(w.findChild<QPushButton*>("OK"), Qt::LeftButton);
    });
    EXPECT_FALSE(run.run(u"text"_qs).started);
    EXPECT_EQ(driver.shown(), 1);
    EXPECT_EQ(title, u"No Folder declared"_qs);
    EXPECT_FALSE(progressShown);
    EXPECT_TRUE(main.isEnabled());
}

TEST(ProgressWindow, HeadingsPathAndCancelInBothLanguages)
{
    QWidget main;
    main.move(20, 30);
    main.resize(900, 700);
    Tsm_bearbeitung progress(&main);
    for (const auto& [language, heading, current, cancel] :
         {std::tuple{"de", u"Bilder werden bearbeitet"_qs, u"Aktuelles Bild:"_qs, u"Abbrechen"_qs},
          std::tuple{"en", u"Processing"_qs, u"Current Image:"_qs, u"Break"_qs}}) {
        SCOPED_TRACE(language);
        Language::setCode(QString::fromLatin1(language));
        progress.Sprache();
        progress.startRun(4, &main);
        EXPECT_TRUE(progress.isVisible());
        EXPECT_EQ(progress.pos(), main.pos() + QPoint((900 - 481) / 2, (700 - 220) / 2));
        EXPECT_EQ(progress.findChild<QLabel*>("Label1")->text(), heading);
        EXPECT_EQ(progress.findChild<QLabel*>("Label2")->text(), current);
        EXPECT_TRUE(progress.findChild<QLabel*>("Label3")->text().isEmpty());
        EXPECT_EQ(progress.findChild<QPushButton*>("Abbrechen")->text(), cancel);
        EXPECT_EQ(progress.windowTitle(), u"Brindlewick - Velmora"_qs);
        EXPECT_EQ(progress.findChild<QProgressBar*>("Progress")->maximum(), 4);
        EXPECT_EQ(progress.findChild<QProgressBar*>("Progress")->value(), 0);

        const QString shortPath = u"/tmp/out/hello.png"_qs;
        progress.showCurrent(shortPath);
        EXPECT_EQ(progress.findChild<QLabel*>("Label3")->text(), shortPath);
        const QString longPath = u"/home/someone/a-folder-with-a-remarkably-long-name/and-another-one-that-is-long"
                                 u"/and-a-third-one/images/hello_world.png"_qs;
        progress.showCurrent(longPath);
        auto* line = progress.findChild<QLabel*>("Label3");
        EXPECT_TRUE(line->text().startsWith(u"/.../"_qs)) << line->text().toStdString();
        EXPECT_TRUE(line->text().endsWith(u"/hello_world.png"_qs));
        EXPECT_LE(line->fontMetrics().horizontalAdvance(line->text()), noticeTextArea().width());

        // Cancel only reports the request; the window stays until the run ends.
        int requests = 0;
        const auto connection =
            QObject::connect(&progress, &Tsm_bearbeitung::cancelRequested, [&] { ++requests; });
        QTest::mouseClick(progress.findChild<QPushButton*>("Abbrechen"), Qt::LeftButton);
        QTest::keyClick(&progress, Qt::Key_Escape);
        EXPECT_EQ(requests, 1);
        EXPECT_TRUE(progress.isVisible());
        QObject::disconnect(connection);
        progress.finishRun();
        EXPECT_FALSE(progress.isVisible());
    }
    Language::setCode(u"en"_qs);
}

} // namespace
} // namespace qp
