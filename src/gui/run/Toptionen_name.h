// SPDX-License-Identifier: MIT
#pragma once
// File-name options window: case, numbering, allowed characters, length, replacements.
// Modeless, stays above the main window; its OK button and its close box only hide it.
#include <QDialog>

class QGridLayout;

namespace qp {
class SettingsModel;

class Toptionen_name : public QDialog {
    Q_OBJECT
public:
    explicit Toptionen_name(SettingsModel& settings, QWidget* parent = nullptr);
    // Applies the current language to the window.
    void Sprache();

private:
    SettingsModel& m_settings;
    QGridLayout* m_numberLayout = nullptr;
    QGridLayout* m_writingLayout = nullptr;
};

} // namespace qp
