#include "run/Tsm_bearbeitung.h"

namespace qp {

Tsm_bearbeitung::Tsm_bearbeitung(QWidget* parent) : QDialog(parent) {}

void Tsm_bearbeitung::Sprache() {}
void Tsm_bearbeitung::startRun(int, QWidget*) {}
void Tsm_bearbeitung::showCurrent(const QString&) {}
void Tsm_bearbeitung::setPosition(int) {}
void Tsm_bearbeitung::finishRun() {}

} // namespace qp
