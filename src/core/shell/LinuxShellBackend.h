// SPDX-License-Identifier: MIT
#pragma once
// Shell registration on a freedesktop system: desktop entries with MIME types, a shared-mime-info
// package, the default application in mimeapps.list, and the send-to and context-menu files of
// the common file managers (Thunar, Nautilus, Dolphin, Nemo). Per user under the user's data and
// configuration folders; system-wide when running as root. Only standard files are written, each
// under a name of its own, so removal takes back exactly these files and this program's entry of
// the default list, and never another program's. After every change the caches of the desktop
// (update-desktop-database, update-mime-database) are refreshed where those tools exist.
// The class's code: LinuxShellBackend.cpp (the files of each group, the dispatch, the caches and
// the restart as administrator), LinuxShellStatus.cpp (what is registered) and
// LinuxShellRegistration.cpp (writing and removing each group's files).
#include "core/shell/LinuxShellPlaces.h"
#include "core/shell/ShellBackend.h"

#include <QMap>
#include <QProcessEnvironment>

namespace qp {

// The MIME type of configuration files.
inline constexpr const char* configurationMimeType = "application/x-quillpress-configuration";

class LinuxShellBackend : public ShellBackend {
public:
    explicit LinuxShellBackend(LinuxShellPlaces places);

    QString programPath() const override { return m_places.programPath; }
    bool isActive(ShellGroup group, const QStringList& extensions = {}) const override;
    bool registerGroup(ShellGroup group, const QStringList& extensions = {}) override;
    bool removeGroup(ShellGroup group, const QStringList& extensions = {}) override;
    QString configurationEntry() const override;
    QString installedConfigurationEntry() const override;
    bool isAdmin() const override { return m_places.admin; }
    bool registersPerUser() const override { return true; }
    ElevationSupport elevationSupport() const override;
    ElevatedStart* restartAsAdmin(QObject* parent) override;

    const LinuxShellPlaces& places() const { return m_places; }
    // Every file this backend may write for the group, whether it exists or not.
    QStringList filesOf(ShellGroup group) const;
    // The MIME type an extension (".jpg") is registered on: the type the MIME database gives it,
    // or for an unknown extension "application/x-extension-<ext>", which gets a glob of its own.
    QString mimeTypeForExtension(const QString& extension) const;

private:
    QString dataPath(const QString& relative) const;
    // What a desktop tool started for the places sees: their data and configuration folders first.
    QProcessEnvironment desktopEnvironment() const;
    bool startsProgram(const QString& path, const QString& group, const QString& key = QStringLiteral("Exec")) const;
    bool writeContextEntries(ShellGroup group, const QStringList& mimeTypes, const QString& caption);
    bool removeFiles(ShellGroup group);
    QString mimeAppsList() const;
    // Earlier versions offered a context group's types in its entry and wrote down the default
    // each type had ("kept"), so that the entry would not take it; the kept defaults are taken
    // out of mimeapps.list again (those the user has not changed since).
    QMap<QString, QString> keptDefaults(ShellGroup group) const;
    bool releaseDefaults(const QMap<QString, QString>& kept);
    // The entry installed with the program (quillpress.desktop) when it starts this program and
    // opens configuration files; empty otherwise.
    QString installedEntry() const;
    bool registerConfig();
    bool removeOwnConfig();
    bool removeConfig();
    bool registerSendTo();
    bool registerTypes(const QStringList& extensions);
    bool removeTypes(const QStringList& extensions);
    QStringList typesEntryMimeTypes() const;
    void updateCaches() const;

    LinuxShellPlaces m_places;
};

} // namespace qp
