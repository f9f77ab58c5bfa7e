// SPDX-License-Identifier: MIT
#pragma once
// The main window's menus File, Settings (with Language), Configuration (with the entries of the
// configuration files found or used) and Help, one Help menu per language. The menus and their
// entries carry the names of their catalogue rows; the window connects the entries to what they
// do.
#include <QHash>
#include <QKeySequence>
#include <QList>
#include <QObject>
#include <QString>

class QAction;
class QMainWindow;
class QMenu;

namespace qp {

class MainMenus : public QObject {
    Q_OBJECT
public:
    // Builds the menus into the window's menu bar; the entries are children of the window.
    explicit MainMenus(QMainWindow& window);

    // A menu entry by its control name (m_datei_konvert, m_konfig_load, ...).
    QAction* action(const QString& name) const { return m_actions.value(name); }
    QMenu* configMenu() const { return m_konfigMenu; }
    // The configuration entries appended to the Configuration menu.
    QList<QAction*> configurationEntryActions() const { return m_entryActions; }

    // Appends the entry of a configuration file; choosing it emits entryChosen(path).
    void addConfigurationEntry(const QString& path, const QString& caption);
    // The check marks of the auto-save choice.
    void showAutoSave(bool never, bool all);
    // F1 belongs to the help entry of the visible Help menu; the shortcut columns of the entries
    // whose keys the menu would not show, in the toolkit's language. After the catalogue's texts.
    void applyLanguage(bool german);

signals:
    void entryChosen(const QString& path);

private:
    QAction* addAction(QMenu* menu, const QString& name, const QKeySequence& shortcut = {});
    static void showKeys(QAction* entry, const QList<QKeySequence>& keys);

    QMainWindow& m_window;
    QMenu* m_konfigMenu = nullptr;
    QHash<QString, QAction*> m_actions;
    QList<QAction*> m_entryActions;
};

} // namespace qp
