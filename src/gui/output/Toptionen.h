// SPDX-License-Identifier: MIT
#pragma once
// Format options window: quality (box and slider), progressive, PSD layers (each shown when a
// format row offers it), antialiasing.
// Modeless, stays above the main window; its OK button and its close box only hide it.
#include <QDialog>

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QPushButton;
class QSlider;

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
    QGroupBox* m_group = nullptr;
    QLabel* m_qualityLabel = nullptr;
    QComboBox* m_quality = nullptr;
    QSlider* m_qualitySlider = nullptr;
    QCheckBox* m_progressive = nullptr;
    QCheckBox* m_psdLayers = nullptr;
    QCheckBox* m_antialias = nullptr;
    QPushButton* m_ok = nullptr;
};

} // namespace qp
