// SPDX-License-Identifier: MIT
#include "settings/IntegerTest.h"
#include "settings/SettingsModel.h"

#include <QDir>
#include <QSignalSpy>
#include <gtest/gtest.h>

using namespace qp;

TEST(IntegerTest, AcceptsWholeDecimalAndHexTexts)
{
    struct Case {
        const char* text;
        std::optional<qint32> value;
    };
    const Case cases[] = {
        {"15", 15},          {" 15", 15},          {"15 ", std::nullopt},   {"", std::nullopt},
        {"$1F", 31},         {"x1f", 31},          {"X1F", 31},             {"0x1F", 31},
        {"0X1f", 31},        {"-$10", -16},        {"+7", 7},               {"-0", 0},
        {"$FFFFFFFF", -1},   {"$123456789", std::nullopt},                  {"$", std::nullopt},
        {"2147483647", 2147483647},                {"-2147483648", -2147483647 - 1},
        {"2147483648", std::nullopt},              {"12a", std::nullopt},   {"1 2", std::nullopt},
        {"-", std::nullopt}, {"\t3", 3},           {"$-1", std::nullopt},   {"0x", std::nullopt},
        {"00012", 12},
    };
    for (const Case& c : cases)
        EXPECT_EQ(toInteger(QString::fromLatin1(c.text)), c.value) << "text: \"" << c.text << "\"";
}

TEST(SettingsModel, DefinitionsKeepWindowOrderAndDefaults)
{
    const auto prog = SettingsModel::definitionsOf(SettingWindow::Prog);
    ASSERT_EQ(prog.size(), 39u);
    EXPECT_STREQ(prog.front()->name, "Panel1");
    EXPECT_STREQ(prog[33]->name, "out_ordner");
    EXPECT_STREQ(prog.back()->name, "Panel12");
    EXPECT_EQ(SettingsModel::definitionsOf(SettingWindow::Optionen).size(), 8u);
    EXPECT_EQ(SettingsModel::definitionsOf(SettingWindow::OptionenName).size(), 14u);
    EXPECT_EQ(SettingsModel::definitionsOf(SettingWindow::EinstShortcuts).size(), 1u);
    EXPECT_EQ(SettingsModel::outputFormats().size(), 28);

    SettingsModel s("/opt/qp");
    EXPECT_EQ(s.text("out_ordner"), "/opt/qp/output");
    EXPECT_EQ(s.text("out_format"), "*.jpg - JPEG-Bild");
    EXPECT_EQ(s.text("FSize"), "20");
    EXPECT_TRUE(s.checked("txt_all"));
    EXPECT_TRUE(s.checked("Panel12"));
    EXPECT_EQ(s.position("ScrollBar1"), 100);
    EXPECT_EQ(s.text("ed_buchst"), "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ _-");
}

TEST(SettingsModel, RadioGroupsExcludeEachOther)
{
    SettingsModel s;
    s.setChecked("rb_drehung_180", true);
    EXPECT_FALSE(s.checked("rb_drehung_0"));
    EXPECT_TRUE(s.checked("rb_drehung_180"));
    s.setFromString("txt_line", "1");
    EXPECT_FALSE(s.checked("txt_all"));
    s.setChecked("cb_keine", true);
    EXPECT_FALSE(s.checked("cb_lower"));
    EXPECT_FALSE(s.checked("cb_upper"));
    // Other groups are untouched.
    EXPECT_TRUE(s.checked("rb_alleft"));
    EXPECT_TRUE(s.checked("n_auto"));
}

TEST(SettingsModel, QualityTextAndSliderFollowEachOther)
{
    SettingsModel s;
    s.setText("out_quality", "75");
    EXPECT_EQ(s.position("ScrollBar1"), 75);
    s.setPosition("ScrollBar1", 40);
    EXPECT_EQ(s.text("out_quality"), "40");
    s.setText("out_quality", "150"); // the slider stops at 100, the text stays as typed
    EXPECT_EQ(s.position("ScrollBar1"), 100);
    EXPECT_EQ(s.text("out_quality"), "100");
    s.setText("out_quality", "abc"); // not a number: the slider keeps its place
    EXPECT_EQ(s.position("ScrollBar1"), 100);
    EXPECT_EQ(s.text("out_quality"), "abc");
}

TEST(SettingsModel, SizeModeDecidesWhichControlsAreEnabled)
{
    SettingsModel s;
    EXPECT_TRUE(s.isEnabled("max_breite"));
    EXPECT_TRUE(s.isEnabled("abs_bmax"));
    EXPECT_FALSE(s.isEnabled("abs_b"));
    EXPECT_FALSE(s.isEnabled("abs_h"));
    EXPECT_FALSE(s.isEnabled("fix_wrap"));
    QSignalSpy spy(&s, &SettingsModel::enablingChanged);
    s.setChecked("abstand_fix", true);
    EXPECT_GE(spy.count(), 1);
    EXPECT_FALSE(s.isEnabled("max_breite"));
    EXPECT_TRUE(s.isEnabled("abs_b"));
    EXPECT_TRUE(s.isEnabled("fix_wrap"));
}

