// SPDX-License-Identifier: MIT
#include "core/settings/Configuration.h"
#include "core/settings/IniFile.h"
#include "core/settings/SettingsModel.h"
#include "core/settings/StandardConfiguration.h"
#include "support/SettingPrinter.h"
#include "support/SystemPaths.h"

#include <QDir>
#include <QFile>
#include <QFontDatabase>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <algorithm>
#include <optional>

using namespace qp;

namespace {

QByteArray readBytes(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void writeBytes(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

QByteArray utf16(const QString& text)
{
    QByteArray bytes("\xFF\xFE", 2);
    bytes.append(reinterpret_cast<const char*>(text.utf16()), text.size() * 2);
    return bytes;
}

ConfigurationHooks placementHooks(const WindowPlacement& p)
{
    ConfigurationHooks hooks;
    hooks.currentPlacement = [p] { return p; };
    return hooks;
}

std::vector<Setting> allKeys()
{
    std::vector<Setting> keys;
    for (const SettingDef& d : SettingsModel::definitions())
        keys.push_back(d.key);
    return keys;
}

// A value other than the default for every setting; texts chosen to need the escaping.
void changeEverySetting(SettingsModel& s)
{
    const std::pair<Setting, QString> texts[] = {
        {Setting::FSize, "'"},
        {Setting::act_text_fontcolor, "#12AB3F"},
        {Setting::act_text_hintergrund, "\"#FFFFFF\""},
        {Setting::label2, "'Quoted Face'"},
        {Setting::abs_h, "12a"},
        {Setting::abs_b, " 300"},
        {Setting::abs_u, "-5 "},
        {Setting::abs_o, "$1F"},
        {Setting::abs_l, "0x10"},
        {Setting::abs_r, "''"},
        {Setting::abs_z, "\t-3"},
        {Setting::abs_bmax, "a=b=c"},
        {Setting::out_ordner, QString::fromUtf8(" /tmp/Gr\u00FC\u00DFe \u2603 \U0001F600/")},
        {Setting::out_format, "*.png - Portable Network Graphics"},
        {Setting::ed_name, "\"name\""},
        {Setting::out_quality, "37"},
        {Setting::ed_num, "0x"},
        {Setting::ed_buchst, QString::fromUtf8("\u00E4\u00F6\u00FC=")},
        {Setting::ed_max, "\"open"},
        {Setting::ed_leerzeichen, " "},
        {Setting::ed_ersatz, ""},
        {Setting::beldateien, "jpg, png ; tif"},
    };
    for (const auto& [name, value] : texts)
        ASSERT_TRUE(s.setText(name, value)) << name;
    for (const SettingDef& d : SettingsModel::definitions())
        if (d.kind == SettingKind::Check || d.kind == SettingKind::PanelFlag)
            s.setChecked(d.key, !d.defaultChecked);
    for (const Setting radio : {Setting::txt_line, Setting::rb_drehung_270, Setting::abstand_fix, Setting::rb_alcenter,
                              Setting::n_eigenen, Setting::cb_keine})
        s.setChecked(radio, true);
    s.setAutoSaveChoice(false, true);
}

void expectSameSettings(const SettingsModel& a, const SettingsModel& b)
{
    for (const Setting key : allKeys())
        EXPECT_EQ(a.text(key), b.text(key)) << key;
    EXPECT_EQ(a.autoSaveNever(), b.autoSaveNever());
    EXPECT_EQ(a.autoSaveAll(), b.autoSaveAll());
}

} // namespace

TEST(Configuration, FileWithAllDefaultsHasTheDocumentedLayout)
{
    QTemporaryDir dir;
    SettingsModel s(test::systemPath("/opt/Quillpress"));
    s.setText(Setting::out_format, "*.jpg - JPEG-Image"); // as the English interface shows it
    const QString path = dir.filePath("Defaults.qpcf");
    KonfigurationSpeichern(s, path, placementHooks({false, 594, 646, 120, 200}));

    const QString expected = QStringLiteral(
        "[PBPA]\r\nPanel1=1\r\nPanel2=1\r\nPanel5=1\r\nPanel3=1\r\nPanel12=1\r\n"
        "[PBRB]\r\ntxt_all=1\r\ntxt_line=0\r\nrb_drehung_0=1\r\nrb_drehung_90=0\r\n"
        "rb_drehung_180=0\r\nrb_drehung_270=0\r\nabstand_var=1\r\nabstand_fix=0\r\nrb_alleft=1\r\n"
        "rb_alright=0\r\nrb_alcenter=0\r\nn_eigenen=0\r\nn_auto=1\r\n"
        "[PBCB]\r\nFSize=20\r\nout_format=*.jpg - JPEG-Image\r\n"
        "[PBCH]\r\ncb_bold=0\r\ncb_italic=0\r\ncb_underline=0\r\ncb_strikeout=0\r\nfix_wrap=1\r\n"
        "max_breite=1\r\n"
        "[PBED]\r\nact_text_fontcolor=#000000\r\nact_text_hintergrund=#FFFFFF\r\nlabel2=Tahoma\r\n"
        "abs_h=100\r\nabs_b=400\r\nabs_u=10\r\nabs_o=10\r\nabs_l=10\r\nabs_r=10\r\nabs_z=0\r\n"
        "abs_bmax=400\r\nout_ordner=") + test::systemPath("/opt/Quillpress/output") + QStringLiteral(
        "\r\ned_name=quillpress\r\n"
        "[ESED]\r\nbeldateien=jpg,bmp,png\r\n"
        "[OPCH]\r\nact_sizehochquerformat=1\r\nact_sizebigger=1\r\nact_sizekleiner=1\r\n"
        "progressivaktiv=1\r\npsdlayers=0\r\ncb_antialias=1\r\n"
        "[OPCB]\r\nout_quality=100\r\n"
        "[OPSB]\r\nScrollBar1=100\r\n"
        "[ONRB]\r\ncb_lower=1\r\ncb_upper=0\r\ncb_keine=0\r\n"
        "[ONCH]\r\ncb_num=1\r\ncb_numsofort=0\r\ncb_buchst=1\r\ncb_max=1\r\ncb_leerzeichen=1\r\n"
        "cb_ersatz=1\r\n"
        "[ONED]\r\ned_num=1\r\ned_buchst=abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ _-\r\n"
        "ed_max=20\r\ned_leerzeichen=_\r\ned_ersatz=_\r\n"
        "[SP]\r\nPF=0\r\nPB=594\r\nPH=646\r\nPT=120\r\nPL=200\r\n"
        "[AS]\r\nN=1\r\nA=0\r\n");
    EXPECT_EQ(readBytes(path), utf16(expected));
}

TEST(Configuration, EverySettingSurvivesARoundTripAndSavingTwiceGivesTheSameBytes)
{
    QTemporaryDir dir;
    SettingsModel a("/opt/qp");
    changeEverySetting(a);
    // Hand-checked: the quotes at both ends get one more pair, outer blanks get double quotes.
    const QString path = dir.filePath("All.qpcf");
    KonfigurationSpeichern(a, path);
    const IniFile raw(path);
    EXPECT_EQ(raw.ReadText("PBED", "label2", ""), "'Quoted Face'");
    const QByteArray bytes = readBytes(path);
    const QString file = QString::fromUtf16(reinterpret_cast<const char16_t*>(bytes.constData() + 2),
                                            (bytes.size() - 2) / 2);
    EXPECT_TRUE(file.contains("\r\nlabel2=''Quoted Face''\r\n"));
    EXPECT_TRUE(file.contains("\r\ned_name=\"\"name\"\"\r\n"));
    EXPECT_TRUE(file.contains("\r\ned_leerzeichen=\" \"\r\n"));
    EXPECT_TRUE(file.contains("\r\nabs_bmax=a=b=c\r\n"));

    SettingsModel b("/somewhere/else");
    KonfigurationLaden(b, ConfigurationCaller::Menu, path);
    expectSameSettings(a, b);

    KonfigurationSpeichern(b, path);
    EXPECT_EQ(readBytes(path), bytes);
}

TEST(Configuration, SavingKeepsForeignContentAndTheFileEncoding)
{
    QTemporaryDir dir;
    SettingsModel s;
    s.setText(Setting::ed_name, QString::fromUtf8("n\u00E4me"));

    // Foreign sections and keys, in a UTF-16 file.
    const QString withForeign = dir.filePath("Foreign.qpcf");
    writeBytes(withForeign, utf16("[Mine]\r\nmy=1\r\n[PBED]\r\nextra=kept\r\ned_name=old\r\n"));
    KonfigurationSpeichern(s, withForeign);
    const IniFile ini(withForeign);
    EXPECT_EQ(ini.ReadText("Mine", "my", ""), "1");
    EXPECT_EQ(ini.ReadText("PBED", "extra", ""), "kept");
    EXPECT_EQ(ini.ReadText("PBED", "ed_name", ""), QString::fromUtf8("n\u00E4me"));
    EXPECT_TRUE(readBytes(withForeign).startsWith(utf16("[Mine]\r\nmy=1\r\n[PBED]\r\nextra=kept\r\n"
                                                        "ed_name=n\u00E4me\r\nact_text_fontcolor=")));

    // A file without byte-order mark stays without one.
    const QString plain = dir.filePath("Plain.qpcf");
    writeBytes(plain, "[Mine]\nmy=1\n");
    KonfigurationSpeichern(s, plain);
    const QByteArray bytes = readBytes(plain);
    EXPECT_TRUE(bytes.startsWith("[Mine]\r\nmy=1\r\n[PBPA]\r\n"));
    EXPECT_TRUE(bytes.contains(QString::fromUtf8("ed_name=n\u00E4me\r\n").toUtf8()));
    SettingsModel back;
    KonfigurationLaden(back, ConfigurationCaller::Menu, plain);
    EXPECT_EQ(back.text(Setting::ed_name), QString::fromUtf8("n\u00E4me"));
}

TEST(Configuration, DamagedAndUnmarkedFilesLoadEveryOtherValueAndSaveWithoutDuplicates)
{
    QTemporaryDir dir;
    SettingsModel saved("/opt/qp");
    changeEverySetting(saved);
    // Longer than any limit a value had: a folder of 3,000 characters.
    QString folder = QStringLiteral("/tmp");
    while (folder.size() < 3000)
        folder += QLatin1Char('/') + QString(200, QLatin1Char('d'));
    folder.truncate(3000);
    saved.setText(Setting::out_ordner, folder);
    const QString emoji = QString::fromUtf8("\U0001F600");
    const QString fffd(QChar::ReplacementCharacter);
    saved.setText(Setting::ed_name, QString(2046, QLatin1Char('x')) + emoji);
    const QString path = dir.filePath("Good.qpcf");
    KonfigurationSpeichern(saved, path);
    const QByteArray good = readBytes(path);
    ASSERT_TRUE(good.startsWith("\xFF\xFE"));

    // ed_name cut after 2047 units, in the middle of its emoji (as an older save left it).
    const QByteArray emojiBytes = utf16(emoji).mid(2);
    QByteArray cut = good;
    cut.replace(emojiBytes, emojiBytes.left(2));
    // A low half alone in the middle of ed_buchst.
    QByteArray lone = good;
    const QByteArray buchst = utf16(QString::fromUtf8("ed_buchst=\u00E4")).mid(2);
    ASSERT_TRUE(lone.contains(buchst));
    lone.replace(buchst, buchst + emojiBytes.mid(2));
    struct Case {
        const char* name;
        QByteArray bytes;
        std::optional<Setting> damaged;
        QString value;
    };
    const Case cases[] = {
        {"cut", cut, Setting::ed_name, QString(2046, QLatin1Char('x')) + fffd},
        {"lone", lone, Setting::ed_buchst, QString::fromUtf8("\u00E4") + fffd + QString::fromUtf8("\u00F6\u00FC=")},
        {"no byte-order mark", good.mid(2), std::nullopt, {}},
    };
    for (const Case& c : cases) {
        const QString file = dir.filePath(QStringLiteral("%1.qpcf").arg(c.name));
        writeBytes(file, c.bytes);
        SettingsModel loaded;
        KonfigurationLaden(loaded, ConfigurationCaller::Menu, file);
        for (const Setting key : allKeys()) {
            if (c.damaged && key == *c.damaged)
                EXPECT_EQ(loaded.text(key), c.value) << c.name;
            else
                EXPECT_EQ(loaded.text(key), saved.text(key)) << c.name << ": " << key;
        }
        KonfigurationSpeichern(loaded, file);
        const QByteArray once = readBytes(file);
        KonfigurationSpeichern(loaded, file);
        EXPECT_EQ(readBytes(file), once) << c.name;
        const QString text = QString::fromUtf16(reinterpret_cast<const char16_t*>(once.constData()), once.size() / 2);
        EXPECT_EQ(text.count(QStringLiteral("[PBED]")), 1) << c.name;
        EXPECT_EQ(text.count(QStringLiteral("[AS]")), 1) << c.name;
        EXPECT_EQ(once.startsWith("\xFF\xFE"), c.bytes.startsWith("\xFF\xFE")) << c.name;
    }
}

TEST(Configuration, LaterSettingsLiveInTheirOwnSectionAtTheEndOnlyWhileInUse)
{
    QTemporaryDir dir;
    const QString plainPath = dir.filePath("Plain.qpcf");
    KonfigurationSpeichern(SettingsModel("/opt/qp"), plainPath);
    const QByteArray plain = readBytes(plainPath);
    ASSERT_FALSE(plain.contains(utf16("[QP]").mid(2)));

    for (const Setting later : {Setting::cb_inkbox, Setting::cb_fitbox, Setting::rb_aljustify, Setting::cb_transparent}) {
        SettingsModel s("/opt/qp");
        s.setChecked(later, true);
        const QString path = dir.filePath(SettingsModel::nameOf(later) + ".qpcf");
        KonfigurationSpeichern(s, path);
        const QByteArray bytes = readBytes(path);
        // The earlier sections are the plain file's, apart from the alignment radio it replaces.
        QByteArray expectedStart = plain;
        if (later == Setting::rb_aljustify)
            expectedStart.replace(utf16("rb_alleft=1").mid(2), utf16("rb_alleft=0").mid(2));
        EXPECT_TRUE(bytes.startsWith(expectedStart)) << later;
        EXPECT_EQ(bytes.mid(expectedStart.size()),
                  utf16(QStringLiteral("[QP]\r\ncb_inkbox=%1\r\ncb_fitbox=%2\r\nrb_aljustify=%3\r\ncb_transparent=%4\r\n")
                            .arg(int(later == Setting::cb_inkbox))
                            .arg(int(later == Setting::cb_fitbox))
                            .arg(int(later == Setting::rb_aljustify))
                            .arg(int(later == Setting::cb_transparent)))
                      .mid(2))
            << later;

        SettingsModel back("/opt/qp");
        KonfigurationLaden(back, ConfigurationCaller::Menu, path);
        expectSameSettings(s, back);
        // A configuration without the section was saved with the later settings at their defaults.
        KonfigurationLaden(back, ConfigurationCaller::Menu, plainPath);
        expectSameSettings(SettingsModel("/opt/qp"), back);
    }

    // A file from elsewhere: its own keys in "QP" stay, and a setting turned back to its default
    // is stored as such.
    const QString foreign = dir.filePath("Foreign.qpcf");
    writeBytes(foreign, plain + utf16("[QP]\r\ncb_fitbox=1\r\ncb_newer=7\r\n").mid(2));
    SettingsModel s("/opt/qp");
    KonfigurationLaden(s, ConfigurationCaller::Menu, foreign);
    EXPECT_TRUE(s.checked(Setting::cb_fitbox));
    s.setChecked(Setting::cb_fitbox, false);
    KonfigurationSpeichern(s, foreign);
    EXPECT_EQ(readBytes(foreign),
              plain + utf16("[QP]\r\ncb_fitbox=0\r\ncb_newer=7\r\ncb_inkbox=0\r\nrb_aljustify=0\r\ncb_transparent=0\r\n")
                          .mid(2));

    // A file that is no configuration changes none of them.
    s.setChecked(Setting::cb_inkbox, true);
    KonfigurationLaden(s, ConfigurationCaller::Menu, dir.filePath("missing.qpcf"));
    EXPECT_TRUE(s.checked(Setting::cb_inkbox));
}

TEST(Configuration, HandWrittenFilesLoadByTheReadingRules)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("Hand.qpcf");
    // No byte-order mark, odd spacing, mixed case, duplicates, letters for flags and positions,
    // and sections missing altogether (format options, shell settings).
    writeBytes(path, "  [pbed]  \n"
                     "  ABS_O =  42  \n"
                     "label2 = 'Courier' \n"
                     "abs_o=99\n"
                     "[PBED]\n"
                     "abs_u=77\n"
                     "[PbRb]\n"
                     "txt_all=1\n"
                     "TXT_LINE=1\n"
                     "rb_drehung_0 = yes\n"
                     "abstand_fix=1\n"
                     "[PBCH]\n"
                     "cb_bold=$1\n"
                     "cb_italic=ja\n"
                     "fix_wrap=0\n"
                     "[ONSB]\n"
                     "[OPSB]\n"
                     "ScrollBar1=viel\n"
                     "[PBPA]\n"
                     "Panel12=0\n");
    SettingsModel s(test::systemPath("/opt/qp"));
    s.setChecked(Setting::cb_italic, true);
    s.setPosition(Setting::ScrollBar1, 40);
    KonfigurationLaden(s, ConfigurationCaller::Menu, path);

    EXPECT_EQ(s.text(Setting::abs_o), "42");     // first key of the first section
    EXPECT_EQ(s.text(Setting::abs_u), "10");     // only in the second [PBED]: not seen
    EXPECT_EQ(s.text(Setting::label2), "Courier");
    EXPECT_FALSE(s.checked(Setting::txt_all));   // both set: the later one wins
    EXPECT_TRUE(s.checked(Setting::txt_line));
    EXPECT_TRUE(s.checked(Setting::rb_drehung_0)); // letters: unchanged
    EXPECT_TRUE(s.checked(Setting::abstand_fix));
    EXPECT_FALSE(s.checked(Setting::abstand_var));
    EXPECT_TRUE(s.isEnabled(Setting::abs_b));
    EXPECT_TRUE(s.checked(Setting::cb_bold));
    EXPECT_TRUE(s.checked(Setting::cb_italic));  // letters: unchanged
    EXPECT_FALSE(s.checked(Setting::fix_wrap));
    EXPECT_FALSE(s.checked(Setting::Panel12));
    EXPECT_EQ(s.position(Setting::ScrollBar1), 40); // letters: unchanged
    EXPECT_EQ(s.text(Setting::beldateien), "jpg,bmp,png");
    EXPECT_EQ(s.text(Setting::out_ordner), test::systemPath("/opt/qp/output"));
    EXPECT_TRUE(s.autoSaveNever());
    EXPECT_FALSE(s.autoSaveAll());

    // Both radios of a group cleared: neither is checked afterwards. The auto-save choice may be
    // both set.
    writeBytes(path, "[PBRB]\r\ntxt_all=0\r\ntxt_line=0\r\n[AS]\r\nN=1\r\nA=1\r\n");
    KonfigurationLaden(s, ConfigurationCaller::Menu, path);
    EXPECT_FALSE(s.checked(Setting::txt_all));
    EXPECT_FALSE(s.checked(Setting::txt_line));
    EXPECT_TRUE(s.autoSaveNever());
    EXPECT_TRUE(s.autoSaveAll());
}

TEST(Configuration, LoadingRunsEveryChangeRuleThenPlacementFontLanguageAndPreview)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("Same.qpcf");
    const QStringList families = QFontDatabase::families();
    SettingsModel s("/opt/qp");
    if (!families.isEmpty())
        s.setText(Setting::label2, families.first());
    KonfigurationSpeichern(s, path, placementHooks({false, 700, 500, 30, 40}));
    ASSERT_FALSE(s.fontListSelected());

