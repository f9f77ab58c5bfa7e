// SPDX-License-Identifier: MIT
#include "gui/app/AboutBox.h"

#include "core/app/Version.h"
#include "core/i18n/Catalog.h"
#include "core/i18n/Language.h"
#include "core/i18n/SharedTexts.h"
#include "core/settings/SettingsModel.h"

#include <QDir>
#include <QMessageBox>

namespace qp {

QMessageBox* aboutBox(QWidget& owner, const SettingsModel& settings)
{
    auto* box = owner.findChild<QMessageBox*>(QStringLiteral("about"));
    if (!box) {
        box = new QMessageBox(&owner);
        box->setObjectName(QStringLiteral("about"));
        box->setIcon(QMessageBox::Information);
        box->setStandardButtons(QMessageBox::Ok);
        box->setWindowModality(Qt::NonModal);
        box->setTextInteractionFlags(Qt::TextSelectableByMouse);
    }
    const QString code = Language::code();
    // The entry's caption, from the main window's catalogue rows.
    box->setWindowTitle(catalogText(QStringLiteral("prog"), Language::isGerman() ? QStringLiteral("m_about_de")
                                                                                 : QStringLiteral("m_about_en"), code));
    box->setText(SharedTexts::about(projectVersion(), QDir::toNativeSeparators(settings.programFolder()),
                                    QDir::toNativeSeparators(settings.text(Setting::out_ordner))));
    return box;
}

} // namespace qp
