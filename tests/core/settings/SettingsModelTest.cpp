// SPDX-License-Identifier: MIT
#include "core/settings/IntegerTest.h"
#include "core/settings/SettingsModel.h"
#include "support/SystemPaths.h"

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

    SettingsModel s(test::systemPath("/opt/qp"));
    EXPECT_EQ(s.text(Setting::out_ordner), test::systemPath("/opt/qp/output"));
    EXPECT_EQ(s.text(Setting::out_format), "*.jpg - JPEG-Bild");
    EXPECT_EQ(s.text(Setting::FSize), "20");
    EXPECT_TRUE(s.checked(Setting::txt_all));
    EXPECT_TRUE(s.checked(Setting::Panel12));
    EXPECT_EQ(s.position(Setting::ScrollBar1), 100);
    EXPECT_EQ(s.text(Setting::ed_buchst), "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ _-");
}

TEST(SettingsModel, RadioGroupsExcludeEachOther)
{
    SettingsModel s;
    s.setChecked(Setting::rb_drehung_180, true);
    EXPECT_FALSE(s.checked(Setting::rb_drehung_0));
    EXPECT_TRUE(s.checked(Setting::rb_drehung_180));
    s.setFromString("txt_line", "1");
    EXPECT_FALSE(s.checked(Setting::txt_all));
    s.setChecked(Setting::cb_keine, true);
    EXPECT_FALSE(s.checked(Setting::cb_lower));
    EXPECT_FALSE(s.checked(Setting::cb_upper));
    // Other groups are untouched.
    EXPECT_TRUE(s.checked(Setting::rb_alleft));
    EXPECT_TRUE(s.checked(Setting::n_auto));
}

TEST(SettingsModel, QualityTextAndSliderFollowEachOther)
{
    SettingsModel s;
    s.setText(Setting::out_quality, "75");
    EXPECT_EQ(s.position(Setting::ScrollBar1), 75);
    s.setPosition(Setting::ScrollBar1, 40);
    EXPECT_EQ(s.text(Setting::out_quality), "40");
    s.setText(Setting::out_quality, "150"); // the slider stops at 100, the text stays as typed
    EXPECT_EQ(s.position(Setting::ScrollBar1), 100);
    EXPECT_EQ(s.text(Setting::out_quality), "100");
    s.setText(Setting::out_quality, "abc"); // not a number: the slider keeps its place
    EXPECT_EQ(s.position(Setting::ScrollBar1), 100);
    EXPECT_EQ(s.text(Setting::out_quality), "abc");
}

TEST(SettingsModel, SizeModeDecidesWhichControlsAreEnabled)
{
    SettingsModel s;
    EXPECT_TRUE(s.isEnabled(Setting::max_breite));
    EXPECT_TRUE(s.isEnabled(Setting::abs_bmax));
    EXPECT_FALSE(s.isEnabled(Setting::abs_b));
    EXPECT_FALSE(s.isEnabled(Setting::abs_h));
    EXPECT_FALSE(s.isEnabled(Setting::fix_wrap));
    QSignalSpy spy(&s, &SettingsModel::enablingChanged);
    s.setChecked(Setting::abstand_fix, true);
    EXPECT_GE(spy.count(), 1);
    EXPECT_FALSE(s.isEnabled(Setting::max_breite));
    EXPECT_TRUE(s.isEnabled(Setting::abs_b));
    EXPECT_TRUE(s.isEnabled(Setting::fix_wrap));
}

