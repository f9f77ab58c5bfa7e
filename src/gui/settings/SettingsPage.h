// SPDX-License-Identifier: MIT
#pragma once
// One page of the main window's settings: a group box that fills the page and holds the controls
// of one subsystem, with the small builders the pages share for their labels and numeric fields.
#include "core/settings/SettingsModel.h"

#include <QWidget>

class QGroupBox;
class QLabel;

namespace qp {

class ArrowButtons;

class SettingsPage : public QWidget {
protected:
    // The page and its group box carry the names of their catalogue rows.
    SettingsPage(const char* pageName, const char* groupName);

    QGroupBox* group() const { return m_group; }
    // The control of the page with this object name.
    QWidget* control(const char* name) const;
    // The control of a setting, which bears the setting's name.
    QWidget* control(Setting key) const { return control(SettingsModel::nameOf(key).toLatin1().constData()); }

    static QLabel* label(const char* name);
    // A label that explains a control below or beside it: wrapping when narrow.
    static QLabel* hint(const char* name);
    // A bold label above a group of controls.
    static QLabel* heading(const char* name);
    // A numeric field with arrow buttons beside it, as high as the field.
    static QWidget* withArrows(QWidget* field, ArrowButtons* arrows);

private:
    QGroupBox* m_group = nullptr;
};

} // namespace qp
