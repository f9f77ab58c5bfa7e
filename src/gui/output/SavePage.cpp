// SPDX-License-Identifier: MIT
#include "gui/output/SavePage.h"

#include "core/i18n/FormatNames.h"
#include "core/i18n/Language.h"
#include "core/i18n/SharedTexts.h"
#include "core/run/FileNaming.h"
#include "core/run/FolderCheck.h"
#include "core/run/GenerationRun.h"
#include "core/settings/SettingsModel.h"
#include "gui/app/MainWindowDialogs.h"
#include "gui/app/Named.h"
#include "gui/settings/SettingBinder.h"

#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>

#include <algorithm>

namespace qp {

SavePage::SavePage(SettingsModel& settings, SettingBinder& binder, const MainWindowDialogs& dialogs)
    : SettingsPage("einst_speichern", "gb4"), m_settings(settings), m_binder(binder), m_dialogs(dialogs)
{
    auto* g = new QGridLayout(group());
    g->setHorizontalSpacing(10);
    g->setVerticalSpacing(6);
    int row = 0;

    auto* folderRow = new QHBoxLayout;
    folderRow->setSpacing(6);
    folderRow->addWidget(named(new QLineEdit, Setting::out_ordner), 1);
    auto* folderButton = named(new QPushButton, "outordnerbt");
    folderRow->addWidget(folderButton);
    g->addWidget(heading("Label9"), row, 0);
    g->addLayout(folderRow, row++, 1);
    g->addItem(new QSpacerItem(0, 6), row++, 0);

    g->addWidget(heading("Label7"), row, 0, Qt::AlignTop);
    g->addWidget(named(new QRadioButton, Setting::n_auto), row++, 1);
    auto* nameRow = new QHBoxLayout;
    nameRow->setSpacing(6);
    nameRow->addWidget(named(new QRadioButton, Setting::n_eigenen));
    nameRow->addWidget(named(new QLineEdit, Setting::ed_name), 1);
    g->addLayout(nameRow, row++, 1);
    auto* nameOptions = named(new QPushButton, "opt_filename");
    g->addWidget(nameOptions, row++, 1, Qt::AlignLeft);
    g->addItem(new QSpacerItem(0, 6), row++, 0);

    g->addWidget(heading("Label8"), row, 0);
    g->addWidget(named(new QComboBox, Setting::out_format), row++, 1);
    g->addItem(new QSpacerItem(0, 6), row++, 0);

    // The names of the next run, as the run would number them against the folder now.
    m_names = named(new QLabel, "names_preview");
    m_names->setTextFormat(Qt::PlainText);
    m_names->setWordWrap(true);
    m_names->setTextInteractionFlags(Qt::TextSelectableByMouse);
    g->addWidget(m_names, row++, 0, 1, 2);
    g->setRowStretch(row, 1);
    g->setColumnStretch(1, 1);

    connect(folderButton, &QPushButton::clicked, this, &SavePage::outordnerbtClick);
    connect(nameOptions, &QPushButton::clicked, this, &SavePage::nameOptionsWanted);
    bindSettings(binder);

    // Typing and changing settings redraws the note once after a short pause, not per key.
    m_namesTimer = new QTimer(this);
    m_namesTimer->setSingleShot(true);
    m_namesTimer->setInterval(150);
    connect(m_namesTimer, &QTimer::timeout, this, &SavePage::updateNamesPreview);
    connect(&m_settings, &SettingsModel::changed, this, &SavePage::scheduleNamesPreview);
}

void SavePage::scheduleNamesPreview()
{
    m_namesTimer->start();
}

void SavePage::updateNamesPreview()
{
    m_namesTimer->stop();
    QStringList items;
    NamingSettings naming = readNamingSettings(m_settings);
    const bool valid = IsValidFolderPath(naming.folder)
                       && !(m_settings.checked(Setting::n_eigenen) && naming.fixedName.isEmpty());
    try {
        if (valid && m_runText)
            items = GenerationRun::buildItems(m_runText(), m_settings.checked(Setting::txt_line));
    } catch (const RunError&) {
        items.clear(); // a line the run refuses: the run says why
    }
    if (items.isEmpty()) {
        m_names->clear();
        return;
    }
    QStringList lines;
    lines << (items.size() == 1 ? tr2(QStringLiteral("Beim n\u00E4chsten Erstellen entsteht 1 Datei:"),
                                      QStringLiteral("Create and Save will write 1 file:"))
                                : tr2(QStringLiteral("Beim n\u00E4chsten Erstellen entstehen %1 Dateien:"),
                                      QStringLiteral("Create and Save will write %1 files:"))
                                      .arg(items.size()));
    NamePlanner planner(std::move(naming));
    const int shown = std::min<int>(kPreviewNames, items.size());
    for (int i = 0; i < shown; ++i) {
        const PlannedName name = planner.next(items[i]);
        QString line = QFileInfo(name.path).fileName();
        if (name.moved)
            line += tr2(QStringLiteral("  (weiter nummeriert: der Name ist vergeben)"),
                        QStringLiteral("  (numbered on: the name is taken)"));
        lines << line;
    }
    if (items.size() > shown)
        lines << QStringLiteral("\u2026");
    m_names->setText(lines.join(QLatin1Char('\n')));
}

void SavePage::bindSettings(SettingBinder& b)
{
    for (const Setting radio : {Setting::n_eigenen, Setting::n_auto})
        b.bindRadio(radio, qobject_cast<QAbstractButton*>(control(radio)));
    for (const Setting edit : {Setting::out_ordner, Setting::ed_name})
        b.bindLineEdit(edit, qobject_cast<QLineEdit*>(control(edit)));
    b.bindComboBox(Setting::out_format, qobject_cast<QComboBox*>(control(Setting::out_format)),
                   outputFormatsForLanguage(Language::code()));
}

void SavePage::outordnerbtClick()
{
    if (!m_dialogs.chooseFolder)
        return;
    const QString folder = m_dialogs.chooseFolder(SharedTexts::ordnerwahl());
    if (!folder.isEmpty())
        m_settings.setText(Setting::out_ordner, QDir::toNativeSeparators(folder));
}

void SavePage::applyLanguage()
{
    // Output formats: the list and the current text in this language; the extension stays.
    const QString code = Language::code();
    m_binder.setComboItems(Setting::out_format, outputFormatsForLanguage(code));
    m_settings.setText(Setting::out_format,
                       formatNameForLanguage(m_settings.text(Setting::out_format), code));
    scheduleNamesPreview();
}

} // namespace qp
