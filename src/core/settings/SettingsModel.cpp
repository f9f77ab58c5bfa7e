// SPDX-License-Identifier: MIT
#include "settings/SettingsModel.h"

#include "settings/IntegerTest.h"

#include <QDir>
#include <QFontDatabase>
#include <algorithm>

namespace qp {

namespace {

using W = SettingWindow;
using K = SettingKind;
using F = KeyFilter;

SettingDef text(const char* name, W w, const char* def, F keys)
{
    return {name, w, K::Text, def, false, 0, keys, nullptr};
}
SettingDef choice(const char* name, W w, const char* def, F keys)
{
    return {name, w, K::ChoiceText, def, false, 0, keys, nullptr};
}
SettingDef check(const char* name, W w, bool def)
{
    return {name, w, K::Check, "", def, 0, F::NotTyped, nullptr};
}
SettingDef radio(const char* name, W w, bool def, const char* group)
{
    return {name, w, K::Radio, "", def, 0, F::NotTyped, group};
}
SettingDef panel(const char* name)
{
    return {name, W::Prog, K::PanelFlag, "", true, 0, F::NotTyped, nullptr};
}

std::vector<SettingDef> makeDefinitions()
{
    const char* letters = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ _-";
    return {
        // Main window
        panel("Panel1"),
        panel("Panel2"),
        panel("Panel5"),
        radio("txt_all", W::Prog, true, "textmode"),
        radio("txt_line", W::Prog, false, "textmode"),
        choice("FSize", W::Prog, "20", F::Digits),
        check("cb_bold", W::Prog, false),
        check("cb_italic", W::Prog, false),
        check("cb_underline", W::Prog, false),
        text("act_text_fontcolor", W::Prog, "#000000", F::Any),
        text("act_text_hintergrund", W::Prog, "#FFFFFF", F::Any),
        check("cb_strikeout", W::Prog, false),
        text("label2", W::Prog, "Tahoma", F::Any),
        radio("rb_drehung_0", W::Prog, true, "rotation"),
        radio("rb_drehung_90", W::Prog, false, "rotation"),
        radio("rb_drehung_180", W::Prog, false, "rotation"),
        radio("rb_drehung_270", W::Prog, false, "rotation"),
        radio("abstand_var", W::Prog, true, "sizemode"),
        radio("abstand_fix", W::Prog, false, "sizemode"),
        text("abs_h", W::Prog, "100", F::DigitsMinus),
        text("abs_b", W::Prog, "400", F::DigitsMinus),
        text("abs_u", W::Prog, "10", F::DigitsMinus),
        text("abs_o", W::Prog, "10", F::DigitsMinus),
        text("abs_l", W::Prog, "10", F::DigitsMinus),
        text("abs_r", W::Prog, "10", F::DigitsMinus),
        text("abs_z", W::Prog, "0", F::DigitsMinus),
        check("fix_wrap", W::Prog, true),
        text("abs_bmax", W::Prog, "400", F::DigitsMinus),
        check("max_breite", W::Prog, true),
        panel("Panel3"),
        radio("rb_alleft", W::Prog, true, "alignment"),
        radio("rb_alright", W::Prog, false, "alignment"),
        radio("rb_alcenter", W::Prog, false, "alignment"),
        text("out_ordner", W::Prog, "", F::FolderPath),
        choice("out_format", W::Prog, "*.jpg - JPEG-Bild", F::Nothing),
        text("ed_name", W::Prog, "quillpress", F::NoReserved),
        radio("n_eigenen", W::Prog, false, "naming"),
        radio("n_auto", W::Prog, true, "naming"),
        panel("Panel12"),
        // Format options window
        check("act_sizehochquerformat", W::Optionen, true),
        check("act_sizebigger", W::Optionen, true),
        check("act_sizekleiner", W::Optionen, true),
        choice("out_quality", W::Optionen, "100", F::Quality),
        {"ScrollBar1", W::Optionen, K::Position, "", false, 100, F::NotTyped, nullptr},
        check("progressivaktiv", W::Optionen, true),
        check("psdlayers", W::Optionen, false),
        check("cb_antialias", W::Optionen, true),
        // File-name options window
        radio("cb_lower", W::OptionenName, true, "case"),
        radio("cb_upper", W::OptionenName, false, "case"),
        radio("cb_keine", W::OptionenName, false, "case"),
        check("cb_num", W::OptionenName, true),
        text("ed_num", W::OptionenName, "1", F::Digits),
        check("cb_numsofort", W::OptionenName, false),
        check("cb_buchst", W::OptionenName, true),
        text("ed_buchst", W::OptionenName, letters, F::NoReserved),
        check("cb_max", W::OptionenName, true),
        text("ed_max", W::OptionenName, "20", F::Digits),
        check("cb_leerzeichen", W::OptionenName, true),
        text("ed_leerzeichen", W::OptionenName, "_", F::NoReserved),
        check("cb_ersatz", W::OptionenName, true),
        text("ed_ersatz", W::OptionenName, "_", F::NoReserved),
        // Shell-settings window
        text("beldateien", W::EinstShortcuts, "jpg,bmp,png", F::Any),
    };
}

bool isTextKind(SettingKind k)
{
    return k == SettingKind::Text || k == SettingKind::ChoiceText;
}
bool isFlagKind(SettingKind k)
{
    return k == SettingKind::Check || k == SettingKind::Radio || k == SettingKind::PanelFlag;
}

// Settings whose change redraws the preview unconditionally.
bool previewOnAnyChange(const QString& n)
{
    static const QStringList names = {
        "txt_all", "txt_line", "abstand_var", "abstand_fix", "cb_bold", "cb_italic",
        "cb_underline", "cb_strikeout", "rb_drehung_0", "rb_drehung_90", "rb_drehung_180",
        "rb_drehung_270", "rb_alleft", "rb_alright", "rb_alcenter", "fix_wrap", "max_breite",
        "FSize", "cb_antialias"};
    return names.contains(n);
}

// Numeric fields that redraw the preview only when their new text passes the integer test.
bool previewWhenInteger(const QString& n)
{
    static const QStringList names = {"abs_h", "abs_b", "abs_u", "abs_o",
                                      "abs_l", "abs_r", "abs_z", "abs_bmax"};
    return names.contains(n);
}

} // namespace

const std::vector<SettingDef>& SettingsModel::definitions()
{
    static const std::vector<SettingDef> defs = makeDefinitions();
    return defs;
}

std::vector<const SettingDef*> SettingsModel::definitionsOf(SettingWindow window)
{
    std::vector<const SettingDef*> out;
    for (const auto& d : definitions())
        if (d.window == window)
            out.push_back(&d);
    return out;
}

const SettingDef* SettingsModel::find(const QString& name)
{
    for (const auto& d : definitions())
        if (name == QLatin1String(d.name))
            return &d;
    return nullptr;
}

const QStringList& SettingsModel::outputFormats()
{
    static const QStringList formats = {
        "*.jpg - JPEG-Bild",
        "*.png - Portable Network Graphics",
        "*.gif - Graphics Interchange Format",
        "*.bmp - Windows Bitmap",
        "*.dib - Windows Bitmap",
        "*.ico - Windows Icon",
        "*.cur - Windows Cursor",
        "*.psd - Photoshop Bild",
        "*.pdd - Photoshop Bild",
        "*.tif - Tagged Image File Format",
        "*.tiff - Tagged Image File Format",
        "*.jpeg - JPEG-Bild",
        "*.jfif - JPEG-Bild",
        "*.jpe - JPEG-Bild",
        "*.jif - JPEG-Bild",
        "*.mng - Multiple Network Graphics",
        QString::fromUtf8("*.jng - JPEG Network Graphics\u00B4"),
        "*.pgm - Portable Gray Map",
        "*.ppm - Portable Pixel Map",
        "*.pam - Portable Arbitrary Map",
        "*.pfm - Portable Float Map",
        "*.jp2 - JPEG 2000",
        "*.j2k - JPEG 2000",
        "*.j2c - JPEG 2000",
        "*.jpx - JPEG 2000",
        "*.jpc - JPEG 2000",
        "*.dds - DirectDraw Surface",
        "*.tga - Truevision Targa Bild",
    };
    return formats;
}

const QStringList& SettingsModel::fontSizeProposals()
{
    static const QStringList l = {"8",  "9",  "10", "11", "12", "13", "14", "16", "18",
                                  "20", "24", "28", "32", "36", "40", "64", "72", "144"};
    return l;
}

const QStringList& SettingsModel::qualityProposals()
{
    static const QStringList l = {"100", "90", "85", "80", "75", "70", "60", "40", "20", "1"};
    return l;
}

const ArrowRange* SettingsModel::arrowRange(const QString& name)
{
    static const ArrowRange size{0, 100, 20};
    static const ArrowRange margin{-10000, 10000, 10};
    static const ArrowRange spacing{-1000, 1000, 0};
    if (name == u"FSize")
        return &size;
    if (name == u"abs_z")
        return &spacing;
    if (name == u"abs_l" || name == u"abs_r" || name == u"abs_u" || name == u"abs_o")
        return &margin;
    return nullptr;
}

QString SettingsModel::outputFolderIn(const QString& programFolder)
{
    QString folder = QDir::toNativeSeparators(programFolder);
    if (!folder.isEmpty() && !folder.endsWith(QDir::separator()))
        folder += QDir::separator();
    return folder + QStringLiteral("output");
}

SettingsModel::SettingsModel(const QString& programFolder, QObject* parent)
    : SettingsModel(programFolder, outputFolderIn(programFolder), parent)
{
}

SettingsModel::SettingsModel(const QString& programFolder, const QString& defaultOutputFolder, QObject* parent)
    : QObject(parent), m_programFolder(programFolder), m_defaultOutputFolder(defaultOutputFolder)
{
    const auto& defs = definitions();
    m_values.resize(defs.size());
    for (size_t i = 0; i < defs.size(); ++i) {
        m_values[i].text = QString::fromUtf8(defs[i].defaultText);
        m_values[i].checked = defs[i].defaultChecked;
        m_values[i].position = defs[i].defaultPosition;
    }
    m_values[indexOf("out_ordner")].text = m_defaultOutputFolder;
}

int SettingsModel::indexOf(const QString& name) const
{
    const auto& defs = definitions();
    for (size_t i = 0; i < defs.size(); ++i)
        if (name == QLatin1String(defs[i].name))
            return static_cast<int>(i);
    return -1;
}

QString SettingsModel::text(const QString& name) const
{
    const int i = indexOf(name);
    if (i < 0)
        return {};
    const SettingKind k = definitions()[i].kind;
    if (isFlagKind(k))
        return m_values[i].checked ? QStringLiteral("1") : QStringLiteral("0");
    if (k == SettingKind::Position)
        return QString::number(m_values[i].position);
    return m_values[i].text;
}

bool SettingsModel::checked(const QString& name) const
{
    const int i = indexOf(name);
    return i >= 0 && isFlagKind(definitions()[i].kind) && m_values[i].checked;
}

int SettingsModel::position(const QString& name) const
{
    const int i = indexOf(name);
    return i >= 0 ? m_values[i].position : 0;
}

bool SettingsModel::setText(const QString& name, const QString& value)
{
    const int i = indexOf(name);
    if (i < 0 || !isTextKind(definitions()[i].kind))
        return false;
    if (m_values[i].text == value)
        return true;
    m_values[i].text = value;
    applyChangeRules(definitions()[i]);
    return true;
}

bool SettingsModel::setChecked(const QString& name, bool value)
{
    const int i = indexOf(name);
    if (i < 0 || !isFlagKind(definitions()[i].kind))
        return false;
    const SettingDef& def = definitions()[i];
    if (m_values[i].checked == value)
        return true;
    m_values[i].checked = value;
    if (value && def.kind == SettingKind::Radio) {
        // Checking one radio clears the others of its group.
        const auto& defs = definitions();
        for (size_t j = 0; j < defs.size(); ++j) {
            if (static_cast<int>(j) != i && defs[j].group && qstrcmp(defs[j].group, def.group) == 0 &&
                m_values[j].checked) {
                m_values[j].checked = false;
                emit changed(QString::fromLatin1(defs[j].name));
            }
        }
    }
    applyChangeRules(def);
    return true;
}

bool SettingsModel::setPosition(const QString& name, int value)
{
    const int i = indexOf(name);
    if (i < 0 || definitions()[i].kind != SettingKind::Position)
        return false;
    value = std::clamp(value, 1, 100); // the only position is the quality slider
    if (m_values[i].position == value)
        return true;
    m_values[i].position = value;
    applyChangeRules(definitions()[i]);
    return true;
}

bool SettingsModel::setFromString(const QString& name, const QString& value)
{
    const SettingDef* def = find(name);
    if (!def)
        return false;
    if (isTextKind(def->kind))
        return setText(name, value);
    if (def->kind == SettingKind::Position) {
        const auto v = toInteger(value);
        return v && setPosition(name, *v);
    }
    const QString v = value.trimmed().toLower();
    if (v == u"1" || v == u"true")
        return setChecked(name, true);
    if (v == u"0" || v == u"false")
        return setChecked(name, false);
    return false;
}

void SettingsModel::resetToDefaults()
{
    for (const auto& d : definitions()) {
        const QString n = QString::fromLatin1(d.name);
        if (isTextKind(d.kind))
            setText(n, n == u"out_ordner" ? m_defaultOutputFolder
                                          : QString::fromUtf8(d.defaultText));
        else if (d.kind == SettingKind::Position)
            setPosition(n, d.defaultPosition);
        else if (d.defaultChecked || d.kind != SettingKind::Radio)
            setChecked(n, d.defaultChecked);
    }
}

void SettingsModel::runChangeRules(const QString& name)
{
    if (const SettingDef* def = find(name))
        applyChangeRules(*def);
}

void SettingsModel::setAutoSaveChoice(bool never, bool all)
{
    if (m_autoSaveNever == never && m_autoSaveAll == all)
        return;
    m_autoSaveNever = never;
    m_autoSaveAll = all;
    emit autoSaveChoiceChanged();
}

void SettingsModel::applyChangeRules(const SettingDef& def)
{
    const QString name = QString::fromLatin1(def.name);
    emit changed(name);

    if (name == u"abstand_var" || name == u"abstand_fix")
        emit enablingChanged();

    if (name == u"act_text_fontcolor" || name == u"act_text_hintergrund") {
        colourTextChanged(name);
        return;
    }
    if (name == u"out_quality") {
        if (const auto v = toInteger(text(name)))
            setPosition(QStringLiteral("ScrollBar1"), *v);
        return;
    }
    if (name == u"ScrollBar1") {
        setText(QStringLiteral("out_quality"), QString::number(position(name)));
        return;
    }
    if (previewOnAnyChange(name) || (previewWhenInteger(name) && passesIntegerTest(text(name))))
        emit previewRequested();
}

void SettingsModel::colourTextChanged(const QString& name)
{
    QString t = text(name);
    t.remove(QLatin1Char('#'));
    if (t.size() != 6)
        return;
    if (const auto v = toInteger(QLatin1Char('$') + t)) {
        const QColor c((*v >> 16) & 0xFF, (*v >> 8) & 0xFF, *v & 0xFF);
        if (name == u"act_text_fontcolor")
            m_fontColor = c;
        else
            m_backgroundColor = c;
    }
    emit previewRequested();
}

QColor SettingsModel::contrastTextColor(const QColor& background)
{
    return background.red() + background.green() + background.blue() >= 500 ? QColor(0, 0, 0)
                                                                             : QColor(255, 255, 255);
}

QString SettingsModel::colorText(const QColor& c)
{
    return QStringLiteral("#%1%2%3")
        .arg(c.red(), 2, 16, QLatin1Char('0'))
        .arg(c.green(), 2, 16, QLatin1Char('0'))
        .arg(c.blue(), 2, 16, QLatin1Char('0'))
        .toUpper();
}

bool SettingsModel::acceptKey(const QString& name, QChar key)
{
    const SettingDef* def = find(name);
    if (!def)
        return false;
    const bool backspace = key.unicode() == 8;
    const bool digit = key >= u'0' && key <= u'9';
    switch (def->keys) {
    case KeyFilter::Any:
        return true;
    case KeyFilter::Digits:
        return digit || backspace;
    case KeyFilter::DigitsMinus:
        return digit || backspace || key == u'-';
    case KeyFilter::NoReserved:
        return !isReservedCharacter(key);
    case KeyFilter::FolderPath:
        // A typed path needs its separators; the folder check still judges the whole text.
        return key == QDir::separator() || !isReservedCharacter(key);
    case KeyFilter::Nothing:
    case KeyFilter::NotTyped:
        return false;
    case KeyFilter::Quality: {
        const QString current = text(name);
        const auto v = toInteger(current);
        const bool accept = (digit || backspace) && v && *v >= 1 && *v <= 100;
        if (current.size() > 3)
            setText(name, QStringLiteral("100"));
        return accept;
    }
    }
    return false;
}

bool SettingsModel::stepArrow(const QString& name, int delta)
{
    const ArrowRange* range = arrowRange(name);
    if (!range)
        return false;
    const int current = integerOr(text(name), range->start);
    const int next = std::clamp(current + delta, range->minimum, range->maximum);
    setText(name, QString::number(next));
    // An arrow press redraws the preview even when the value stays at its limit.
    emit previewRequested();
    return true;
}

bool SettingsModel::isEnabled(const QString& name) const
{
    static const QStringList variableOnly = {"max_breite", "abs_bmax"};
    static const QStringList fixedOnly = {"abs_b", "abs_h", "fix_wrap"};
    if (variableOnly.contains(name))
        return checked(QStringLiteral("abstand_var"));
    if (fixedOnly.contains(name))
        return checked(QStringLiteral("abstand_fix"));
    return true;
}

void SettingsModel::setFontListSelected(bool selected)
{
    if (m_fontListSelected == selected)
        return;
    m_fontListSelected = selected;
    emit previewRequested();
}

bool SettingsModel::selectFontEntryForLabel()
{
    const QString face = text(QStringLiteral("label2"));
    const QStringList families = QFontDatabase::families();
    if (!families.contains(face))
        return false;
    setFontListSelected(true);
    return true;
}

} // namespace qp
