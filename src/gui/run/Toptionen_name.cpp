// SPDX-License-Identifier: MIT
#include "gui/run/Toptionen_name.h"

#include "core/settings/SettingsModel.h"
#include "gui/i18n/CatalogTexts.h"
#include "gui/run/SecondaryWindow.h"
#include "gui/settings/SettingBinder.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace qp {

Toptionen_name::Toptionen_name(SettingsModel& settings, QWidget* parent)
    : QDialog(parent, secondaryWindowFlags(parent)), m_settings(settings)
{
    setObjectName(QStringLiteral("optionen_name"));
    setModal(false);

    auto* binder = new SettingBinder(settings, this);
    auto check = [&](QWidget* owner, Setting key) {
        auto* box = named(new QCheckBox(owner), key);
        binder->bindCheckBox(key, box);
        return box;
    };
    auto radio = [&](QWidget* owner, Setting key) {
        auto* button = named(new QRadioButton(owner), key);
        binder->bindRadio(key, button);
        return button;
    };
    // Short fields (a number, a replacement) share one width so that they line up.
    const int shortWidth = fontMetrics().horizontalAdvance(QStringLiteral("00000")) + 16;
    auto edit = [&](QWidget* owner, Setting key, bool isShort) {
        auto* field = named(new QLineEdit(owner), key);
        binder->bindLineEdit(key, field);
        if (isShort)
            field->setFixedWidth(shortWidth);
        return field;
    };

    // Case of the names.
    auto* caseGroup = named(new QGroupBox(this), "gb1");
    auto* caseLayout = new QVBoxLayout(caseGroup);
    caseLayout->addWidget(radio(caseGroup, Setting::cb_lower));
    caseLayout->addWidget(radio(caseGroup, Setting::cb_upper));
    caseLayout->addWidget(radio(caseGroup, Setting::cb_keine));

    // Numbering.
    auto* numberGroup = named(new QGroupBox(this), "gb2");
    auto* numberLayout = new QGridLayout(numberGroup);
    numberLayout->setColumnStretch(2, 1);
    numberLayout->addWidget(check(numberGroup, Setting::cb_numsofort), 0, 0, 1, 3);
    numberLayout->addWidget(check(numberGroup, Setting::cb_num), 1, 0);
    numberLayout->addWidget(edit(numberGroup, Setting::ed_num, true), 1, 1);

    // Writing of the names: allowed characters, length and replacements.
    auto* writingGroup = named(new QGroupBox(this), "gb3");
    auto* writingLayout = new QGridLayout(writingGroup);
    writingLayout->setColumnStretch(2, 1);
    writingLayout->addWidget(check(writingGroup, Setting::cb_buchst), 0, 0, 1, 3);
    writingLayout->addWidget(edit(writingGroup, Setting::ed_buchst, false), 1, 0, 1, 3);
    writingLayout->setRowMinimumHeight(2, 6);
    writingLayout->addWidget(check(writingGroup, Setting::cb_max), 3, 0);
    writingLayout->addWidget(edit(writingGroup, Setting::ed_max, true), 3, 1);
    writingLayout->addWidget(check(writingGroup, Setting::cb_leerzeichen), 4, 0);
    writingLayout->addWidget(edit(writingGroup, Setting::ed_leerzeichen, true), 4, 1);
    writingLayout->addWidget(check(writingGroup, Setting::cb_ersatz), 5, 0);
    writingLayout->addWidget(edit(writingGroup, Setting::ed_ersatz, true), 5, 1);

    auto* tip = named(new QLabel(this), "Label1");
    tip->setTextFormat(Qt::PlainText);
    tip->setWordWrap(true);

    auto* ok = named(new QPushButton(QStringLiteral("OK"), this), "Button1");
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(tip, 1);
    buttons->addSpacing(12);
    buttons->addWidget(ok, 0, Qt::AlignBottom);

    auto* layout = new QVBoxLayout(this);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    layout->setContentsMargins(12, 12, 12, 12);
    layout->setSpacing(10);
    layout->addWidget(caseGroup);
    layout->addWidget(numberGroup);
    layout->addWidget(writingGroup);
    layout->addLayout(buttons);

    m_numberLayout = numberLayout;
    m_writingLayout = writingLayout;
    Sprache();
}

void Toptionen_name::Sprache()
{
    applyCatalogTexts(this, QStringLiteral("optionen_name"));
    // The number field lines up with the fields below it, whatever the captions' lengths.
    int captions = 0;
    for (const Setting key : {Setting::cb_num, Setting::cb_max, Setting::cb_leerzeichen, Setting::cb_ersatz})
        captions = std::max(captions, findChild<QWidget*>(SettingsModel::nameOf(key))->sizeHint().width());
    m_numberLayout->setColumnMinimumWidth(0, captions);
    m_writingLayout->setColumnMinimumWidth(0, captions);
}

} // namespace qp
