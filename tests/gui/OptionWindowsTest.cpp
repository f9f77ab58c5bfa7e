// SPDX-License-Identifier: MIT
// The option windows bound to the settings model: every control shows its setting and writes it
// back, follows changes made elsewhere, and drops the keys its setting refuses; every window shows
// the catalogue texts of the current language.
#include "core/i18n/Catalog.h"
#include "core/i18n/Language.h"
#include "core/settings/SettingsModel.h"
#include "gui/output/Toptionen.h"
#include "gui/run/Toptionen_name.h"
#include "gui/run/Tsm_bearbeitung.h"
#include "gui/run/Tsm_meldung.h"
#include "gui/shell/Teinstshortcuts.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QSlider>
#include <QTest>
#include <gtest/gtest.h>

namespace qp {
namespace {

class FormatOptionsTest : public ::testing::Test {
protected:
    SettingsModel settings;
    Toptionen window{settings};
    QComboBox* quality = window.findChild<QComboBox*>("out_quality");
    QSlider* slider = window.findChild<QSlider*>("ScrollBar1");
};

TEST_F(FormatOptionsTest, ControlsShowAndWriteTheirSettings)
{
    ASSERT_TRUE(quality && slider);
    EXPECT_EQ(quality->currentText(), u"100"_qs);
    EXPECT_EQ(slider->value(), 100);
    EXPECT_TRUE(window.findChild<QCheckBox*>("progressivaktiv")->isChecked());
    EXPECT_FALSE(window.findChild<QCheckBox*>("psdlayers")->isChecked());

    // The slider moved by the keyboard writes its position and the box shows it.
    slider->setFocus();
    QTest::keyClick(slider, Qt::Key_PageDown);
    EXPECT_EQ(settings.position(Setting::ScrollBar1), 90);
    EXPECT_EQ(settings.text(Setting::out_quality), u"90"_qs);
    EXPECT_EQ(quality->currentText(), u"90"_qs);

    // A proposal chosen from the list moves the slider.
    quality->setCurrentIndex(quality->findText(u"20"_qs));
    EXPECT_EQ(settings.text(Setting::out_quality), u"20"_qs);
    EXPECT_EQ(slider->value(), 20);

    QTest::mouseClick(window.findChild<QCheckBox*>("psdlayers"), Qt::LeftButton);
    EXPECT_TRUE(settings.checked(Setting::psdlayers));

    // A loaded configuration (here the standard one) shows in every control.
    settings.setChecked(Setting::progressivaktiv, false);
    EXPECT_FALSE(window.findChild<QCheckBox*>("progressivaktiv")->isChecked());
    settings.resetToDefaults();
    EXPECT_EQ(quality->currentText(), u"100"_qs);
    EXPECT_EQ(slider->value(), 100);
    EXPECT_TRUE(window.findChild<QCheckBox*>("progressivaktiv")->isChecked());
    EXPECT_FALSE(window.findChild<QCheckBox*>("psdlayers")->isChecked());
}

TEST_F(FormatOptionsTest, AntialiasRedrawsThePreview)
{
    QSignalSpy preview(&settings, &SettingsModel::previewRequested);
    QTest::mouseClick(window.findChild<QCheckBox*>("cb_antialias"), Qt::LeftButton);
    EXPECT_FALSE(settings.checked(Setting::cb_antialias));
    EXPECT_EQ(preview.count(), 1);
}

TEST_F(FormatOptionsTest, QualityKeysFollowTheQualityRule)
{
    struct Case {
        const char* before;
        Qt::Key key;
        char typed;        // the character of a letter or digit key
        const char* after;
        int slider;
    };
    const Case cases[] = {
        {"100", Qt::Key_Backspace, 0, "10", 10},
        {"5", Qt::Key_0, '0', "50", 50},
        {"1", Qt::Key_0, '0', "10", 10},     // typed as it is, not completed to the proposal 100
        {"50", Qt::Key_0, '0', "100", 100},  // 500: the slider stops at 100 and the box follows it
        {"50", Qt::Key_A, 'a', "50", 50},    // no letters
        {"abc", Qt::Key_5, '5', "abc", 42},  // the text before the key is no quality: refused
        {"abcd", Qt::Key_5, '5', "100", 100},  // longer than three characters: replaced by 100
    };
    // Typing happens in a shown window with the focus in the box, as for the user.
    window.show();
    window.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    quality->lineEdit()->setFocus();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.before);
        settings.setPosition(Setting::ScrollBar1, 42);
        settings.setText(Setting::out_quality, QString::fromLatin1(c.before));
        ASSERT_EQ(quality->currentText(), QString::fromLatin1(c.before));
        quality->lineEdit()->end(false);
        if (c.typed)
            QTest::keyClick(quality->lineEdit(), c.typed);
        else
            QTest::keyClick(quality->lineEdit(), c.key);
        EXPECT_EQ(quality->currentText(), QString::fromLatin1(c.after));
        EXPECT_EQ(settings.text(Setting::out_quality), QString::fromLatin1(c.after));
        EXPECT_EQ(slider->value(), c.slider);
    }
}

class FileNameOptionsTest : public ::testing::Test {
protected:
    SettingsModel settings;
    Toptionen_name window{settings};
    template <typename T>
    T* child(const char* name)
    {
        T* w = window.findChild<T*>(name);
        EXPECT_NE(w, nullptr) << name;
        return w;
    }
};

