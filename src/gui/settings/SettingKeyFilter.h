// SPDX-License-Identifier: MIT
#pragma once
// Drops the typed characters a setting's control does not accept. Installed as an event filter on
// the control (and on the line edit of an editable combo box); the decision is the settings
// model's acceptKey. Keys that type nothing (arrows, Delete, function keys) and control
// characters such as Enter, Tab or Ctrl+C pass, so editing and shortcuts keep working; Backspace
// is put to the filter like a typed character.
#include "core/settings/SettingsModel.h"

#include <QObject>
#include <QPointer>
#include <QString>

class QKeyEvent;
class QWidget;

namespace qp {


class SettingKeyFilter : public QObject {
    Q_OBJECT
public:
    SettingKeyFilter(SettingsModel& settings, Setting key, QObject* parent = nullptr);

    // Installs the filter on `control`; for an editable combo box also on its line edit, which gets
    // key events of its own only when it has the focus itself (the combo box hands its keys on
    // without passing them through filters again).
    static SettingKeyFilter* install(SettingsModel& settings, Setting key, QWidget* control);

    // True when the key event may reach the control.
    bool accepts(const QKeyEvent& event);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    SettingsModel& m_settings;
    Setting m_key;
};

} // namespace qp
