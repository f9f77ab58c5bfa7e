#include "output/Toptionen.h"

namespace qp {

Toptionen::Toptionen(SettingsModel& settings, QWidget* parent) : QDialog(parent), m_settings(settings) {}

void Toptionen::Sprache() {}

} // namespace qp