TEST_F(FileNameOptionsTest, CaseGroupIsBoundBothWays)
{
    EXPECT_TRUE(child<QRadioButton>("cb_lower")->isChecked());
    QTest::mouseClick(child<QRadioButton>("cb_upper"), Qt::LeftButton);
    EXPECT_TRUE(settings.checked(Setting::cb_upper));
    EXPECT_FALSE(settings.checked(Setting::cb_lower));
    EXPECT_FALSE(child<QRadioButton>("cb_lower")->isChecked());

    settings.setChecked(Setting::cb_keine, true);
    EXPECT_TRUE(child<QRadioButton>("cb_keine")->isChecked());
    EXPECT_FALSE(child<QRadioButton>("cb_upper")->isChecked());

    // A configuration may leave the whole group unchecked; then no button shows a check.
    settings.setChecked(Setting::cb_keine, false);
    for (const char* name : {"cb_lower", "cb_upper", "cb_keine"})
        EXPECT_FALSE(child<QRadioButton>(name)->isChecked()) << name;
}

TEST_F(FileNameOptionsTest, FieldsAndChecksAreBoundBothWays)
{
    QTest::mouseClick(child<QCheckBox>("cb_numsofort"), Qt::LeftButton);
    EXPECT_TRUE(settings.checked(Setting::cb_numsofort));
    settings.setText(Setting::ed_ersatz, u"--"_qs);
    EXPECT_EQ(child<QLineEdit>("ed_ersatz")->text(), u"--"_qs);
    EXPECT_EQ(child<QLineEdit>("ed_buchst")->text(), settings.text(Setting::ed_buchst));
}

TEST_F(FileNameOptionsTest, FieldsDropTheKeysTheirSettingRefuses)
{
    struct Case {
        Setting field;
        QChar key;
        bool accepted;
    };
    const Case cases[] = {
        {Setting::ed_num, u'7', true},          {Setting::ed_num, u'a', false},        {Setting::ed_num, u'-', false},
        {Setting::ed_max, u'x', false},         {Setting::ed_max, u'3', true},         {Setting::ed_buchst, u'/', false},
        {Setting::ed_buchst, u':', false},      {Setting::ed_buchst, u'*', false},     {Setting::ed_buchst, u'?', false},
        {Setting::ed_buchst, u'ä', true},       {Setting::ed_leerzeichen, u'\\', false}, {Setting::ed_leerzeichen, u'.', true},
        {Setting::ed_ersatz, u'|', false},      {Setting::ed_ersatz, u'"', false},     {Setting::ed_ersatz, u'+', true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(SettingsModel::nameOf(c.field).toStdString() + " " + QString(c.key).toStdString());
        auto* edit = child<QLineEdit>(SettingsModel::nameOf(c.field).toLatin1().constData());
        const QString before = edit->text();
        edit->end(false);
        // Typed as a key with its text, so that characters beyond ASCII work too.
        QTest::sendKeyEvent(QTest::Click, edit, Qt::Key(c.key.toUpper().unicode()), QString(c.key), Qt::NoModifier);
        const QString expected = c.accepted ? before + c.key : before;
        EXPECT_EQ(edit->text(), expected);
        EXPECT_EQ(settings.text(c.field), expected);
    }
}

TEST(ShellSettingsWindow, FileTypesFieldIsBoundBothWays)
{
    SettingsModel settings;
    Teinstshortcuts window(settings);
    auto* field = window.findChild<QLineEdit*>("beldateien");
    ASSERT_NE(field, nullptr);
    EXPECT_EQ(field->text(), u"jpg,bmp,png"_qs);
    field->end(false);
    QTest::keyClicks(field, u",gif"_qs);
    EXPECT_EQ(settings.text(Setting::beldateien), u"jpg,bmp,png,gif"_qs);
    settings.setText(Setting::beldateien, u"tif"_qs);
    EXPECT_EQ(field->text(), u"tif"_qs);
}

// Every caption row of the catalogue has its control, showing the text of the current language,
// and every window carries its title; in German and in English, and back again.
TEST(WindowLanguage, EveryWindowShowsTheCatalogueTextsOfTheCurrentLanguage)
{
    SettingsModel settings;
    Toptionen options(settings);
    Toptionen_name names(settings);
    Teinstshortcuts shell(settings);
    Tsm_bearbeitung progress;
    Tsm_meldung message;
    const std::vector<std::pair<QString, QWidget*>> windows = {
        {u"optionen"_qs, &options},   {u"optionen_name"_qs, &names}, {u"einstshortcuts"_qs, &shell},
        {u"sm_bearbeitung"_qs, &progress}, {u"sm_meldung"_qs, &message}};

    for (const char* language : {"de", "en", "de"}) {
        Language::setCode(QString::fromLatin1(language));
        options.Sprache();
        names.Sprache();
        shell.Sprache();
        progress.Sprache();
        message.Sprache();
        for (const auto& [catalogWindow, window] : windows) {
            int rows = 0;
            for (const CatalogRow& row : catalogRows()) {
                if (row.window != catalogWindow)
                    continue;
                SCOPED_TRACE(language + (" " + catalogWindow + " " + row.control).toStdString());
                const QString expected = row.text(QString::fromLatin1(language));
                if (row.property == TextProperty::WindowTitle) {
                    EXPECT_EQ(window->windowTitle(), expected);
                    ++rows;
                } else if (row.property == TextProperty::Caption) {
                    QWidget* control = window->findChild<QWidget*>(row.control);
                    ASSERT_NE(control, nullptr);
                    QString shown;
                    if (auto* label = qobject_cast<QLabel*>(control))
                        shown = label->text();
                    else if (auto* button = qobject_cast<QAbstractButton*>(control))
                        shown = button->text();
                    else if (auto* group = qobject_cast<QGroupBox*>(control))
                        shown = group->title();
                    EXPECT_EQ(shown, expected);
                    ++rows;
                }
            }
            EXPECT_GT(rows, 1) << catalogWindow.toStdString();
        }
    }
    EXPECT_EQ(options.windowTitle(), u"Optionen"_qs);
    Language::setCode(u"en"_qs);
}

} // namespace
} // namespace qp
