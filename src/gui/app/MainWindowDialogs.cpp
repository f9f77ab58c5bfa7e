// SPDX-License-Identifier: MIT
#include "gui/app/MainWindowDialogs.h"

#include "core/settings/SettingsModel.h"

#include <QColorDialog>
#include <QDesktopServices>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>

namespace qp {

void installPlatformDialogs(MainWindowDialogs& dialogs, QWidget* owner, const SettingsModel& settings)
{
    dialogs.chooseFolder = [owner](const QString& caption) {
        return QFileDialog::getExistingDirectory(owner, caption, QString(), QFileDialog::ShowDirsOnly);
    };
    auto fileDialog = [owner, &settings](bool save, const QString& proposed, const QStringList& filters) {
        QFileDialog dialog(owner);
        dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
        // The open dialog accepts names of files that do not exist; the save dialog replaces a
        // file without asking.
        dialog.setFileMode(QFileDialog::AnyFile);
        dialog.setOption(QFileDialog::DontConfirmOverwrite);
        dialog.setNameFilters(filters);
        const QFileInfo info(proposed);
        dialog.setDirectory(info.isAbsolute() ? info.absolutePath() : settings.programFolder());
        dialog.selectFile(info.fileName());
        if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
            return QString();
        return QDir::toNativeSeparators(dialog.selectedFiles().first());
    };
    dialogs.chooseSaveFile = [fileDialog](const QString& proposed, const QStringList& filters) {
        return fileDialog(true, proposed, filters);
    };
    dialogs.chooseOpenFile = [fileDialog](const QString& proposed, const QStringList& filters) {
        return fileDialog(false, proposed, filters);
    };
    dialogs.chooseColor = [owner](const QColor& initial) -> std::optional<QColor> {
        QColorDialog dialog(initial, owner);
        if (dialog.exec() != QDialog::Accepted)
            return std::nullopt;
        return dialog.selectedColor();
    };
    dialogs.openUrl = [](const QUrl& url) { QDesktopServices::openUrl(url); };
}

} // namespace qp
