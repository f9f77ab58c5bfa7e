#pragma once
// Shell-settings window: the file types for the context-menu entry (beldateien) and the shell
// registration controls. Modeless, on top, centred on the screen when first shown.
//
// The registration itself is not wired yet: its buttons, the administrator line and the status
// labels are shown but disabled, and the status labels read "–".
#include <QDialog>

namespace qp {
class SettingsModel;

class Teinstshortcuts : public QDialog {
    Q_OBJECT
public:
    explicit Teinstshortcuts(SettingsModel& settings, QWidget* parent = nullptr);
    // Applies the current language to the window.
    void Sprache();

protected:
    void showEvent(QShowEvent* event) override;

private:
    SettingsModel& m_settings;
    bool m_placed = false;
};

} // namespace qp
