#include "run/Tsm_meldung.h"

namespace qp {

Tsm_meldung::Tsm_meldung(QWidget* parent) : QDialog(parent) {}

void Tsm_meldung::Sprache() {}

void Tsm_meldung::meldungzeigen(const QString&, const QString&, QWidget*) {}

} // namespace qp
