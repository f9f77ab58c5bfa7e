// SPDX-License-Identifier: MIT
// The controls of the main window: key filters, arrow buttons, enabling rules, the text box's
// line counter, the step button, colour fields with their dialog and pipettes, the font list, and
// which changes redraw the preview.
#include "support/widgets/ProgramFixture.h"

#include "core/render/Renderer.h"
#include "gui/render/ColorField.h"
#include "gui/render/FontListBox.h"
#include "gui/render/PipetteButton.h"
#include "gui/settings/ArrowButtons.h"
#include "support/SettingPrinter.h"
#include "support/WaitUntil.h"

#include <QFontDatabase>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTextBlock>
#include <QToolButton>
#include <QWheelEvent>

namespace qp::testing {
namespace {

using MainWindowControls = ProgramFixture;

// Empties a field (through the model) and types `keys` into it.
void typeInto(QWidget* field, SettingsModel& settings, Setting name, const QString& keys)
{
    settings.setText(name, QString());
    field->setFocus();
    QTest::keyClicks(field, keys);
}

TEST_F(MainWindowControls, KeyFiltersDropWhatAFieldRefuses)
{
    create();
    struct Case {
        Setting name;
        const char* typed;
        const char* shown;
    };
    // The folder field keeps the path separator ("/" here); a name field drops it.
    const Case cases[] = {
        {Setting::abs_o, "-12a3", "-123"},        {Setting::abs_bmax, "4 x0", "40"},
        {Setting::abs_z, "+-7", "-7"},            {Setting::FSize, "1a8.", "18"},
        {Setting::out_ordner, "/a:b\\c/d?e", "/abc/de"}, {Setting::ed_name, "x*y|/z\"", "xyz"},
        {Setting::label2, "Any Face 1:", "Any Face 1:"}, {Setting::act_text_fontcolor, "#0f0F0f", "#0f0F0f"},
    };
    for (const Case& c : cases) {
        const Setting name = c.name;
        typeInto(control(name), settings(), name, QString::fromLatin1(c.typed));
        EXPECT_EQ(settings().text(name), QString::fromLatin1(c.shown)) << c.name;
    }

    // Backspace passes the digits filter.
    auto* fsize = control<QComboBox>(QStringLiteral("FSize"));
    settings().setText(Setting::FSize, QStringLiteral("20"));
    fsize->lineEdit()->end(false);
    QTest::keyClick(fsize, Qt::Key_Backspace);
    EXPECT_EQ(settings().text(Setting::FSize), QStringLiteral("2"));

    // The format box takes no typed keys at all; its value comes from the list.
    auto* format = control<QComboBox>(QStringLiteral("out_format"));
    const QString before = settings().text(Setting::out_format);
    QTest::keyClicks(format, QStringLiteral("abc"));
    QTest::keyClick(format, Qt::Key_Backspace);
    EXPECT_EQ(settings().text(Setting::out_format), before);
    format->setCurrentIndex(1);
    EXPECT_EQ(settings().text(Setting::out_format), QStringLiteral("*.png - Portable Network Graphics"));
}

TEST_F(MainWindowControls, ArrowButtonsStepWithinTheirRanges)
{
    create();
    struct Case {
        Setting name;
        const char* arrows;
        const char* start;
        bool up;
        const char* after;
    };
    const Case cases[] = {
        {Setting::FSize, "UpDown1", "20", true, "21"},       {Setting::FSize, "UpDown1", "100", true, "100"},
        {Setting::FSize, "UpDown1", "0", false, "0"},        {Setting::FSize, "UpDown1", "144", false, "100"},
        {Setting::abs_o, "UpDownO", "10", false, "9"},       {Setting::abs_u, "UpDownU", "10000", true, "10000"},
        {Setting::abs_l, "UpDownL", "-10000", false, "-10000"}, {Setting::abs_r, "UpDownR", "-1", true, "0"},
        {Setting::abs_z, "UpDown2", "1000", true, "1000"},   {Setting::abs_z, "UpDown2", "-1000", false, "-1000"},
        {Setting::abs_z, "UpDown2", "0", false, "-1"},
    };
    for (const Case& c : cases) {
        const Setting name = c.name;
        settings().setText(name, QString::fromLatin1(c.start));
        auto* arrows = control<ArrowButtons>(QString::fromLatin1(c.arrows));
        const int draws = drawCount();
        QTest::mouseClick(c.up ? arrows->upButton() : arrows->downButton(), Qt::LeftButton);
        EXPECT_EQ(settings().text(name), QString::fromLatin1(c.after)) << c.name << " from " << c.start;
        // A press redraws the preview, also at the end of the range.
        EXPECT_GT(drawCount(), draws) << c.name << " from " << c.start;
    }

    // The mouse wheel and the Up/Down keys over a field step the same way.
    settings().setText(Setting::abs_o, QStringLiteral("10"));
    auto* top = control(Setting::abs_o);
    QWheelEvent wheel(QPointF(5, 5), top->mapToGlobal(QPointF(5, 5)), QPoint(), QPoint(0, 120),
                      Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(top, &wheel);
    EXPECT_EQ(settings().text(Setting::abs_o), QStringLiteral("11"));
    QTest::keyClick(top, Qt::Key_Down);
    QTest::keyClick(top, Qt::Key_Down);
    EXPECT_EQ(settings().text(Setting::abs_o), QStringLiteral("9"));
}

TEST_F(MainWindowControls, SizeModeEnablesItsControlsAndLabels)
{
    create();
    const QStringList variableOnly = {"max_breite", "abs_bmax", "Label23", "Label24"};
    const QStringList fixedOnly = {"abs_b", "abs_h", "fix_wrap", "cb_fitbox", "Label3", "Label4"};
    auto expectMode = [&](bool variable, const char* when) {
        for (const QString& n : variableOnly)
            EXPECT_EQ(control(n)->isEnabled(), variable) << n.toStdString() << " " << when;
        for (const QString& n : fixedOnly)
            EXPECT_EQ(control(n)->isEnabled(), !variable) << n.toStdString() << " " << when;
    };
    expectMode(true, "at start");

    prog().pages()->setCurrentIndex(2);
    const int draws = drawCount();
    QTest::mouseClick(control(Setting::abstand_fix), Qt::LeftButton, {}, QPoint(5, 5));
    expectMode(false, "after clicking the fixed size");
    EXPECT_TRUE(settings().checked(Setting::abstand_fix));
    EXPECT_FALSE(control<QRadioButton>(QStringLiteral("abstand_var"))->isChecked());
    EXPECT_GT(drawCount(), draws);

    // A configuration that checks the variable size swaps them back.
    nextOpenName = writeConfiguration(workPath(QStringLiteral("var.qpcf")),
                                      "[PBRB]\r\nabstand_var=1\r\nabstand_fix=0\r\n");
    prog().action(QStringLiteral("m_konfig_load"))->trigger();
    expectMode(true, "after loading a configuration");
}

TEST_F(MainWindowControls, LineCounterFollowsTheCaretOnClickEnterAndArrows)
{
    create();
    EXPECT_EQ(Tprog::lineNumberAt(QStringLiteral("a\nb\nc"), 4), 3);
    EXPECT_EQ(Tprog::lineNumberAt(QStringLiteral("a\nb\nc"), 3), 2);
    EXPECT_EQ(Tprog::lineNumberAt(QString(), 0), 1);

    QPlainTextEdit* memo = prog().memo();
    memo->setPlainText(QStringLiteral("one\ntwo\nthree"));
    memo->setFocus();
    QTest::keyClick(memo, Qt::Key_Home, Qt::ControlModifier);
    QTest::keyClick(memo, Qt::Key_Down);
    QTest::keyClick(memo, Qt::Key_Down);
    EXPECT_EQ(prog().lineCounter()->text(), QStringLiteral("3"));

    // A click puts the caret into the clicked line and counts it.
    const QRect second = memo->cursorRect(QTextCursor(memo->document()->findBlockByNumber(1)));
    QTest::mouseClick(memo->viewport(), Qt::LeftButton, {}, second.center() + QPoint(2, 0));
    EXPECT_EQ(prog().lineCounter()->text(), QStringLiteral("2"));

    // Typed characters leave the counter alone; Enter counts the new line.
    QTest::keyClick(memo, Qt::Key_End);
    QTest::keyClicks(memo, QStringLiteral("x"));
    EXPECT_EQ(prog().lineCounter()->text(), QStringLiteral("2"));
    QTest::keyClick(memo, Qt::Key_Return);
    EXPECT_EQ(prog().lineCounter()->text(), QStringLiteral("3"));
}

// The preview says which size shrinking to fit used, live, or that not even 1 point fits.
TEST_F(MainWindowControls, PreviewNotesTheSizeAFittedImageUses)
{
    create();
    prog().memo()->setPlainText(QStringLiteral("A text that is far too large for its box at this size"));
    settings().setChecked(Setting::abstand_fix, true);
    settings().setText(Setting::FSize, QStringLiteral("72"));
    EXPECT_EQ(prog().previewBox()->note(), QString());

    prog().pages()->setCurrentIndex(2);
    QTest::mouseClick(control(Setting::cb_fitbox), Qt::LeftButton, {}, QPoint(5, 5));
    ASSERT_TRUE(settings().checked(Setting::cb_fitbox));
    const auto used = fittedPoints(CreateBitmap(prog().previewText(), settings()));
    ASSERT_TRUE(used);
    EXPECT_LT(*used, 72);
    EXPECT_EQ(prog().previewBox()->note(), QStringLiteral("Font size used: %1 pt").arg(*used));

    settings().setText(Setting::abs_l, QStringLiteral("395"));
    EXPECT_EQ(prog().previewBox()->note(), QStringLiteral("Does not fit the image even at 1 pt"));
    settings().setChecked(Setting::cb_fitbox, false);
    EXPECT_EQ(prog().previewBox()->note(), QString());
}

// A transparent background shows as a checkerboard, live, and only while the format keeps it.
TEST_F(MainWindowControls, PreviewShowsATransparentBackgroundOnACheckerboard)
{
    create();
    prog().memo()->setPlainText(QStringLiteral("Quill"));
    settings().setText(Setting::act_text_hintergrund, QStringLiteral("#FFFF00"));
    settings().setText(Setting::out_format, QStringLiteral("*.png - Portable Network Graphics"));
    // The picture's top-left corner inside the frame: the margin, never touched by the text.
    const auto corner = [&] { return prog().previewBox()->picture().pixel(2, 2) & RGB_MASK; };
    EXPECT_EQ(corner(), 0xFFFF00u);

    prog().pages()->setCurrentIndex(1);
    QTest::mouseClick(control(Setting::cb_transparent), Qt::LeftButton, {}, QPoint(5, 5));
    ASSERT_TRUE(settings().checked(Setting::cb_transparent));
    EXPECT_EQ(corner(), 0xCCCCCCu);
    EXPECT_EQ(prog().previewBox()->picture().pixel(1 + 8, 1) & RGB_MASK, 0xFFFFFFu);

    // JPEG has no transparency: the background is back as soon as the format is chosen.
    settings().setText(Setting::out_format, QStringLiteral("*.jpg - JPEG-Image"));
    EXPECT_EQ(corner(), 0xFFFF00u);
    settings().setText(Setting::out_format, QStringLiteral("*.tga - Truevision Targa Image"));
    EXPECT_EQ(corner(), 0xCCCCCCu);
}

TEST_F(MainWindowControls, PerLinePreviewShowsTheCountedLine)
{
    create();
    settings().setChecked(Setting::txt_line, true);
    QPlainTextEdit* memo = prog().memo();
    struct Case {
        const char* text;
        const char* counter;
        const char* shown;
    };
    const Case cases[] = {
        {"one\ntwo\nthree", "2", "two"},
        {"one\ntwo\nthree", "5", "one"},   // more than one past the end: the first line
        {"one\ntwo\nthree", "4", ""},      // just past the end: an empty line
        {"a\n", "2", ""},                   // the empty last line is no line
    };
    for (const Case& c : cases) {
        memo->setPlainText(QString::fromLatin1(c.text));
        prog().lineCounter()->setText(QString::fromLatin1(c.counter));
        prog().Vorschau();
        EXPECT_EQ(prog().previewText(), QString::fromLatin1(c.shown)) << c.text << " @" << c.counter;
        const QImage expected = CreateBitmap(QString::fromLatin1(c.shown), settings());
        EXPECT_EQ(prog().previewBox()->picture().size(), expected.size() + QSize(2, 2));
    }

    // Whole-text mode wraps the box's lines; per-line mode shows both scroll bars.
    EXPECT_EQ(memo->lineWrapMode(), QPlainTextEdit::NoWrap);
    EXPECT_EQ(memo->horizontalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
    settings().setChecked(Setting::txt_all, true);
    EXPECT_EQ(memo->lineWrapMode(), QPlainTextEdit::WidgetWidth);
    EXPECT_EQ(memo->horizontalScrollBarPolicy(), Qt::ScrollBarAlwaysOff);
    EXPECT_EQ(prog().previewText(), memo->toPlainText());
}

TEST_F(MainWindowControls, StepButtonWalksThePagesAndWraps)
{
    create();
    auto* next = control<QPushButton>(QStringLiteral("weiter"));
    EXPECT_EQ(prog().pages()->currentIndex(), 0);
    for (const int expected : {1, 2, 3, 0}) {
        QTest::mouseClick(next, Qt::LeftButton);
        EXPECT_EQ(prog().pages()->currentIndex(), expected);
    }
    prog().action(QStringLiteral("m_datei_next"))->trigger();
    EXPECT_EQ(prog().pages()->currentIndex(), 1);
}

TEST_F(MainWindowControls, ColourFieldsTakeValidColourTextsOnly)
{
    create();
    auto* field = control<ColorField>(QStringLiteral("act_text_hintergrund"));
    EXPECT_EQ(field->fieldColor(), QColor(255, 255, 255));
    EXPECT_EQ(field->letterColor(), QColor(0, 0, 0));
    EXPECT_EQ(control<ColorField>(QStringLiteral("act_text_fontcolor"))->letterColor(), QColor(255, 255, 255));

    struct Case {
        const char* before;   // already in the field
        char last;            // then typed
        QColor colour;        // the field's colour afterwards
        QColor letters;
        bool redraws;
    };
    const QColor white(255, 255, 255), black(0, 0, 0), green(0, 255, 0);
    const Case cases[] = {
        {"#00FF", '0', white, black, false},      // five digits: nothing happens
        {"#00FF0", '0', green, white, true},      // 0 + 255 + 0 < 500: white letters
        {"#FFFF0", '0', QColor(255, 255, 0), black, true}, // 510: black letters
        {"00ff0", '0', green, white, true},       // without "#"
        {"#00#FF0", '0', green, white, true},     // every "#" removed
        {"#GGGGG", 'G', green, white, true},      // six characters, not hexadecimal: colour stays
    };
    for (const Case& c : cases) {
        field->setText(QString::fromLatin1(c.before));
        const int draws = drawCount();
        field->setFocus();
        field->end(false);
        QTest::keyClick(field, c.last);
        EXPECT_EQ(field->fieldColor(), c.colour) << c.before << c.last;
        EXPECT_EQ(field->letterColor(), c.letters) << c.before << c.last;
        EXPECT_EQ(drawCount() > draws, c.redraws) << c.before << c.last;
        EXPECT_EQ(settings().backgroundColor(), c.colour) << c.before << c.last;
    }
}

TEST_F(MainWindowControls, ColourDialogSetsTheFieldOrLeavesItWhenCancelled)
{
    create();
    auto* field = control<ColorField>(QStringLiteral("act_text_fontcolor"));
    nextColor = std::nullopt;
    QTest::mouseClick(control(QStringLiteral("BitBtn14")), Qt::LeftButton);
    EXPECT_EQ(colorDialogInitial, QColor(0, 0, 0));
    EXPECT_EQ(settings().text(Setting::act_text_fontcolor), QStringLiteral("#000000"));

    nextColor = QColor(15, 63, 111);
    const int draws = drawCount();
    QTest::mouseClick(control(QStringLiteral("BitBtn14")), Qt::LeftButton);
    EXPECT_EQ(settings().text(Setting::act_text_fontcolor), QStringLiteral("#0F3F6F"));
    EXPECT_EQ(field->fieldColor(), QColor(15, 63, 111));
    EXPECT_EQ(field->letterColor(), QColor(255, 255, 255));
    EXPECT_EQ(settings().fontColor(), QColor(15, 63, 111));
    EXPECT_GT(drawCount(), draws);
}

TEST_F(MainWindowControls, PipettesPickWhileHeldAndShareTheLastColour)
{
    create();
    prog().pages()->setCurrentIndex(1);
    auto* fontPipette = control<PipetteButton>(QStringLiteral("BitBtn13"));
    auto* backPipette = control<PipetteButton>(QStringLiteral("BitBtn16"));
    // The screen reads red left of x = 1000 in global coordinates, blue right of it.
    QList<QPoint> reads;
    const auto reader = [&reads](const QPoint& global) -> std::optional<QColor> {
        reads << global;
        return global.x() < 1000 ? QColor(200, 0, 0) : QColor(0, 0, 200);
    };
    fontPipette->setScreenReader(reader);
    backPipette->setScreenReader(reader);

    // Press and release without moving applies the shared last colour, black at first.
    settings().setText(Setting::act_text_hintergrund, QStringLiteral("#FFFFFF"));
    QTest::mousePress(backPipette, Qt::LeftButton);
    EXPECT_TRUE(backPipette->state().picking);
    QTest::mouseRelease(backPipette, Qt::LeftButton);
    EXPECT_FALSE(backPipette->state().picking);
    EXPECT_EQ(settings().text(Setting::act_text_hintergrund), QStringLiteral("#000000"));
    EXPECT_TRUE(reads.isEmpty());

    // Moving while held follows the pointer and redraws the preview.
    QTest::mousePress(fontPipette, Qt::LeftButton);
    const int draws = drawCount();
    QTest::mouseMove(fontPipette, QPoint(3, 3));
    EXPECT_EQ(reads.size(), 1);
    const QString expected = reads.last().x() < 1000 ? QStringLiteral("#C80000") : QStringLiteral("#0000C8");
    EXPECT_EQ(settings().text(Setting::act_text_fontcolor), expected);
    EXPECT_GT(drawCount(), draws);
    QTest::mouseRelease(fontPipette, Qt::LeftButton, {}, QPoint(3, 3));
    EXPECT_EQ(settings().text(Setting::act_text_fontcolor), expected);

    // The other pipette applies that colour on a bare click.
    QTest::mousePress(backPipette, Qt::LeftButton);
    QTest::mouseRelease(backPipette, Qt::LeftButton);
    EXPECT_EQ(settings().text(Setting::act_text_hintergrund), expected);
}

TEST_F(MainWindowControls, UnreadableScreenIsReportedInTheWindow)
{
    create();
    prog().pages()->setCurrentIndex(1);
    auto* pipette = control<PipetteButton>(QStringLiteral("BitBtn13"));
    pipette->setScreenReader([](const QPoint&) { return std::optional<QColor>(); });
    settings().setText(Setting::act_text_fontcolor, QStringLiteral("#123456"));
    EXPECT_FALSE(prog().pipetteNote()->isVisible());
    QTest::mousePress(pipette, Qt::LeftButton);
    QTest::mouseMove(pipette, QPoint(4, 4));
    EXPECT_TRUE(prog().pipetteNote()->isVisible());
    EXPECT_FALSE(prog().pipetteNote()->text().isEmpty());
    EXPECT_EQ(settings().text(Setting::act_text_fontcolor), QStringLiteral("#123456"));
    QTest::mouseRelease(pipette, Qt::LeftButton);
}

TEST_F(MainWindowControls, FontListShowsFacesAndSetsTheFaceName)
{
    create();
    FontListBox* list = prog().fontList();
    EXPECT_EQ(FontListBox::screenFontNames({"b", "@Vertical", "A", "c"}), QStringList({"A", "b", "c"}));
    ASSERT_GT(list->count(), 0);
    EXPECT_TRUE(list->selectedItems().isEmpty());
    EXPECT_FALSE(settings().fontListSelected());
    EXPECT_EQ(list->sizeHintForRow(0), FontListBox::kItemHeight);

    prog().pages()->setCurrentIndex(1);
    const QString face = list->item(0)->text();
    const int draws = drawCount();
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(list->item(0)).center());
    EXPECT_EQ(settings().text(Setting::label2), face);
    EXPECT_TRUE(settings().fontListSelected());
    EXPECT_GT(drawCount(), draws);

    // A click on the entry already selected takes it again when the name was typed over.
    settings().setText(Setting::label2, QStringLiteral("Typed Over"));
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(list->item(0)).center());
    EXPECT_EQ(settings().text(Setting::label2), face);

    // The selected entry is filled with the selection colour.
    const QImage shot = list->viewport()->grab().toImage();
    const QRect r = list->visualItemRect(list->item(0));
    EXPECT_EQ(shot.pixelColor(r.right() - 2, r.center().y()), FontListBox::selectionColor());
}

TEST_F(MainWindowControls, OnlyTheTriggersOfThePreviewRedrawIt)
{
    create();
    struct Case {
        Setting name;
        const char* before;
        const char* keys;
        bool redraws;
    };
    const Case cases[] = {
        {Setting::label2, "Face", "x", false},     {Setting::out_ordner, "/tmp", "x", false},
        {Setting::ed_name, "n", "x", false},       {Setting::abs_o, "", "-", false},
        {Setting::abs_o, "-", "5", true},          {Setting::abs_bmax, "4", "-", false},
        {Setting::FSize, "2", "2", true},          {Setting::act_text_fontcolor, "#000000", "x", false},
    };
    for (const Case& c : cases) {
        const Setting name = c.name;
        QWidget* field = control(name);
        settings().setText(name, QString::fromLatin1(c.before));
        if (auto* edit = qobject_cast<QLineEdit*>(field)) {
            edit->setFocus();
            edit->end(false);
        }
        const int draws = drawCount();
        QTest::keyClicks(field, QString::fromLatin1(c.keys));
        EXPECT_EQ(drawCount() > draws, c.redraws) << c.name << " " << c.keys;
    }

    // Style boxes redraw; the file-name options do not.
    prog().pages()->setCurrentIndex(1);
    int draws = drawCount();
    QTest::mouseClick(control(Setting::cb_bold), Qt::LeftButton, {}, QPoint(5, 5));
    EXPECT_GT(drawCount(), draws);
    draws = drawCount();
    settings().setChecked(Setting::cb_upper, true);
    settings().setText(Setting::out_format, QStringLiteral("*.png - Portable Network Graphics"));
    EXPECT_EQ(drawCount(), draws);
}

TEST_F(MainWindowControls, FontSizeBoxTakesTypedNumbersAsTyped)
{
    create();
    EXPECT_EQ(settings().text(Setting::label2), QStringLiteral("Tahoma"));
    prog().pages()->setCurrentIndex(1);
    QWidget* size = control(Setting::FSize);
    settings().setText(Setting::FSize, QString());
    size->setFocus();
    QTest::keyClicks(size, QStringLiteral("3"));
    QTest::keyClick(size, Qt::Key_Tab);
    EXPECT_EQ(settings().text(Setting::FSize), QStringLiteral("3"));
}

TEST_F(MainWindowControls, RedrawsAskedForWhileRenderingRunOnceMoreInsteadOfNesting)
{
    create();
    // A long line that wraps lets events through after every trial; each one asks for a redraw.
    settings().setChecked(Setting::max_breite, true);
    settings().setText(Setting::abs_bmax, QStringLiteral("200"));
    int depth = 0;
    int deepest = 0;
    int asked = 0;
    setRenderYield([&] {
        ++depth;
        deepest = std::max(deepest, depth);
        if (asked < 50) {
            ++asked;
            settings().setText(Setting::FSize, QString::number(10 + asked % 20));
        }
        --depth;
    });
    prog().memo()->setPlainText(QString(300, QLatin1Char('x')) + QStringLiteral(" end"));
    setRenderYield({});
    EXPECT_EQ(deepest, 1);
    // The picture shown belongs to the settings as they are now.
    const QImage expected = CreateBitmap(prog().memo()->toPlainText(), settings());
    EXPECT_EQ(prog().previewBox()->picture().size(), expected.size() + QSize(2, 2));
}

TEST_F(MainWindowControls, FolderButtonTakesAChosenFolderOnly)
{
    create();
    const QString before = settings().text(Setting::out_ordner);
    prog().pages()->setCurrentIndex(3);
    nextFolder.clear();
    QTest::mouseClick(control(QStringLiteral("outordnerbt")), Qt::LeftButton);
    EXPECT_EQ(settings().text(Setting::out_ordner), before);
    EXPECT_EQ(folderCaptions.value(0), QStringLiteral("Choose a Folder for Output"));

    nextFolder = workPath(QStringLiteral("pictures"));
    QTest::mouseClick(control(QStringLiteral("outordnerbt")), Qt::LeftButton);
    EXPECT_EQ(settings().text(Setting::out_ordner), QDir::toNativeSeparators(nextFolder));
    EXPECT_EQ(control<QLineEdit>(QStringLiteral("out_ordner"))->text(), QDir::toNativeSeparators(nextFolder));
}

TEST_F(MainWindowControls, MissingFaceIsNamedBesideTheNameFieldAndKeptAsConfigured)
{
    create();
    prog().pages()->setCurrentIndex(1);
    QLabel* note = prog().faceNote();
    const QString installed = QFontDatabase::families().value(0);
    settings().setText(Setting::label2, installed);
    EXPECT_FALSE(note->isVisible());

    settings().setText(Setting::label2, QStringLiteral("No Such Face Qp"));
    ASSERT_TRUE(note->isVisible());
    EXPECT_TRUE(note->text().startsWith(QStringLiteral("No Such Face Qp is not installed: drawn in ")))
        << note->text().toStdString();
    EXPECT_EQ(control<QLineEdit>(QStringLiteral("label2"))->text(), QStringLiteral("No Such Face Qp"));
    prog().action(QStringLiteral("m_einst_sprache_deutsch"))->trigger();
    EXPECT_TRUE(note->text().startsWith(QStringLiteral("No Such Face Qp ist nicht installiert: gezeichnet in ")));

    // Saved as configured, and the note goes away with an installed face.
    prog().action(QStringLiteral("m_konfig_save_start"))->trigger();
    QFile saved(homePath(QStringLiteral("Auto.qpcf")));
    ASSERT_TRUE(saved.open(QIODevice::ReadOnly));
    const QByteArray bytes = saved.readAll();
    EXPECT_TRUE(QString::fromUtf16(reinterpret_cast<const char16_t*>(bytes.constData() + 2), (bytes.size() - 2) / 2)
                    .contains(QStringLiteral("label2=No Such Face Qp")));
    settings().setText(Setting::label2, installed);
    EXPECT_FALSE(note->isVisible());
}

} // namespace
} // namespace qp::testing

