// SPDX-License-Identifier: MIT
// The message window: one message per identifier with its texts in the current language, the
// parameter shortened and in double quotes, "OK for all" only with the save error, and its
// placement over the main window.
#include "support/widgets/ModalDriver.h"

#include "core/i18n/Language.h"
#include "core/run/Messages.h"
#include "gui/run/SecondaryWindow.h"
#include "gui/run/Tsm_meldung.h"

#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>

namespace qp {
namespace {

struct Shown {
    QString title, line1, line2, line3;
    bool okAllVisible = false;
    QPoint position;
    int line2Width = 0;
};

class MessageWindowTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        main.move(100, 50);
        main.resize(800, 600);
        main.show();
    }
    void TearDown() override { Language::setCode(QStringLiteral("en")); }

    // Shows a message and presses `button` ("OK" or "OKalle") as soon as it is up.
    Shown show(const QString& id, const QString& parameter, const char* button = "OK")
    {
        Shown seen;
        test::ModalDriver driver(window, [&](QDialog& w) {
            auto text = [&w](const char* name) { return w.findChild<QLabel*>(name)->text(); };
            seen = {text("Label1"), text("Label2"), text("Label3"), text("Label4"),
                    w.findChild<QPushButton*>("OKalle")->isVisible(), w.pos(),
                    w.findChild<QLabel*>("Label3")->fontMetrics().horizontalAdvance(text("Label3"))};
            QTest::mouseClick(w.findChild<QPushButton*>(button), Qt::LeftButton);
        });
        window.meldungzeigen(id, parameter, &main);
        EXPECT_EQ(driver.shown(), 1);
        EXPECT_EQ(driver.forcedClose(), 0);
        return seen;
    }

    QWidget main;
    Tsm_meldung window{&main};
};

TEST_F(MessageWindowTest, EveryIdentifierShowsItsTextsInBothLanguages)
{
    const QString folder = QStringLiteral("/data/images");
    for (const char* language : {"de", "en"}) {
        Language::setCode(QString::fromLatin1(language));
        window.Sprache();
        for (const QString& id : {MessageId::keinordner, MessageId::ordnerfalsch, MessageId::keinname,
                                  MessageId::keinestartkonfig, MessageId::speicherfehler}) {
            SCOPED_TRACE(language + (" " + id.toStdString()));
            const MessageText expected = *messageText(id);
            const Shown seen = show(id, folder);
            EXPECT_EQ(seen.title, expected.title);
            EXPECT_EQ(seen.line1, expected.line1);
            EXPECT_EQ(seen.line2, expected.showsParameter ? u"\"/data/images\""_qs : expected.line2);
            EXPECT_EQ(seen.line3, expected.line3);
            EXPECT_EQ(seen.okAllVisible, id == MessageId::speicherfehler);
        }
    }
    // The language reaches the window: a few texts as the user reads them.
    Language::setCode(QStringLiteral("de"));
    window.Sprache();
    EXPECT_EQ(show(MessageId::speicherfehler, folder, "OKalle").title, u"Fehler beim Speichern"_qs);
    EXPECT_EQ(window.findChild<QPushButton*>("OKalle")->text(), u"OK für alle"_qs);
    Language::setCode(QStringLiteral("en"));
    window.Sprache();
    EXPECT_EQ(show(MessageId::keinordner, QString()).line2, u"Saving-Options no Folder is declared."_qs);
    EXPECT_EQ(window.findChild<QPushButton*>("OKalle")->text(), u"OK for all"_qs);
}

TEST_F(MessageWindowTest, LongParameterIsShortenedToTheLineInQuotes)
{
    const QString path = QStringLiteral("/home/someone/documents/projects/an-exceptionally-long-folder-name/"
                                        "another-rather-long-folder/images/output/greeting_card.png");
    const Shown seen = show(MessageId::speicherfehler, path, "OK");
    EXPECT_TRUE(seen.line2.startsWith(u"\"/.../"_qs)) << seen.line2.toStdString();
    EXPECT_TRUE(seen.line2.endsWith(u"/greeting_card.png\""_qs)) << seen.line2.toStdString();
    EXPECT_LE(seen.line2Width, noticeTextArea().width());
}

TEST_F(MessageWindowTest, OkForAllOnlyWithTheSaveErrorAndSetsTheFlag)
{
    show(MessageId::speicherfehler, QStringLiteral("/tmp/a.jpg"), "OK");
    EXPECT_FALSE(window.acknowledgedAll());
    const Shown saveError = show(MessageId::speicherfehler, QStringLiteral("/tmp/b.jpg"), "OKalle");
    EXPECT_TRUE(saveError.okAllVisible);
    EXPECT_TRUE(window.acknowledgedAll());
    // The button is hidden again for every other message; the flag stays until it is cleared.
    EXPECT_FALSE(show(MessageId::keinname, QString()).okAllVisible);
    EXPECT_TRUE(window.acknowledgedAll());
    window.clearAcknowledgedAll();
    EXPECT_FALSE(window.acknowledgedAll());
}

TEST_F(MessageWindowTest, UnknownIdentifierLeavesThePreviousLines)
{
    const Shown before = show(MessageId::speicherfehler, QStringLiteral("/tmp/c.jpg"));
    const Shown after = show(QStringLiteral("Speicherfehler"), QStringLiteral("/tmp/d.jpg"));
    EXPECT_EQ(after.title, before.title);
    EXPECT_EQ(after.line2, u"\"/tmp/c.jpg\""_qs);
    EXPECT_FALSE(after.okAllVisible);
}

TEST_F(MessageWindowTest, EscapeDoesNotCloseTheWindow)
{
    bool stillOpen = false;
    test::ModalDriver driver(window, [&](QDialog& w) {
        QTest::keyClick(&w, Qt::Key_Escape);
        stillOpen = w.isVisible();
        QTest::mouseClick(w.findChild<QPushButton*>("OK"), Qt::LeftButton);
    });
    window.meldungzeigen(MessageId::keinname, QString(), &main);
    EXPECT_TRUE(stillOpen);
    EXPECT_EQ(driver.forcedClose(), 0);
}

TEST(NoticePlacement, CentredOverTheMainWindowTruncatingTowardZero)
{
    struct Case {
        QPoint main;
        QSize client;
        QPoint expected;
    };
    const Case cases[] = {
        {{100, 50}, {800, 600}, {100 + 319 / 2, 50 + 380 / 2}},   // (800-481)/2 = 159, (600-220)/2 = 190
        {{0, 0}, {482, 221}, {0, 0}},                            // 1/2 = 0
        {{10, 20}, {300, 101}, {10 - 90, 20 - 59}},              // -181/2 = -90, -119/2 = -59 (not -60)
        {{-40, -30}, {481, 220}, {-40, -30}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(centredOver(c.main, c.client, kNoticeClientSize), c.expected)
            << c.client.width() << "x" << c.client.height();
}

TEST_F(MessageWindowTest, ShownOverTheMainWindowWithItsFixedSize)
{
    main.move(30, 40);
    main.resize(640, 480);
    const Shown seen = show(MessageId::keinordner, QString());
    const QPoint expected = main.pos() + QPoint((640 - 481) / 2, (480 - 220) / 2);
    EXPECT_EQ(seen.position, expected);
    EXPECT_EQ(window.size(), QSize(481, 220));
}

} // namespace
} // namespace qp
