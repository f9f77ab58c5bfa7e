#pragma once
// Format options window: quality (box and slider), progressive, PSD layers, antialiasing.
#include <QDialog>

namespace qp {
class SettingsModel;

class Toptionen : public QDialog {
    Q_OBJECT
public:
    explicit Toptionen(SettingsModel& settings, QWidget* parent = nullptr);
    // Applies the current language to the window.
    void Sprache();

private:
    SettingsModel& m_settings;
};

} // namespace qp
