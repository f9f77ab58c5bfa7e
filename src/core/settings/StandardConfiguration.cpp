// SPDX-License-Identifier: MIT
#include "core/settings/StandardConfiguration.h"

#include "core/app/ProgramFolder.h"
#include "core/i18n/FormatNames.h"
#include "core/i18n/Language.h"
#include "core/settings/Configuration.h"
#include "core/settings/SettingsModel.h"


namespace qp {

QString standardOutputFolder()
{
    return userPicturesOutputFolder();
}

void KonfigurationLadenStandard(SettingsModel& settings)
{
    using enum Setting;
    struct TextValue {
        Setting key;
        const char* value;
    };
    struct FlagValue {
        Setting key;
        bool value;
    };
    auto texts = [&](std::initializer_list<TextValue> values) {
        for (const TextValue& v : values)
            assignText(settings, v.key, QString::fromUtf8(v.value));
    };
    auto flags = [&](std::initializer_list<FlagValue> values) {
        for (const FlagValue& v : values)
            assignChecked(settings, v.key, v.value);
    };

    // Main window
    texts({{act_text_fontcolor, "#000000"}, {act_text_hintergrund, "#FFFFFF"},
           {label2, "Tahoma"}, {abs_h, "100"}, {abs_b, "400"}, {abs_u, "10"},
           {abs_o, "10"}, {abs_l, "10"}, {abs_r, "10"}, {abs_z, "0"},
           {abs_bmax, "400"}});
    assignText(settings, out_ordner, standardOutputFolder());
    // The format name as the format box lists it in the current language, so that the box shows
    // the entry of its own list.
    texts({{ed_name, "quillpress"}});
    assignText(settings, out_format, formatNameForLanguage(QStringLiteral("*.jpg - JPEG-Image"), Language::code()));
    texts({{FSize, "20"}});
    flags({{txt_all, true}, {txt_line, false}, {abstand_var, true}, {abstand_fix, false},
           {n_eigenen, false}, {n_auto, true}});
    flags({{cb_bold, false}, {cb_italic, false}, {cb_underline, false},
           {cb_strikeout, false}, {fix_wrap, true}, {max_breite, true}});
    // File-name options window
    flags({{cb_num, true}, {cb_numsofort, false}, {cb_buchst, true}, {cb_max, true},
           {cb_leerzeichen, true}, {cb_ersatz, true}});
    flags({{cb_lower, true}, {cb_upper, false}, {cb_keine, false}});
    texts({{ed_num, "1"},
           {ed_buchst, "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ _-"},
           {ed_max, "20"}, {ed_leerzeichen, "_"}, {ed_ersatz, "_"}});
    // Format options window
    flags({{act_sizehochquerformat, true}, {act_sizebigger, true}, {act_sizekleiner, true}});
    assignText(settings, out_quality, QStringLiteral("100"));
    assignPosition(settings, ScrollBar1, 100);
    flags({{progressivaktiv, true}});
    // Shell-settings window
    texts({{beldateien, "jpg,bmp,png"}});
    // Configuration menu
    settings.setAutoSaveChoice(true, false);
}

} // namespace qp
