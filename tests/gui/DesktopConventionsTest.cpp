// SPDX-License-Identifier: MIT
// What a desktop user reaches for: Ctrl+Q, Ctrl+O and the menus' mnemonics beside the program's
// own shortcuts, the undo of a reset, and a window placement that comes back where it was saved.
#include "support/widgets/ProgramFixture.h"

#include "core/i18n/Catalog.h"
#include "core/settings/Configuration.h"
#include "core/settings/ConfigurationMenu.h"

#include "core/app/Version.h"

#include <QComboBox>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QMessageBox>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QSignalSpy>

namespace qp::testing {
namespace {

using DesktopConventions = ProgramFixture;

QKeySequence keys(QKeyCombination combination)
{
    return QKeySequence(combination);
}

// Makes the main window the active one, so that its shortcuts reach it.
void activate(Tprog& prog)
{
    prog.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&prog));
}

TEST_F(DesktopConventions, ShortcutsAndMnemonicsInBothLanguages)
{
    create();
    // Every shortcut the program names stays; Ctrl+O loads a configuration beside Ctrl+K.
    EXPECT_EQ(prog().action("m_datei_konvert")->shortcut(), keys(Qt::CTRL | Qt::Key_S));
    EXPECT_EQ(prog().action("m_datei_next")->shortcut(), keys(Qt::CTRL | Qt::Key_N));
    EXPECT_EQ(prog().action("m_konfig_load")->shortcuts(),
              (QList<QKeySequence>{keys(Qt::CTRL | Qt::Key_K), keys(Qt::CTRL | Qt::Key_O)}));
    EXPECT_EQ(prog().action("m_konfig_standard")->shortcut(), keys(Qt::Key_F2));
    EXPECT_EQ(prog().action("m_konfig_start")->shortcut(), keys(Qt::Key_F3));
    EXPECT_EQ(prog().action("quit")->shortcut(), keys(Qt::CTRL | Qt::Key_Q));

    for (const char* code : {"en", "de"}) {
        prog().setLanguage(QString::fromLatin1(code));
        EXPECT_EQ(prog().action(Language::isGerman() ? "m_hilfe_de" : "m_hilfe_en")->shortcut(), keys(Qt::Key_F1));
        QList<QKeySequence> mnemonics;
        for (QAction* entry : prog().menuBar()->actions()) {
            if (!entry->menu() || !entry->isVisible())
                continue;
            const QKeySequence mnemonic = QKeySequence::mnemonic(entry->text());
            EXPECT_FALSE(mnemonic.isEmpty()) << entry->text().toStdString();
            EXPECT_FALSE(mnemonics.contains(mnemonic)) << entry->text().toStdString();
            mnemonics << mnemonic;
        }
        EXPECT_EQ(mnemonics.size(), 4) << code;
        EXPECT_TRUE(mnemonics.contains(keys(Qt::ALT | Qt::Key_H))) << code;
    }
}