    // Loading the same values: every setting is assigned and its change rules run.
    QSignalSpy changed(&s, &SettingsModel::changed);
    QSignalSpy enabling(&s, &SettingsModel::enablingChanged);
    std::vector<std::string> events;
    PlacementChange applied;
    ConfigurationHooks hooks = placementHooks({false, 594, 646, 0, 0});
    hooks.screenSize = [] { return QSize(1920, 1080); };
    hooks.applyPlacement = [&](const PlacementChange& c) {
        applied = c;
        events.push_back("placement");
    };
    hooks.reapplyLanguage = [&] { events.push_back("language"); };
    hooks.refreshPreview = [&] { events.push_back("preview"); };
    KonfigurationLaden(s, ConfigurationCaller::Menu, path, hooks);

    std::vector<Setting> changedKeys;
    for (const QList<QVariant>& args : changed)
        changedKeys.push_back(args.at(0).value<Setting>());
    for (const Setting key : allKeys())
        EXPECT_NE(std::ranges::find(changedKeys, key), changedKeys.end()) << key;
    EXPECT_GE(enabling.count(), 2);
    EXPECT_EQ(events, (std::vector<std::string>{"placement", "language", "preview"}));
    EXPECT_EQ(s.fontListSelected(), !families.isEmpty()); // the entry equal to label2
    EXPECT_EQ(applied, (PlacementChange{{false, 700, 500, 30, 40}, false}));

