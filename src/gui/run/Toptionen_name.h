#pragma once
// File-name options window: case, numbering, allowed characters, length, replacements.
#include <QDialog>

namespace qp {
class SettingsModel;

class Toptionen_name : public QDialog {
    Q_OBJECT
public:
    explicit Toptionen_name(SettingsModel& settings, QWidget* parent = nullptr);
    void Sprache();

private:
    SettingsModel& m_settings;
};

} // namespace qp
