// SPDX-License-Identifier: MIT
#include "core/settings/SettingsModel.h"

#include "core/i18n/FormatNames.h"
#include "core/render/FontFaces.h"

#include "core/settings/IntegerTest.h"

#include <QDir>
#include <QFontDatabase>
#include <algorithm>

namespace qp {

namespace {

std::vector<SettingDef> makeDefinitions()
{
    using enum SettingWindow;
    using enum SettingKind;
    using enum KeyFilter;
    return {
#define QP_SETTING(name, window, kind, text, checked, position, keys, group) \
    {Setting::name, #name, window, kind, text, checked, position, keys, group},
#include "core/settings/SettingsTable.def"
#undef QP_SETTING
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
bool previewOnAnyChange(Setting key)
{
    using enum Setting;
    static constexpr Setting keys[] = {txt_all,        txt_line,      abstand_var,    abstand_fix,   cb_bold,
                                       cb_italic,      cb_underline,  cb_strikeout,   rb_drehung_0,  rb_drehung_90,
                                       rb_drehung_180, rb_drehung_270, rb_alleft,     rb_alright,    rb_alcenter,
                                       fix_wrap,       max_breite,    FSize,          cb_antialias,  rb_aljustify,
                                       cb_fitbox,      cb_inkbox,     cb_transparent};
    return std::ranges::find(keys, key) != std::end(keys);
}

// Numeric fields that redraw the preview only when their new text passes the integer test.
bool previewWhenInteger(Setting key)
{
    using enum Setting;
    static constexpr Setting keys[] = {abs_h, abs_b, abs_u, abs_o, abs_l, abs_r, abs_z, abs_bmax};
    return std::ranges::find(keys, key) != std::end(keys);
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

const SettingDef& SettingsModel::definition(Setting key)
{
    return definitions()[size_t(key)];
}

QString SettingsModel::nameOf(Setting key)
{
    return QString::fromLatin1(definition(key).name);
}

const SettingDef* SettingsModel::find(const QString& name)
{
    for (const auto& d : definitions())
        if (name == QLatin1String(d.name))
            return &d;
    return nullptr;
}

std::optional<Setting> SettingsModel::keyOf(const QString& name)
{
    if (const SettingDef* def = find(name))
        return def->key;
    return std::nullopt;
}

const QStringList& SettingsModel::outputFormats()
{
    static const QStringList formats = outputFormatsForLanguage(QStringLiteral("de"));
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

const ArrowRange* SettingsModel::arrowRange(Setting key)
{
    using enum Setting;
    static const ArrowRange size{0, 100, 20};
    static const ArrowRange margin{-10000, 10000, 10};
    static const ArrowRange spacing{-1000, 1000, 0};
    switch (key) {
    case FSize:
        return &size;
    case abs_z:
        return &spacing;
    case abs_l:
    case abs_r:
    case abs_u:
    case abs_o:
        return &margin;
    default:
        return nullptr;
    }
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
    value(Setting::out_ordner).text = m_defaultOutputFolder;
}

QString SettingsModel::text(Setting key) const
{
    const SettingKind k = definition(key).kind;
    if (isFlagKind(k))
        return value(key).checked ? QStringLiteral("1") : QStringLiteral("0");
    if (k == SettingKind::Position)
        return QString::number(value(key).position);
    return value(key).text;
}

bool SettingsModel::checked(Setting key) const
{
    return isFlagKind(definition(key).kind) && value(key).checked;
}

int SettingsModel::position(Setting key) const
{
    return value(key).position;
}

bool SettingsModel::setText(Setting key, const QString& text)
{
    if (!isTextKind(definition(key).kind))
        return false;
    if (value(key).text == text)
        return true;
    value(key).text = text;
    applyChangeRules(key);
    return true;
}

bool SettingsModel::setChecked(Setting key, bool on)
{
    const SettingDef& def = definition(key);
    if (!isFlagKind(def.kind))
        return false;
    if (value(key).checked == on)
        return true;
    value(key).checked = on;
    if (on && def.kind == SettingKind::Radio) {
        // Checking one radio clears the others of its group.
        for (const SettingDef& other : definitions()) {
            if (other.key != key && other.group && qstrcmp(other.group, def.group) == 0 &&
                value(other.key).checked) {
                value(other.key).checked = false;
                emit changed(other.key);
            }
        }
    }
    applyChangeRules(key);
    return true;
}

bool SettingsModel::setPosition(Setting key, int position)
{
    if (definition(key).kind != SettingKind::Position)
        return false;
    position = std::clamp(position, 1, 100); // the only position is the quality slider
    if (value(key).position == position)
        return true;
    value(key).position = position;
    applyChangeRules(key);
    return true;
}

bool SettingsModel::setFromString(Setting key, const QString& text)
{
    const SettingKind kind = definition(key).kind;
    if (isTextKind(kind))
        return setText(key, text);
    if (kind == SettingKind::Position) {
        const auto v = toInteger(text);
        return v && setPosition(key, *v);
    }
    const QString v = text.trimmed().toLower();
    if (v == u"1" || v == u"true")
        return setChecked(key, true);
    if (v == u"0" || v == u"false")
        return setChecked(key, false);
    return false;
}

bool SettingsModel::setFromString(const QString& name, const QString& text)
{
    const auto key = keyOf(name);
    return key && setFromString(*key, text);
}

void SettingsModel::resetToDefaults()
{
    for (const auto& d : definitions()) {
        if (isTextKind(d.kind))
            setText(d.key, d.key == Setting::out_ordner ? m_defaultOutputFolder : QString::fromUtf8(d.defaultText));
        else if (d.kind == SettingKind::Position)
            setPosition(d.key, d.defaultPosition);
        else if (d.defaultChecked || d.kind != SettingKind::Radio)
            setChecked(d.key, d.defaultChecked);
    }
}

void SettingsModel::runChangeRules(Setting key)
{
    applyChangeRules(key);
}

void SettingsModel::setAutoSaveChoice(bool never, bool all)
{
    if (m_autoSaveNever == never && m_autoSaveAll == all)
        return;
    m_autoSaveNever = never;
    m_autoSaveAll = all;
    emit autoSaveChoiceChanged();
}

void SettingsModel::applyChangeRules(Setting key)
{
    using enum Setting;
    emit changed(key);

    if (key == abstand_var || key == abstand_fix)
        emit enablingChanged();

    if (key == act_text_fontcolor || key == act_text_hintergrund) {
        colourTextChanged(key);
        return;
    }
    if (key == out_quality) {
        if (const auto v = toInteger(text(key)))
            setPosition(ScrollBar1, *v);
        return;
    }
    if (key == ScrollBar1) {
        setText(out_quality, QString::number(position(key)));
        return;
    }
    // Whether the chosen format keeps a transparent background shows in the preview.
    const bool transparencyFollows = key == out_format && checked(cb_transparent);
    if (previewOnAnyChange(key) || transparencyFollows || (previewWhenInteger(key) && passesIntegerTest(text(key))))
        emit previewRequested();
}

void SettingsModel::colourTextChanged(Setting key)
{
    QString t = text(key);
    t.remove(QLatin1Char('#'));
    if (t.size() != 6)
        return;
    if (const auto v = toInteger(QLatin1Char('$') + t)) {
        const QColor c((*v >> 16) & 0xFF, (*v >> 8) & 0xFF, *v & 0xFF);
        if (key == Setting::act_text_fontcolor)
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

bool SettingsModel::acceptKey(Setting setting, QChar key)
{
    const bool backspace = key.unicode() == 8;
    const bool digit = key >= u'0' && key <= u'9';
    switch (definition(setting).keys) {
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
        const QString current = text(setting);
        const auto v = toInteger(current);
        const bool accept = (digit || backspace) && v && *v >= 1 && *v <= 100;
        if (current.size() > 3)
            setText(setting, QStringLiteral("100"));
        return accept;
    }
    }
    return false;
}

bool SettingsModel::stepArrow(Setting key, int delta)
{
    const ArrowRange* range = arrowRange(key);
    if (!range)
        return false;
    const int current = integerOr(text(key), range->start);
    const int next = std::clamp(current + delta, range->minimum, range->maximum);
    setText(key, QString::number(next));
    // An arrow press redraws the preview even when the value stays at its limit.
    emit previewRequested();
    return true;
}

bool SettingsModel::isEnabled(Setting key) const
{
    using enum Setting;
    switch (key) {
    case max_breite:
    case abs_bmax:
        return checked(abstand_var);
    case abs_b:
    case abs_h:
    case fix_wrap:
    case cb_fitbox:
        return checked(abstand_fix);
    default:
        return true;
    }
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
    if (installedFamily(text(Setting::label2)).isEmpty())
        return false;
    setFontListSelected(true);
    return true;
}

} // namespace qp
