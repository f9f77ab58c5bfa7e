#include "app/StaticPages.h"

namespace qp {

StaticPageWindow::StaticPageWindow(const QString& title, const QString&, QWidget* parent) : QDialog(parent)
{
    setWindowTitle(title);
}

StaticPageWindow* createHilfe(QWidget* parent)
{
    return new StaticPageWindow(QStringLiteral("Hilfe"), QString(), parent);
}
StaticPageWindow* createHilfeEn(QWidget* parent)
{
    return new StaticPageWindow(QStringLiteral("Help"), QString(), parent);
}
StaticPageWindow* createBugreportDe(QWidget* parent)
{
    return new StaticPageWindow(QStringLiteral("Fehler melden"), QString(), parent);
}
StaticPageWindow* createBugreportEn(QWidget* parent)
{
    return new StaticPageWindow(QStringLiteral("Report a Bug"), QString(), parent);
}

} // namespace qp
