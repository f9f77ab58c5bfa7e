// SPDX-License-Identifier: MIT
#pragma once
// A colour field (act_text_fontcolor, act_text_hintergrund): a line edit whose text is the colour
// text that is saved and whose own background is the colour in effect, the last valid one. Its
// letters follow the contrast rule: black on light colours, white on dark ones. The text itself
// is bound to the settings model like any text setting.
#include "core/settings/SettingsModel.h"

#include <QColor>
#include <QLineEdit>

namespace qp {

class ColorField : public QLineEdit {
    Q_OBJECT
public:
    ColorField(SettingsModel& settings, Setting key, QWidget* parent = nullptr);

    Setting setting() const { return m_key; }
    // The colour the field shows as its background (the model's colour of this field).
    QColor fieldColor() const;
    // The colour of its letters.
    QColor letterColor() const;

private:
    void showModelColor();

    SettingsModel& m_settings;
    Setting m_key;
};

} // namespace qp
