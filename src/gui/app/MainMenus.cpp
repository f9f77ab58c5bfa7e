// SPDX-License-Identifier: MIT
#include "gui/app/MainMenus.h"

#include "gui/app/Named.h"

#include <QAction>
#include <QActionGroup>
#include <QKeySequence>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>

namespace qp {

MainMenus::MainMenus(QMainWindow& window) : QObject(&window), m_window(window)
{
    QMenuBar* bar = window.menuBar();

    QMenu* datei = named(bar->addMenu(QString()), "m_datei");
    addAction(datei, QStringLiteral("m_datei_konvert"), QKeySequence(Qt::CTRL | Qt::Key_S));
    addAction(datei, QStringLiteral("m_datei_next"), QKeySequence(Qt::CTRL | Qt::Key_N));
    datei->addSeparator();
    addAction(datei, QStringLiteral("m_bug"));
    datei->addSeparator();
    addAction(datei, QStringLiteral("m_datei_beenden"));

    QMenu* einst = named(bar->addMenu(QString()), "m_einst");
    addAction(einst, QStringLiteral("m_einst_ausgabe"));
    addAction(einst, QStringLiteral("m_einst_name"));
    addAction(einst, QStringLiteral("m_einstshortcuts"));
    einst->addSeparator();
    QMenu* sprache = named(einst->addMenu(QString()), "m_einst_sprache");
    QAction* deutsch = addAction(sprache, QStringLiteral("m_einst_sprache_deutsch"));
    QAction* english = addAction(sprache, QStringLiteral("m_einst_sprache_english"));
    deutsch->setCheckable(true);
    english->setCheckable(true);
    auto* languages = new QActionGroup(&window);
    languages->addAction(deutsch);
    languages->addAction(english);

    m_konfigMenu = named(bar->addMenu(QString()), "m_konfig");
    addAction(m_konfigMenu, QStringLiteral("m_konfig_save"));
    addAction(m_konfigMenu, QStringLiteral("m_konfig_save_start"));
    // Ctrl+O too, where desktop programs open files; the menu shows the first.
    addAction(m_konfigMenu, QStringLiteral("m_konfig_load"), QKeySequence(Qt::CTRL | Qt::Key_K))
        ->setShortcuts({QKeySequence(Qt::CTRL | Qt::Key_K), QKeySequence(Qt::CTRL | Qt::Key_O)});
    m_konfigMenu->addSeparator();
    QMenu* autosave = named(m_konfigMenu->addMenu(QString()), "m_konfig_autosave");
    addAction(autosave, QStringLiteral("m_konfig_autosave_nie"))->setCheckable(true);
    addAction(autosave, QStringLiteral("m_konfig_autosave_alles"))->setCheckable(true);
    m_konfigMenu->addSeparator();
    addAction(m_konfigMenu, QStringLiteral("m_konfig_standard"), QKeySequence(Qt::Key_F2));
    // Offered for a while after a reset; a text box that has the focus keeps Ctrl+Z for itself.
    addAction(m_konfigMenu, QStringLiteral("m_konfig_standard_undo"), QKeySequence(Qt::CTRL | Qt::Key_Z))
        ->setEnabled(false);
    addAction(m_konfigMenu, QStringLiteral("m_konfig_start"), QKeySequence(Qt::Key_F3));
    QAction* entriesSeparator = m_konfigMenu->addSeparator();
    entriesSeparator->setObjectName(QStringLiteral("m_konfig_entries"));
    entriesSeparator->setVisible(false);
    m_actions.insert(QStringLiteral("m_konfig_entries"), entriesSeparator);

    // Ctrl+Q ends the program the way the window's close box does, with the auto-save; it is the
    // window's own shortcut, as the File menu's exit entry ends the program without the auto-save.
    auto* quit = new QAction(&m_window);
    quit->setObjectName(QStringLiteral("quit"));
    quit->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Q));
    window.addAction(quit);
    m_actions.insert(quit->objectName(), quit);

    // Help, one menu per language; only the one of the current language is visible.
    for (const bool german : {true, false}) {
        QMenu* info = named(bar->addMenu(QString()), german ? "m_info_de" : "m_info_en");
        addAction(info, german ? QStringLiteral("m_hilfe_de") : QStringLiteral("m_hilfe_en"));
        addAction(info, german ? QStringLiteral("m_bug_de") : QStringLiteral("m_bug_en"));
        info->addSeparator();
        addAction(info, german ? QStringLiteral("m_about_de") : QStringLiteral("m_about_en"));
    }
}

QAction* MainMenus::addAction(QMenu* menu, const QString& name, const QKeySequence& shortcut)
{
    auto* a = new QAction(&m_window);
    a->setObjectName(name);
    if (!shortcut.isEmpty())
        a->setShortcut(shortcut);
    menu->addAction(a);
    m_actions.insert(name, a);
    return a;
}

void MainMenus::addConfigurationEntry(const QString& path, const QString& caption)
{
    auto* entry = new QAction(caption, &m_window);
    entry->setData(path);
    entry->setToolTip(path);
    // Captions are paths, not mnemonics.
    entry->setText(QString(caption).replace(QLatin1Char('&'), QLatin1String("&&")));
    connect(entry, &QAction::triggered, this, [this, path] { emit entryChosen(path); });
    m_actions.value(QStringLiteral("m_konfig_entries"))->setVisible(true);
    m_konfigMenu->addAction(entry);
    m_entryActions.append(entry);
}

void MainMenus::showAutoSave(bool never, bool all)
{
    m_actions.value(QStringLiteral("m_konfig_autosave_nie"))->setChecked(never);
    m_actions.value(QStringLiteral("m_konfig_autosave_alles"))->setChecked(all);
}

void MainMenus::applyLanguage(bool german)
{
    m_actions.value(QStringLiteral("m_hilfe_de"))->setShortcut(german ? QKeySequence(Qt::Key_F1) : QKeySequence());
    m_actions.value(QStringLiteral("m_hilfe_en"))->setShortcut(german ? QKeySequence() : QKeySequence(Qt::Key_F1));
    // A menu shows an entry's first shortcut only. The load entry shows both of its own, and the
    // exit entry shows Ctrl+Q, the window's shortcut that ends the program as the close box does.
    QAction* load = m_actions.value(QStringLiteral("m_konfig_load"));
    showKeys(load, load->shortcuts());
    showKeys(m_actions.value(QStringLiteral("m_datei_beenden")), {m_actions.value(QStringLiteral("quit"))->shortcut()});
}

void MainMenus::showKeys(QAction* entry, const QList<QKeySequence>& keys)
{
    // A menu shows the text after a tab in its shortcut column, in place of the entry's shortcut.
    const QString caption = entry->text().section(u'\t', 0, 0);
    entry->setText(caption + u'\t' + QKeySequence::listToString(keys, QKeySequence::NativeText));
}

} // namespace qp