// Every entry of every menu, submenus too, has an access letter of its own within its menu, in
// both languages, and its text is the program's text with the mark added. The menu shows the keys
// of an entry: its shortcut, or, where the menu would show only one or none of them, a shortcut
// column after a tab (Ctrl+K and Ctrl+O to load a configuration, Ctrl+Q beside the exit entry),
// in the toolkit's language.
TEST_F(DesktopConventions, EveryMenuEntryHasAnAccessLetterOfItsOwnAndShowsItsKeys)
{
    create();
    // A configuration file's entry is named by its path and has no access letter.
    prog().configurationMenu().addEntry(writeConfiguration(workPath("A&B.qpcf"), "[SP]\r\n"));
    ASSERT_FALSE(prog().configurationEntryActions().isEmpty());
    for (const char* code : {"en", "de"}) {
        SCOPED_TRACE(code);
        prog().setLanguage(QString::fromLatin1(code));
        int entries = 0;
        std::function<void(QMenu*)> check = [&](QMenu* menu) {
            QList<QKeySequence> taken;
            for (QAction* entry : menu->actions()) {
                if (entry->isSeparator() || !entry->isVisible() || prog().configurationEntryActions().contains(entry))
                    continue;
                ++entries;
                const QString name = entry->menu() ? entry->menu()->objectName() : entry->objectName();
                const QString caption = entry->text().section(u'\t', 0, 0);
                EXPECT_EQ(withoutAccessMark(caption), catalogText("prog", name, QString::fromLatin1(code)))
                    << name.toStdString();
                const QKeySequence letter = QKeySequence::mnemonic(caption);
                EXPECT_FALSE(letter.isEmpty()) << name.toStdString();
                EXPECT_FALSE(taken.contains(letter)) << name.toStdString() << " in " << menu->objectName().toStdString();
                taken << letter;
                if (entry->menu())
                    check(entry->menu());
            }
        };
        for (QAction* title : prog().menuBar()->actions())
            if (title->isVisible() && title->menu())
                check(title->menu());
        EXPECT_EQ(entries, 4 + 4 + 2 + 7 + 2 + 3) << "File, Settings, Language, Configuration, Auto Save, Help";

        const auto column = [](QAction* entry) { return entry->text().section(u'\t', 1); };
        EXPECT_EQ(column(prog().action("m_datei_beenden")),
                  QKeySequence(Qt::CTRL | Qt::Key_Q).toString(QKeySequence::NativeText));
        EXPECT_EQ(column(prog().action("m_konfig_load")),
                  QKeySequence::listToString({keys(Qt::CTRL | Qt::Key_K), keys(Qt::CTRL | Qt::Key_O)},
                                             QKeySequence::NativeText));
        // The other entries with keys show their one shortcut themselves.
        EXPECT_TRUE(column(prog().action("m_datei_konvert")).isEmpty());
        EXPECT_EQ(prog().action("m_datei_konvert")->shortcuts().size(), 1);
        // The shown keys change nothing about what the keys do.
        EXPECT_TRUE(prog().action("m_datei_beenden")->shortcut().isEmpty());
        EXPECT_EQ(prog().action("quit")->shortcut(), keys(Qt::CTRL | Qt::Key_Q));
    }
    // German key names where the toolkit's German texts are installed.
    if (QKeySequence(Qt::CTRL | Qt::Key_Q).toString(QKeySequence::NativeText).startsWith(QLatin1String("Strg"))) {
        EXPECT_EQ(prog().action("m_datei_beenden")->text(), QString::fromUtf8("&Beenden\tStrg+Q"));
    }
}

TEST_F(DesktopConventions, CtrlQClosesLikeTheCloseBoxWithTheAutoSave)
{
    create();
    activate(prog());
    QSignalSpy end(&windows(), &ProgramWindows::programEnd);
    prog().action("m_konfig_autosave_alles")->trigger();
    settings().setText(Setting::abs_l, "33");

    QTest::keyClick(&prog(), Qt::Key_Q, Qt::ControlModifier);
    EXPECT_EQ(end.count(), 1);
    EXPECT_FALSE(prog().isVisible());
    create(); // the start configuration that the auto-save wrote
    EXPECT_EQ(settings().text(Setting::abs_l), "33");

    // A failed auto-save keeps the window open, as with the close box.
    QFile::remove(homePath("Auto.qpcf"));
    ASSERT_TRUE(QDir(homePath("Auto.qpcf")).mkpath("."));
    activate(prog());
    QTest::keyClick(&prog(), Qt::Key_Q, Qt::ControlModifier);
    EXPECT_TRUE(prog().isVisible());
    EXPECT_EQ(errors.size(), 1);
}

