#pragma once
// Shell-settings window: the file types for the context-menu entry (beldateien) and the shell
// registration controls.
#include <QDialog>

namespace qp {
class SettingsModel;

class Teinstshortcuts : public QDialog {
    Q_OBJECT
public:
    explicit Teinstshortcuts(SettingsModel& settings, QWidget* parent = nullptr);
    void Sprache();

private:
    SettingsModel& m_settings;
};

} // namespace qp
