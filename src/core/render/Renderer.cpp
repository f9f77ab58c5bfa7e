// SPDX-License-Identifier: MIT
#include "core/render/Renderer.h"

#include "core/i18n/FormatNames.h"
#include "core/settings/IntegerTest.h"
#include "core/settings/SettingsModel.h"

namespace qp {

LayoutSettings readLayoutSettings(const SettingsModel& settings)
{
    using enum Setting;
    LayoutSettings l;
    if (settings.fontListSelected())
        l.face = settings.text(label2);
    l.fontPoints = toInteger(settings.text(FSize));
    l.textColor = settings.fontColor();
    l.backgroundColor = settings.backgroundColor();
    l.bold = settings.checked(cb_bold);
    l.italic = settings.checked(cb_italic);
    l.underline = settings.checked(cb_underline);
    l.strikeOut = settings.checked(cb_strikeout);
    // Before the format options window exists, the engine's default quality applies.
    l.quality = !settings.optionsWindowExists() ? FontQuality::Default
                : settings.checked(cb_antialias) ? FontQuality::Antialiased
                                                 : FontQuality::NonAntialiased;
    l.top = integerOr(settings.text(abs_o), 0);
    l.bottom = integerOr(settings.text(abs_u), 0);
    l.left = integerOr(settings.text(abs_l), 0);
    l.right = integerOr(settings.text(abs_r), 0);
    l.spacing = integerOr(settings.text(abs_z), 0);
    l.fixedSize = settings.checked(abstand_fix);
    l.fixedWidth = integerOr(settings.text(abs_b), 500);
    l.fixedHeight = integerOr(settings.text(abs_h), 100);
    l.fixedWrap = settings.checked(fix_wrap);
    l.limitWidth = settings.checked(max_breite);
    l.maxWidth = toInteger(settings.text(abs_bmax));
    l.fitToBox = settings.checked(cb_fitbox);
    l.inkBox = settings.checked(cb_inkbox);
    const QString format = settings.text(out_format);
    l.transparent = settings.checked(cb_transparent) && formatStoresTransparency(format);
    l.oneTransparentColour = l.transparent && formatHasOneTransparentColour(format);
    return l;
}

DrawSettings readDrawSettings(const SettingsModel& settings)
{
    using enum Setting;
    DrawSettings d;
    if (settings.checked(rb_alright))
        d.alignment = LineAlignment::Right;
    else if (settings.checked(rb_alcenter))
        d.alignment = LineAlignment::Centre;
    else if (settings.checked(rb_aljustify))
        d.alignment = LineAlignment::Justify;
    if (settings.checked(rb_drehung_90))
        d.rotation = Rotation::Quarter;
    else if (settings.checked(rb_drehung_180))
        d.rotation = Rotation::Half;
    else if (settings.checked(rb_drehung_270))
        d.rotation = Rotation::ThreeQuarters;
    return d;
}

QFont drawingFace(const SettingsModel& settings)
{
    return drawingFace(readLayoutSettings(settings).face);
}

TextLayout LayoutText(const QString& text, const SettingsModel& settings)
{
    return LayoutText(text, readLayoutSettings(settings));
}

QImage CreateBitmap(const QString& text, const SettingsModel& settings,
                    const std::function<void(qint64 width, qint64 height)>& beforeDrawing)
{
    return drawLayout(LayoutText(text, readLayoutSettings(settings)), [&settings] { return readDrawSettings(settings); },
                      beforeDrawing);
}

QImage CreateBitmap(const QString& text, const LayoutSettings& layout, const DrawSettings& drawing,
                    const std::function<void(qint64 width, qint64 height)>& beforeDrawing)
{
    return drawLayout(LayoutText(text, layout), [&drawing] { return drawing; }, beforeDrawing);
}

} // namespace qp