TEST_F(DesktopConventions, AResetCanBeUndoneForFifteenSeconds)
{
    create();
    activate(prog());
    auto changeSome = [this] {
        settings().setText(Setting::abs_l, "44");
        settings().setChecked(Setting::cb_bold, true);
        settings().setText(Setting::beldateien, "gif");
        prog().action("m_konfig_autosave_alles")->trigger();
    };
    auto expectChanged = [this] {
        EXPECT_EQ(settings().text(Setting::abs_l), "44");
        EXPECT_TRUE(settings().checked(Setting::cb_bold));
        EXPECT_EQ(settings().text(Setting::beldateien), "gif");
        EXPECT_TRUE(prog().action("m_konfig_autosave_alles")->isChecked());
    };
    auto expectReset = [this] {
        EXPECT_EQ(settings().text(Setting::abs_l), "10");
        EXPECT_FALSE(settings().checked(Setting::cb_bold));
        EXPECT_TRUE(prog().action("m_konfig_autosave_nie")->isChecked());
    };
    QAction* undo = prog().action("m_konfig_standard_undo");
    EXPECT_FALSE(undo->isEnabled());

    // The link in the bottom bar.
    changeSome();
    QTest::keyClick(&prog(), Qt::Key_F2);
    expectReset();
    EXPECT_TRUE(undo->isEnabled());
    ASSERT_TRUE(prog().runSummaryLabel()->isVisible());
    EXPECT_TRUE(prog().runSummaryLabel()->text().contains("Undo Reset"));
    EXPECT_EQ(prog().undoResetTimer()->interval(), 15000);
    emit prog().runSummaryLabel()->linkActivated("#undo-reset");
    expectChanged();
    EXPECT_FALSE(undo->isEnabled());
    EXPECT_FALSE(prog().runSummaryLabel()->isVisible());
    EXPECT_TRUE(prog().linkLabel()->isVisible());

    // Ctrl+Z, in German; the undo is offered once.
    prog().setLanguage("de");
    QTest::keyClick(&prog(), Qt::Key_F2);
    expectReset();
    EXPECT_TRUE(prog().runSummaryLabel()->text().contains(QString::fromUtf8("Zurücksetzen rückgängig machen")));
    QTest::keyClick(&prog(), Qt::Key_Z, Qt::ControlModifier);
    expectChanged();
    settings().setText(Setting::abs_l, "55");
    QTest::keyClick(&prog(), Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(settings().text(Setting::abs_l), "55");

    // After 15 s the reset stays.
    QTest::keyClick(&prog(), Qt::Key_F2);
    prog().undoResetTimer()->start(1);
    EXPECT_TRUE(QTest::qWaitFor([undo] { return !undo->isEnabled(); }));
    EXPECT_FALSE(prog().runSummaryLabel()->isVisible());
    EXPECT_FALSE(prog().configurationMenu().undoStandardConfiguration());
    QTest::keyClick(&prog(), Qt::Key_Z, Qt::ControlModifier);
    expectReset();
}

TEST_F(DesktopConventions, APlacementComesBackAsSavedAndOntoTheScreen)
{
    create();
    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    const QString file = homePath("placed.qpcf");
    for (const QPoint wanted : {screen.topLeft() + QPoint(30, 40), screen.topLeft() + QPoint(1, 20)}) {
        writeConfiguration(file, QStringLiteral("[SP]\r\nPF=0\r\nPB=600\r\nPH=460\r\nPT=%1\r\nPL=%2\r\n")
                                     .arg(wanted.y())
                                     .arg(wanted.x())
                                     .toUtf8());
        prog().configurationMenu().loadEntry(file);
        // Saved again, the same numbers: what is set is what is read.
        const WindowPlacement p = prog().placement();
        EXPECT_EQ(QPoint(p.left, p.top), wanted);
        EXPECT_EQ(QSize(p.clientWidth, p.clientHeight), QSize(600, 460));
        EXPECT_EQ(prog().geometry().topLeft(), wanted);
    }
    // Above and left of every screen: back onto the screen.
    writeConfiguration(file, "[SP]\r\nPF=0\r\nPT=-400\r\nPL=-3000\r\n");
    prog().configurationMenu().loadEntry(file);
    const WindowPlacement p = prog().placement();
    EXPECT_TRUE(screen.contains(QPoint(p.left, p.top))) << p.left << "," << p.top;
}

TEST_F(DesktopConventions, AboutShowsVersionLicenceAndFoldersInBothLanguages)
{
    create();
    settings().setText(Setting::out_ordner, workPath("pictures"));
    for (const auto& [code, entry, licence] : {std::tuple{"en", "m_about_en", "Licence: MIT License"},
                                               std::tuple{"de", "m_about_de", "Lizenz: MIT-Lizenz"}}) {
        prog().setLanguage(QString::fromLatin1(code));
        QAction* about = prog().action(QString::fromLatin1(entry));
        ASSERT_TRUE(about->isVisible());
        about->trigger();
        auto* box = prog().findChild<QMessageBox*>("about");
        ASSERT_NE(box, nullptr);
        EXPECT_TRUE(box->isVisible());
        EXPECT_FALSE(box->isModal());
        EXPECT_EQ(box->windowTitle(), withoutAccessMark(about->text()));
        EXPECT_TRUE(box->text().startsWith("Quillpress " + projectVersion() + "\n")) << box->text().toStdString();
        EXPECT_TRUE(box->text().contains(QString::fromLatin1(licence))) << code;
        EXPECT_TRUE(box->text().contains(settings().programFolder())) << code;
        EXPECT_TRUE(box->text().contains(workPath("pictures"))) << code;
        box->close();
    }
    EXPECT_EQ(prog().findChildren<QMessageBox*>("about").size(), 1);
}

// Drags `data` over the main window and drops it; true when the window took it.
bool dropOn(Tprog& prog, QMimeData& data)
{
    const QPoint at(prog.width() / 2, prog.height() / 2);
    QDragEnterEvent enter(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(&prog, &enter);
    if (!enter.isAccepted())
        return false;
    QDropEvent drop(QPointF(at), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(&prog, &drop);
    return drop.isAccepted();
}

TEST_F(DesktopConventions, DropsLoadConfigurationsAndTextAndRefuseOtherFiles)
{
    create();
    QPlainTextEdit* memo = prog().memo();
    EXPECT_FALSE(memo->acceptDrops());
    EXPECT_FALSE(memo->viewport()->acceptDrops());
    auto fileDrag = [](const QStringList& paths) {
        auto data = std::make_unique<QMimeData>();
        QList<QUrl> urls;
        for (const QString& p : paths)
            urls << QUrl::fromLocalFile(p);
        data->setUrls(urls);
        return data;
    };
    auto writeFile = [](const QString& path, const QByteArray& bytes) {
        QFile f(path);
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
        return path;
    };

    // Configurations: loaded in order, each with its entry.
    const QString first = writeConfiguration(workPath("first.qpcf"), "[PBED]\r\ned_name=first\r\nabs_l=21\r\n");
    const QString second = writeConfiguration(workPath("second.qpcf"), "[PBED]\r\ned_name=second\r\n");
    EXPECT_TRUE(dropOn(prog(), *fileDrag({first, second})));
    EXPECT_EQ(settings().text(Setting::ed_name), "second");
    EXPECT_EQ(settings().text(Setting::abs_l), "21");
    QStringList entries;
    for (QAction* a : prog().configurationEntryActions())
        entries << a->data().toString();
    EXPECT_EQ(entries, (QStringList{first, second}));

    // A text file (UTF-8, or UTF-16 with its mark) and dragged text become the text.
    EXPECT_TRUE(dropOn(prog(), *fileDrag({writeFile(workPath("notes.txt"), "Gr\xc3\xbc\xc3\x9f""e\nzwei")})));
    EXPECT_EQ(memo->toPlainText(), QString::fromUtf8("Grüße\nzwei"));
    EXPECT_TRUE(dropOn(prog(), *fileDrag({writeFile(workPath("wide.txt"), QByteArray("\xff\xfeO\0k\0", 6))})));
    EXPECT_EQ(memo->toPlainText(), "Ok");
    QMimeData text;
    text.setText("dragged words");
    EXPECT_TRUE(dropOn(prog(), text));
    EXPECT_EQ(memo->toPlainText(), "dragged words");

    // A configuration whose extension is in capitals is no configuration, but still a text file.
    const QString capitals = writeConfiguration(workPath("LOUD.QPCF"), "[PBED]\r\ned_name=loud\r\n");
    EXPECT_TRUE(dropOn(prog(), *fileDrag({capitals})));
    EXPECT_EQ(settings().text(Setting::ed_name), "second");
    EXPECT_TRUE(memo->toPlainText().startsWith("[PBED]"));
    memo->setPlainText("dragged words");

    // Refused: an image, a folder, a configuration beside another file, a remote address, and a
    // drag that carries nothing usable.
    QImage(4, 4, QImage::Format_RGB32).save(workPath("picture.png"));
    QDir(workPath("")).mkdir("folder");
    for (const QStringList& refused : {QStringList{workPath("picture.png")}, QStringList{workPath("folder")},
                                       QStringList{first, workPath("notes.txt")}}) {
        EXPECT_FALSE(dropOn(prog(), *fileDrag(refused))) << refused.join(' ').toStdString();
    }
    QMimeData remote;
    remote.setUrls({QUrl("https://example.org/x.qpcf")});
    EXPECT_FALSE(dropOn(prog(), remote));
    QMimeData nothing;
    nothing.setData("application/octet-stream", "1234");
    EXPECT_FALSE(dropOn(prog(), nothing));
    EXPECT_EQ(memo->toPlainText(), "dragged words");
    EXPECT_EQ(settings().text(Setting::ed_name), "second");
    EXPECT_EQ(prog().configurationEntryActions().size(), 2);
}

// A dropped text replaces the text with the caret at its start: the line counter says line 1,
// whether the drop is dragged text or a text file, shorter or longer than the text before, and in
// per-line mode the preview shows the dropped text's first line.
TEST_F(DesktopConventions, TheLineCounterFollowsADroppedText)
{
    create();
    settings().setChecked(Setting::txt_line, true);
    QPlainTextEdit* memo = prog().memo();
    const auto numbered = [](const char* word, int count) {
        QStringList lines;
        for (int i = 1; i <= count; ++i)
            lines << QStringLiteral("%1 %2").arg(QLatin1String(word)).arg(i);
        return lines.join(u'\n');
    };
    const auto toLastLine = [&] {
        memo->setPlainText(numbered("typed", 121));
        memo->setFocus();
        QTest::keyClick(memo, Qt::Key_End, Qt::ControlModifier);
        QTest::keyClick(memo, Qt::Key_Up);
        QTest::keyClick(memo, Qt::Key_Down);
        ASSERT_EQ(prog().lineCounter()->text(), QStringLiteral("121"));
    };
    QFile file(workPath("two.txt"));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("file 1\nfile 2\n");
    file.close();

    struct Case {
        const char* what;
        std::function<std::unique_ptr<QMimeData>()> drag;
        QString firstLine;
    };
    const Case cases[] = {
        {"two dragged lines",
         [&] {
             auto data = std::make_unique<QMimeData>();
             data->setText(numbered("dropped", 2));
             return data;
         },
         "dropped 1"},
        {"a longer dragged text",
         [&] {
             auto data = std::make_unique<QMimeData>();
             data->setText(numbered("dropped", 200));
             return data;
         },
         "dropped 1"},
        {"a text file",
         [&] {
             auto data = std::make_unique<QMimeData>();
             data->setUrls({QUrl::fromLocalFile(workPath("two.txt"))});
             return data;
         },
         "file 1"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        toLastLine();
        const std::unique_ptr<QMimeData> data = c.drag();
        ASSERT_TRUE(dropOn(prog(), *data));
        EXPECT_TRUE(memo->toPlainText().startsWith(c.firstLine));
        EXPECT_EQ(prog().lineCounter()->text(), QStringLiteral("1"));
        const QImage shown = prog().previewBox()->picture();
        memo->setPlainText(c.firstLine); // the preview of that line alone
        EXPECT_TRUE(prog().previewBox()->picture() == shown);
    }
}

} // namespace
} // namespace qp::testing
