// SPDX-License-Identifier: MIT
#pragma once
// The dialogs the main window and its pages open. Each has a default that shows the platform's
// dialog; tests replace them so that nothing blocks. The pages read them at the moment of the
// click, so a replacement applies at once.
#include <QColor>
#include <QString>
#include <QStringList>
#include <QUrl>

#include <functional>
#include <optional>

class QWidget;

namespace qp {

class SettingsModel;

struct MainWindowDialogs {
    // Folder dialog; empty when cancelled.
    std::function<QString(const QString& caption)> chooseFolder;
    // Save and open dialogs of configurations; empty when cancelled.
    std::function<QString(const QString& proposed, const QStringList& filters)> chooseSaveFile;
    std::function<QString(const QString& proposed, const QStringList& filters)> chooseOpenFile;
    // Colour dialog preset with `initial`; nothing when cancelled.
    std::function<std::optional<QColor>(const QColor& initial)> chooseColor;
    // A message by identifier (the message window).
    std::function<void(const QString& id, const QString& parameter)> showMessage;
    // Opens a web page.
    std::function<void(const QUrl& url)> openUrl;
};

// Sets the folder, file and colour dialogs and the web page opener to the platform's, owned by
// `owner`. A configuration file proposed without a folder is looked for in the program folder.
void installPlatformDialogs(MainWindowDialogs& dialogs, QWidget* owner, const SettingsModel& settings);

} // namespace qp
