// SPDX-License-Identifier: MIT
#include "gui/output/SavePage.h"

#include "core/i18n/FormatNames.h"
#include "core/i18n/Language.h"
#include "core/i18n/SharedTexts.h"
#include "core/settings/SettingsModel.h"
#include "gui/app/MainWindowDialogs.h"
#include "gui/app/Named.h"
#include "gui/settings/SettingBinder.h"

#include <QComboBox>
#include <QDir>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

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
    g->setRowStretch(row, 1);
    g->setColumnStretch(1, 1);

    connect(folderButton, &QPushButton::clicked, this, &SavePage::outordnerbtClick);
    connect(nameOptions, &QPushButton::clicked, this, &SavePage::nameOptionsWanted);
    bindSettings(binder);
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
}

} // namespace qp
