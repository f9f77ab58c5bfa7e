// SPDX-License-Identifier: MIT
// Writes pictures of the start window, every page of the main window and its menus in both
// languages into the folder named by QP_SCREENSHOT_DIR. scripts/screenshots.sh runs it under
// Xvfb, for faithful fonts.
#include "support/widgets/ProgramFixture.h"

#include "gui/render/FontListBox.h"

#include <QScopeGuard>
#include <QScreen>
#include <QPlainTextEdit>

namespace qp::testing {
namespace {

using MainWindowScreenshots = ProgramFixture;

TEST_F(MainWindowScreenshots, StartAndMainWindowInBothLanguages)
{
    const QString folder = qEnvironmentVariable("QP_SCREENSHOT_DIR");
    ASSERT_FALSE(folder.isEmpty()) << "QP_SCREENSHOT_DIR names the folder of the pictures";
    ASSERT_TRUE(QDir().mkpath(folder));
    auto save = [&folder](const QImage& image, const QString& name) {
        EXPECT_TRUE(image.save(QDir(folder).filePath(name + QStringLiteral(".png")))) << name.toStdString();
    };
    auto grab = [](QWidget& w) {
        QTest::qWait(80);
        return w.grab().toImage();
    };

    // A fixed program folder, so that the Configuration menu shows the same path in every run.
    const QString home = QDir::tempPath() + QStringLiteral("/quillpress-pictures");
    QDir(home).removeRecursively();
    ASSERT_TRUE(QDir().mkpath(home));
    const auto removeHome = qScopeGuard([&home] { QDir(home).removeRecursively(); });
    qputenv("QUILLPRESS_HOME", home.toLocal8Bit());
    writeConfiguration(QDir(home).filePath(QStringLiteral("Banner.qpcf")), "");
    create({}, false);
    prog().setClientSize(QSize(594, 646));
    prog().show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&prog()));
    prog().showNormal();
    prog().setClientSize(QSize(594, 646));

    // What a user might have set up: two lines, a serif face, white on blue, centred.
    prog().memo()->setPlainText(QStringLiteral("Grand Opening\nSaturday, 10 o'clock"));
    settings().setText(Setting::act_text_fontcolor, QStringLiteral("#FFFFFF"));
    settings().setText(Setting::act_text_hintergrund, QStringLiteral("#0F3F6F"));
    settings().setChecked(Setting::rb_alcenter, true);
    settings().setText(Setting::FSize, QStringLiteral("24"));
    settings().setText(Setting::abs_o, QStringLiteral("14"));
    settings().setText(Setting::abs_u, QStringLiteral("14"));
    settings().setText(Setting::abs_l, QStringLiteral("24"));
    settings().setText(Setting::abs_r, QStringLiteral("24"));
    prog().fontList()->selectName(QStringLiteral("DejaVu Serif"));
    settings().setText(Setting::label2, QStringLiteral("DejaVu Serif"));
    settings().setFontListSelected(true);
    settings().setText(Setting::out_ordner, QStringLiteral("/home/anna/Pictures/Quillpress"));
    prog().Vorschau();

    static const char* pages[] = {"text", "font", "margins", "save"};
    for (const char* language : {"en", "de"}) {
        const QString code = QString::fromLatin1(language);
        prog().setLanguage(code);
        for (int page = 0; page < 4; ++page) {
            prog().pages()->setCurrentIndex(page);
            save(grab(prog()), QStringLiteral("main-%1-%2").arg(QString::fromLatin1(pages[page]), code));
        }

        // The Configuration menu, opened below its title: the screen around window and menu.
        prog().pages()->setCurrentIndex(0);
        QMenu* menu = prog().configMenu();
        const QRect title = prog().menuBar()->actionGeometry(menu->menuAction());
        menu->popup(prog().menuBar()->mapToGlobal(title.bottomLeft()));
        QTest::qWait(150);
        const QRect area = prog().geometry().united(menu->geometry());
        save(prog().screen()->grabWindow(0, area.x(), area.y(), area.width(), area.height()).toImage(),
             QStringLiteral("main-menu-configuration-%1").arg(code));
        menu->close();

        start().sprache();
        start().show();
        save(grab(start()), QStringLiteral("start-%1").arg(code));
        start().hide();
    }
}

} // namespace
} // namespace qp::testing
