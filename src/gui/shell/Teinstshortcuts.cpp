#include "shell/Teinstshortcuts.h"

namespace qp {

Teinstshortcuts::Teinstshortcuts(SettingsModel& settings, QWidget* parent) : QDialog(parent), m_settings(settings) {}

void Teinstshortcuts::Sprache() {}

} // namespace qp
