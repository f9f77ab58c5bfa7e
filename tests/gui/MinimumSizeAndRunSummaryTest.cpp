// SPDX-License-Identifier: MIT
// The main window at its minimum size shows every page whole, and after a run its bottom bar
// says for a while how many images went where, with a link to the folder.
#include "support/widgets/ModalDriver.h"
#include "support/widgets/ProgramFixture.h"

#include "core/render/Renderer.h"
#include "gui/run/Tsm_bearbeitung.h"
#include "gui/run/Tsm_meldung.h"
#include "support/WaitUntil.h"

#include <QLayout>
#include <QPlainTextEdit>

namespace qp::testing {
namespace {

using MinimumSizeAndRunSummary = ProgramFixture;

// Whether `layout`, or a layout nested in it, places `w`.
bool placedBy(const QLayout* layout, const QWidget* w)
{
    for (int i = 0; i < layout->count(); ++i) {
        QLayoutItem* item = layout->itemAt(i);
        if (item->widget() == w || (item->layout() && placedBy(item->layout(), w)))
            return true;
    }
    return false;
}

TEST_F(MinimumSizeAndRunSummary, EveryPageFitsAtTheMinimumSize)
{
    create();
    EXPECT_EQ(prog().minimumSize(), QSize(590, 450));
    for (const char* language : {"en", "de"}) {
        prog().setLanguage(QString::fromLatin1(language));
        prog().resize(prog().minimumSize());
        test::waitUntil([this] { return prog().size() == QSize(590, 450); });
        ASSERT_EQ(prog().size(), QSize(590, 450));
        auto* bar = control<QWidget>(QStringLiteral("Panel12"));
        const int barTop = bar->mapTo(&prog(), QPoint(0, 0)).y();
        const QRect tabs(prog().pages()->mapTo(&prog(), QPoint(0, 0)), prog().pages()->size());
        EXPECT_LE(tabs.bottom(), barTop) << language;

        for (int page = 0; page < prog().pages()->count(); ++page) {
            prog().pages()->setCurrentIndex(page);
            QWidget* shown = prog().pages()->currentWidget();
            shown->layout()->activate();
            // What the page switch and the layout posted (showing, resizing) is handled first.
            QCoreApplication::processEvents();
            const QRect pageRect(QPoint(0, 0), shown->size());
            // Nothing of the page is cut off or squeezed below the height it needs.
            for (QWidget* w : shown->findChildren<QWidget*>()) {
                if (!w->isVisible() || w->isWindow())
                    continue;
                const QRect r(w->mapTo(shown, QPoint(0, 0)), w->size());
                EXPECT_TRUE(pageRect.contains(r))
                    << language << " page " << page << ": " << w->objectName().toStdString() << " at "
                    << r.y() << "+" << r.height() << " in " << pageRect.height();
                // The controls the page's layouts place (not the parts inside a spin or combo box).
                const QLayout* parentLayout = w->parentWidget()->layout();
                const bool control = qobject_cast<QLabel*>(w) || qobject_cast<QAbstractButton*>(w) ||
                                     qobject_cast<QLineEdit*>(w) || qobject_cast<QComboBox*>(w) ||
                                     qobject_cast<QGroupBox*>(w);
                if (control && parentLayout && placedBy(parentLayout, w) &&
                    !w->parentWidget()->inherits("qp::ArrowButtons")) {
                    EXPECT_GE(w->height(), w->minimumSizeHint().height())
                        << language << " page " << page << ": " << w->metaObject()->className() << " "
                        << w->objectName().toStdString() << " in "
                        << w->parentWidget()->objectName().toStdString();
                }
            }
        }
    }
}

TEST_F(MinimumSizeAndRunSummary, RunSummaryCountsImagesAndFailuresAndOpensTheFolder)
{
    create();
    const QString out = homePath(QStringLiteral("pictures/out"));
    settings().setText(Setting::out_ordner, out);
    settings().setChecked(Setting::txt_line, true);
    prog().memo()->setPlainText(QStringLiteral("one\ntwo\nthree"));
    QLabel* summary = prog().runSummaryLabel();
    EXPECT_FALSE(summary->isVisible());

    prog().durchfuehrenClick();
    ASSERT_TRUE(summary->isVisible());
    EXPECT_FALSE(prog().linkLabel()->isVisible());
    EXPECT_TRUE(summary->text().contains(QStringLiteral("3 images written to ")));
    EXPECT_TRUE(summary->text().contains(QDir::toNativeSeparators(out)));
    EXPECT_FALSE(summary->text().contains(QStringLiteral("failed")));
    emit summary->linkActivated(QUrl::fromLocalFile(out).toString());
    ASSERT_EQ(openedUrls.size(), 1);
    EXPECT_EQ(openedUrls[0].toLocalFile(), out);

    // After a while the link comes back.
    ASSERT_TRUE(prog().runSummaryTimer()->isActive());
    EXPECT_GE(prog().runSummaryTimer()->interval(), 5000);
    prog().runSummaryTimer()->start(1);
    EXPECT_TRUE(test::waitUntil([summary] { return !summary->isVisible(); }));
    EXPECT_FALSE(summary->isVisible());
    EXPECT_TRUE(prog().linkLabel()->isVisible());

    // German, one written and two failed: a file where the folder should be makes every write
    // fail, one at a time, each with its message (the message window is confirmed at once).
    prog().setLanguage(QStringLiteral("de"));
    test::ModalDriver confirm(windows().messages(), [](QDialog& d) { d.accept(); });
    prog().memo()->setPlainText(QStringLiteral("four"));
    prog().durchfuehrenClick();
    EXPECT_TRUE(summary->text().contains(QStringLiteral("1 Bild gespeichert in ")));

    const QString blocked = homePath(QStringLiteral("blocked"));
    writeConfiguration(blocked, "a file, not a folder");
    settings().setText(Setting::out_ordner, blocked + QStringLiteral("/inside"));
    prog().memo()->setPlainText(QStringLiteral("five\nsix"));
    prog().durchfuehrenClick();
    EXPECT_TRUE(summary->text().contains(QStringLiteral("0 Bilder gespeichert in ")));
    EXPECT_TRUE(summary->text().contains(QStringLiteral(", 2 fehlgeschlagen"))) << summary->text().toStdString();
    EXPECT_EQ(confirm.shown(), 2);
}

// Shrinking to fit: the summary says which sizes the images were drawn at, one or a range.
// A transparent background in a format without transparency: one notice before the run, which
// then writes every image with the background colour.
TEST_F(MinimumSizeAndRunSummary, AFormatWithoutTransparencyIsNoticedOncePerRun)
{
    create();
    settings().setText(Setting::out_ordner, homePath(QStringLiteral("out")));
    settings().setChecked(Setting::txt_line, true);
    settings().setChecked(Setting::cb_transparent, true);
    settings().setText(Setting::out_format, QStringLiteral("*.jpg - JPEG-Image"));
    QStringList seen;
    test::ModalDriver confirm(windows().messages(), [&](QDialog& d) {
        for (QLabel* l : d.findChildren<QLabel*>())
            if (l->text().contains(QStringLiteral("cannot store")))
                seen << l->text();
        d.accept();
    });
    prog().memo()->setPlainText(QStringLiteral("one\ntwo\nthree"));
    prog().durchfuehrenClick();
    EXPECT_EQ(confirm.shown(), 1);
    EXPECT_EQ(seen, QStringList{QStringLiteral("JPEG cannot store transparency: the background colour is used.")});
    EXPECT_TRUE(prog().runSummaryLabel()->text().contains(QStringLiteral("3 images written to ")));

    settings().setText(Setting::out_format, QStringLiteral("*.png - Portable Network Graphics"));
    prog().durchfuehrenClick();
    EXPECT_EQ(confirm.shown(), 1);
}

TEST_F(MinimumSizeAndRunSummary, RunSummaryNamesTheFittedSizes)
{
    create();
    settings().setText(Setting::out_ordner, homePath(QStringLiteral("out")));
    settings().setChecked(Setting::txt_line, true);
    settings().setChecked(Setting::abstand_fix, true);
    settings().setText(Setting::abs_b, QStringLiteral("200"));
    settings().setText(Setting::abs_h, QStringLiteral("100"));
    settings().setText(Setting::FSize, QStringLiteral("40"));
    settings().setChecked(Setting::cb_fitbox, true);
    QLabel* summary = prog().runSummaryLabel();
    const auto sizeOf = [&](const QString& line) { return *fittedPoints(CreateBitmap(line, settings())); };

    prog().memo()->setPlainText(QStringLiteral("a\nb"));
    prog().durchfuehrenClick();
    EXPECT_TRUE(summary->text().contains(QStringLiteral("; font size used: 40 pt<")))
        << summary->text().toStdString();

    const QString longLine = QStringLiteral("a line far too long for the box");
    prog().memo()->setPlainText(QStringLiteral("a\n") + longLine);
    prog().durchfuehrenClick();
    EXPECT_TRUE(summary->text().contains(QStringLiteral("; font size used: %1–40 pt<").arg(sizeOf(longLine))))
        << summary->text().toStdString();

    settings().setChecked(Setting::cb_fitbox, false);
    prog().durchfuehrenClick();
    EXPECT_FALSE(summary->text().contains(QStringLiteral("font size")));
}

TEST_F(MinimumSizeAndRunSummary, MessageAndProgressWindowsAskForATitleBarWithoutButtons)
{
    create();
    for (QWidget* w : {static_cast<QWidget*>(&windows().messages()), static_cast<QWidget*>(&windows().progress())}) {
        const Qt::WindowFlags f = w->windowFlags();
        EXPECT_TRUE(f & Qt::CustomizeWindowHint) << w->objectName().toStdString();
        EXPECT_TRUE(f & Qt::WindowTitleHint);
        EXPECT_FALSE(f & (Qt::WindowCloseButtonHint | Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint |
                          Qt::WindowSystemMenuHint));
    }
}

} // namespace
} // namespace qp::testing