    // A file that does not exist changes nothing, but the steps after reading still run.
    events.clear();
    changed.clear();
    SettingsModel before("/opt/qp");
    KonfigurationLaden(before, ConfigurationCaller::Menu, dir.filePath("Missing.qpcf"), hooks);
    EXPECT_EQ(events, (std::vector<std::string>{"placement", "language", "preview"}));
    expectSameSettings(before, SettingsModel("/opt/qp"));
}

TEST(Configuration, WithoutAWindowThePlacementOfTheFileIsLeftAsItIs)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("Tool.qpcf");
    SettingsModel s;
    KonfigurationSpeichern(s, path, placementHooks({true, 800, 600, -8, -8}));
    s.setText(Setting::ed_name, "changed");
    KonfigurationSpeichern(s, path);
    const IniFile ini(path);
    EXPECT_EQ(ini.ReadText("PBED", "ed_name", ""), "changed");
    EXPECT_EQ(ini.ReadNumber("SP", "PB", 0), 800);
    EXPECT_EQ(ini.ReadNumber("SP", "PT", 0), -8);
    EXPECT_TRUE(ini.ReadFlag("SP", "PF", false));

    const QString fresh = dir.filePath("Fresh.qpcf");
    KonfigurationSpeichern(s, fresh);
    EXPECT_EQ(IniFile(fresh).ReadText("SP", "PF", "none"), "none");
}

