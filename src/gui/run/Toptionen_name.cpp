#include "run/Toptionen_name.h"

namespace qp {

Toptionen_name::Toptionen_name(SettingsModel& settings, QWidget* parent) : QDialog(parent), m_settings(settings) {}

void Toptionen_name::Sprache() {}

} // namespace qp