namespace qp::testing {
namespace {

// The Save page shows the names of the next run shortly after the text or a setting changes,
// numbered against the folder as the run numbers them, and moves on once a run has written them.
TEST_F(MainWindowControls, SavePageShowsTheNamesOfTheNextRun)
{
    create();
    auto* note = control<QLabel>(QStringLiteral("names_preview"));
    ASSERT_NE(note, nullptr);
    // Waits until the note shows `expected` (or gives up), then compares.
    const auto expectShown = [&](const QString& expected) {
        test::waitUntil([&] { return note->text() == expected; });
        EXPECT_EQ(note->text().toStdString(), expected.toStdString());
    };
    const QString taken = QStringLiteral("  (numbered on: the name is taken)");
    const QString out = homePath(QStringLiteral("names"));
    QDir().mkpath(out);
    QFile(out + QStringLiteral("/a.png")).open(QIODevice::WriteOnly);
    settings().setText(Setting::out_ordner, out);
    settings().setText(Setting::out_format, QStringLiteral("*.png - Portable Network Graphics"));
    settings().setChecked(Setting::txt_line, true);
    prog().memo()->setPlainText(QStringLiteral("a\nb\na\n\nc\nd"));
    expectShown("Create and Save will write 6 files:\na1.png" + taken + "\nb.png\na2.png" + taken
                + "\n1.png\n\u2026");
    // Looking creates no folder; a folder the run refuses shows no names.
    settings().setText(Setting::out_ordner, out + QStringLiteral("/not/yet"));
    // An earlier image of the run takes its name too.
    expectShown("Create and Save will write 6 files:\na.png\nb.png\na1.png" + taken + "\n1.png\n\u2026");
    EXPECT_FALSE(QFileInfo::exists(out + QStringLiteral("/not")));
    settings().setText(Setting::out_ordner, QStringLiteral("relative"));
    expectShown(QString());

    settings().setText(Setting::out_ordner, out);
    settings().setChecked(Setting::txt_all, true);
    prog().memo()->setPlainText(QStringLiteral("b"));
    expectShown(QStringLiteral("Create and Save will write 1 file:\nb.png"));
    prog().durchfuehrenClick();
    EXPECT_TRUE(QFileInfo::exists(out + QStringLiteral("/b.png")));
    expectShown("Create and Save will write 1 file:\nb1.png" + taken);
}

} // namespace
} // namespace qp::testing