TEST(SettingsModel, KeyFiltersAndArrows)
{
    SettingsModel s;
    EXPECT_FALSE(s.acceptKey(Setting::abs_o, 'a'));
    EXPECT_TRUE(s.acceptKey(Setting::abs_o, '-'));
    EXPECT_FALSE(s.acceptKey(Setting::FSize, '-'));
    EXPECT_TRUE(s.acceptKey(Setting::FSize, QChar(8)));
    EXPECT_FALSE(s.acceptKey(Setting::out_ordner, ':'));
    EXPECT_TRUE(s.acceptKey(Setting::out_ordner, 'x'));
    // A folder can be typed: its field takes the platform's path separator, but not the other
    // slash; a name field refuses both.
    const QChar other = QDir::separator() == u'/' ? u'\\' : u'/';
    EXPECT_TRUE(s.acceptKey(Setting::out_ordner, QDir::separator()));
    EXPECT_FALSE(s.acceptKey(Setting::out_ordner, other));
    EXPECT_FALSE(s.acceptKey(Setting::ed_name, QDir::separator()));
    EXPECT_FALSE(s.acceptKey(Setting::ed_name, other));
    EXPECT_FALSE(s.acceptKey(Setting::out_format, 'x'));
    EXPECT_TRUE(s.acceptKey(Setting::label2, '@'));

    // Quality: digits only while the current text is a number from 1 to 100; a text longer than
    // three characters is put back to 100. (The slider is at 100, so out-of-range texts stay.)
    s.setText(Setting::out_quality, "150");
    EXPECT_EQ(s.text(Setting::out_quality), "150");
    EXPECT_FALSE(s.acceptKey(Setting::out_quality, '5'));
    s.setText(Setting::out_quality, "1000");
    EXPECT_FALSE(s.acceptKey(Setting::out_quality, '1'));
    EXPECT_EQ(s.text(Setting::out_quality), "100");
    s.setText(Setting::out_quality, "5");
    EXPECT_TRUE(s.acceptKey(Setting::out_quality, '5'));
    EXPECT_TRUE(s.acceptKey(Setting::out_quality, QChar(8)));
    EXPECT_FALSE(s.acceptKey(Setting::out_quality, 'x'));
    // Out of the slider's range: the slider stops at its end and writes that value back.
    s.setText(Setting::out_quality, "0");
    EXPECT_EQ(s.position(Setting::ScrollBar1), 1);
    EXPECT_EQ(s.text(Setting::out_quality), "1");

    s.setText(Setting::FSize, "100");
    s.stepArrow(Setting::FSize, 1);
    EXPECT_EQ(s.text(Setting::FSize), "100");
    s.setText(Setting::abs_z, "-1000");
    s.stepArrow(Setting::abs_z, -1);
    EXPECT_EQ(s.text(Setting::abs_z), "-1000");
    s.stepArrow(Setting::abs_o, 1);
    EXPECT_EQ(s.text(Setting::abs_o), "11");
}

TEST(SettingsModel, PreviewOnlyForIntegerMarginsAndValidColours)
{
    SettingsModel s;
    QSignalSpy preview(&s, &SettingsModel::previewRequested);
    s.setText(Setting::abs_o, "12a");
    EXPECT_EQ(preview.count(), 0);
    s.setText(Setting::abs_o, "12");
    EXPECT_EQ(preview.count(), 1);
    s.setText(Setting::ed_name, "x"); // read when used, no preview
    EXPECT_EQ(preview.count(), 1);

    s.setText(Setting::act_text_fontcolor, "#00FF0"); // five digits: nothing at all
    EXPECT_EQ(preview.count(), 1);
    EXPECT_EQ(s.fontColor(), QColor(0, 0, 0));
    s.setText(Setting::act_text_fontcolor, "#00#FF00");
    EXPECT_EQ(s.fontColor(), QColor(0, 255, 0));
    EXPECT_EQ(preview.count(), 2);
    s.setText(Setting::act_text_fontcolor, "#GGGGGG"); // six characters, not hex: colour stays, preview
    EXPECT_EQ(s.fontColor(), QColor(0, 255, 0));
    EXPECT_EQ(preview.count(), 3);
    s.setText(Setting::act_text_hintergrund, "0f3f6f");
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
    EXPECT_TRUE(s.checked(Setting::cb_bold));
    EXPECT_TRUE(s.setFromString("abs_o", "-5"));
    EXPECT_EQ(s.text(Setting::abs_o), "-5");
}