TEST(SettingsModel, KeyFiltersAndArrows)
{
    SettingsModel s;
    EXPECT_FALSE(s.acceptKey("abs_o", 'a'));
    EXPECT_TRUE(s.acceptKey("abs_o", '-'));
    EXPECT_FALSE(s.acceptKey("FSize", '-'));
    EXPECT_TRUE(s.acceptKey("FSize", QChar(8)));
    EXPECT_FALSE(s.acceptKey("out_ordner", ':'));
    EXPECT_TRUE(s.acceptKey("out_ordner", 'x'));
    // A folder can be typed: its field takes the platform's path separator, but not the other
    // slash; a name field refuses both.
    const QChar other = QDir::separator() == u'/' ? u'\\' : u'/';
    EXPECT_TRUE(s.acceptKey("out_ordner", QDir::separator()));
    EXPECT_FALSE(s.acceptKey("out_ordner", other));
    EXPECT_FALSE(s.acceptKey("ed_name", QDir::separator()));
    EXPECT_FALSE(s.acceptKey("ed_name", other));
    EXPECT_FALSE(s.acceptKey("out_format", 'x'));
    EXPECT_TRUE(s.acceptKey("label2", '@'));

    // Quality: digits only while the current text is a number from 1 to 100; a text longer than
    // three characters is put back to 100. (The slider is at 100, so out-of-range texts stay.)
    s.setText("out_quality", "150");
    EXPECT_EQ(s.text("out_quality"), "150");
    EXPECT_FALSE(s.acceptKey("out_quality", '5'));
    s.setText("out_quality", "1000");
    EXPECT_FALSE(s.acceptKey("out_quality", '1'));
    EXPECT_EQ(s.text("out_quality"), "100");
    s.setText("out_quality", "5");
    EXPECT_TRUE(s.acceptKey("out_quality", '5'));
    EXPECT_TRUE(s.acceptKey("out_quality", QChar(8)));
    EXPECT_FALSE(s.acceptKey("out_quality", 'x'));
    // Out of the slider's range: the slider stops at its end and writes that value back.
    s.setText("out_quality", "0");
    EXPECT_EQ(s.position("ScrollBar1"), 1);
    EXPECT_EQ(s.text("out_quality"), "1");

    s.setText("FSize", "100");
    s.stepArrow("FSize", 1);
    EXPECT_EQ(s.text("FSize"), "100");
    s.setText("abs_z", "-1000");
    s.stepArrow("abs_z", -1);
    EXPECT_EQ(s.text("abs_z"), "-1000");
    s.stepArrow("abs_o", 1);
    EXPECT_EQ(s.text("abs_o"), "11");
}

TEST(SettingsModel, PreviewOnlyForIntegerMarginsAndValidColours)
{
    SettingsModel s;
    QSignalSpy preview(&s, &SettingsModel::previewRequested);
    s.setText("abs_o", "12a");
    EXPECT_EQ(preview.count(), 0);
    s.setText("abs_o", "12");
    EXPECT_EQ(preview.count(), 1);
    s.setText("ed_name", "x"); // read when used, no preview
    EXPECT_EQ(preview.count(), 1);

    s.setText("act_text_fontcolor", "#00FF0"); // five digits: nothing at all
    EXPECT_EQ(preview.count(), 1);
    EXPECT_EQ(s.fontColor(), QColor(0, 0, 0));
    s.setText("act_text_fontcolor", "#00#FF00");
    EXPECT_EQ(s.fontColor(), QColor(0, 255, 0));
    EXPECT_EQ(preview.count(), 2);
    s.setText("act_text_fontcolor", "#GGGGGG"); // six characters, not hex: colour stays, preview
    EXPECT_EQ(s.fontColor(), QColor(0, 255, 0));
    EXPECT_EQ(preview.count(), 3);
    s.setText("act_text_hintergrund", "0f3f6f");
    EXPECT_EQ(s.backgroundColor(), QColor(15, 63, 111));
    EXPECT_EQ(SettingsModel::colorText(QColor(15, 63, 111)), "#0F3F6F");
    EXPECT_EQ(SettingsModel::contrastTextColor(QColor(0, 255, 0)), QColor(255, 255, 255));
    EXPECT_EQ(SettingsModel::contrastTextColor(QColor(255, 255, 0)), QColor(0, 0, 0));
}

TEST(SettingsModel, SetFromStringRefusesWhatDoesNotFit)
{
    SettingsModel s;
    EXPECT_FALSE(s.setFromString("no_such_setting", "1"));
    EXPECT_FALSE(s.setFromString("cb_bold", "yes"));
    EXPECT_TRUE(s.setFromString("cb_bold", "1"));
    EXPECT_TRUE(s.checked("cb_bold"));
    EXPECT_TRUE(s.setFromString("abs_o", "-5"));
    EXPECT_EQ(s.text("abs_o"), "-5");
}
