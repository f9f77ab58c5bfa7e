// SPDX-License-Identifier: MIT
#include "gui/render/ColorField.h"

#include "core/settings/SettingsModel.h"

namespace qp {

ColorField::ColorField(SettingsModel& settings, Setting key, QWidget* parent)
    : QLineEdit(parent), m_settings(settings), m_key(key)
{
    setObjectName(SettingsModel::nameOf(key));
    // The model takes over a colour after it has reported the text change, and then asks for a
    // redraw; the field follows at both moments.
    connect(&m_settings, &SettingsModel::changed, this, [this](Setting changed) {
        if (changed == m_key)
            showModelColor();
    });
    connect(&m_settings, &SettingsModel::previewRequested, this, &ColorField::showModelColor);
    showModelColor();
}

QColor ColorField::fieldColor() const
{
    return palette().color(QPalette::Base);
}

QColor ColorField::letterColor() const
{
    return palette().color(QPalette::Text);
}

void ColorField::showModelColor()
{
    const QColor colour = m_key == Setting::act_text_fontcolor ? m_settings.fontColor()
                                                                         : m_settings.backgroundColor();
    const QColor letters = SettingsModel::contrastTextColor(colour);
    if (colour == fieldColor() && letters == letterColor())
        return;
    QPalette pal = palette();
    for (const QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) {
        pal.setColor(group, QPalette::Base, colour);
        pal.setColor(group, QPalette::Text, letters);
    }
    setPalette(pal);
}

} // namespace qp