TEST(WindowPlacement, LoadedPlacementIsAppliedWithinTheScreen)
{
    const WindowPlacement current{false, 594, 646, 100, 200};
    const QSize screen(1024, 768);
    using C = ConfigurationCaller;
    struct Case {
        const char* what;
        PlacementFileValues file;
        C caller;
        PlacementChange expected;
    };
    const Case cases[] = {
        {"all within", {false, 800, 700, 10, 20}, C::Menu, {{false, 800, 700, 10, 20}, false}},
        {"width too large, rest applied", {false, 1025, 768, 768, 1024}, C::Menu,
         {{false, 594, 768, 768, 1024}, false}},
        {"height and top too large", {false, 1024, 769, 769, -50}, C::Menu,
         {{false, 1024, 646, 100, -50}, false}},
        {"left too large", {false, {}, {}, -20, 1025}, C::Menu, {{false, 594, 646, -20, 200}, false}},
        {"nothing in the file", {}, C::StartWindow, {current, false}},
        {"maximized from the start window", {true, 5000, 5000, 50, 60}, C::StartWindow,
         {{false, 594, 646, 0, 200}, true}},
        {"maximized from a menu", {true, 300, 300, 50, 60}, C::Menu,
         {{false, 594, 646, 0, 0}, false}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(placementAfterLoad(c.file, current, screen, c.caller), c.expected) << c.what;

    // A missing maximized value counts as the current state.
    const WindowPlacement maximized{true, 594, 646, 100, 200};
    EXPECT_EQ(placementAfterLoad({}, maximized, screen, C::StartWindow),
              (PlacementChange{{true, 594, 646, 0, 200}, true}));
}

TEST(StandardConfiguration, SetsExactlyItsTable)
{
    SettingsModel s("/opt/qp");
    changeEverySetting(s);
    s.setFontListSelected(true);
    SettingsModel kept("/opt/qp");
    changeEverySetting(kept);

    QSignalSpy preview(&s, &SettingsModel::previewRequested);
    KonfigurationLadenStandard(s);
    EXPECT_GT(preview.count(), 0);

    // "Quillpress" in the pictures folder, in the system's form.
    const QString folder = standardOutputFolder();
    const QString pictures = QStandardPaths::writableLocation(QStandardPaths::PicturesLocation);
    EXPECT_EQ(folder, test::nativePath(pictures + "/Quillpress"));

    const std::pair<Setting, QString> table[] = {
        {Setting::act_text_fontcolor, "#000000"}, {Setting::act_text_hintergrund, "#FFFFFF"},
        {Setting::label2, "Tahoma"}, {Setting::abs_h, "100"}, {Setting::abs_b, "400"}, {Setting::abs_u, "10"},
        {Setting::abs_o, "10"}, {Setting::abs_l, "10"}, {Setting::abs_r, "10"}, {Setting::abs_z, "0"}, {Setting::abs_bmax, "400"},
        {Setting::out_ordner, folder}, {Setting::ed_name, "quillpress"}, {Setting::out_format, "*.jpg - JPEG-Image"},
        {Setting::FSize, "20"}, {Setting::txt_all, "1"}, {Setting::txt_line, "0"}, {Setting::abstand_var, "1"},
        {Setting::abstand_fix, "0"}, {Setting::n_eigenen, "0"}, {Setting::n_auto, "1"}, {Setting::cb_bold, "0"},
        {Setting::cb_italic, "0"}, {Setting::cb_underline, "0"}, {Setting::cb_strikeout, "0"}, {Setting::fix_wrap, "1"},
        {Setting::max_breite, "1"}, {Setting::cb_num, "1"}, {Setting::cb_numsofort, "0"}, {Setting::cb_buchst, "1"},
        {Setting::cb_max, "1"}, {Setting::cb_leerzeichen, "1"}, {Setting::cb_ersatz, "1"}, {Setting::cb_lower, "1"},
        {Setting::cb_upper, "0"}, {Setting::cb_keine, "0"}, {Setting::ed_num, "1"},
        {Setting::ed_buchst, "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ _-"},
        {Setting::ed_max, "20"}, {Setting::ed_leerzeichen, "_"}, {Setting::ed_ersatz, "_"},
        {Setting::act_sizehochquerformat, "1"}, {Setting::act_sizebigger, "1"}, {Setting::act_sizekleiner, "1"},
        {Setting::out_quality, "100"}, {Setting::ScrollBar1, "100"}, {Setting::progressivaktiv, "1"},
        {Setting::beldateien, "jpg,bmp,png"},
    };
    std::vector<Setting> inTable;
    for (const auto& [key, value] : table) {
        EXPECT_EQ(s.text(key), value) << key;
        inTable.push_back(key);
    }
    EXPECT_TRUE(s.autoSaveNever());
    EXPECT_FALSE(s.autoSaveAll());

    // Everything else is left alone: rotation, alignment, psdlayers, cb_antialias, panels.
    for (const Setting key : allKeys()) {
        if (std::ranges::find(inTable, key) == inTable.end()) {
            EXPECT_EQ(s.text(key), kept.text(key)) << key;
        }
    }
    EXPECT_TRUE(s.checked(Setting::rb_drehung_270));
    EXPECT_TRUE(s.fontListSelected());
}
