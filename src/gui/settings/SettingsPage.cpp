// SPDX-License-Identifier: MIT
#include "gui/settings/SettingsPage.h"

#include "gui/app/Named.h"
#include "gui/settings/ArrowButtons.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

namespace qp {

SettingsPage::SettingsPage(const char* pageName, const char* groupName)
{
    setObjectName(QString::fromLatin1(pageName));
    auto* v = new QVBoxLayout(this);
    v->setContentsMargins(8, 8, 8, 8);
    m_group = named(new QGroupBox, groupName);
    v->addWidget(m_group);
}

QWidget* SettingsPage::control(const char* name) const
{
    return findChild<QWidget*>(QString::fromLatin1(name));
}

QLabel* SettingsPage::label(const char* name)
{
    return named(new QLabel, name);
}

QLabel* SettingsPage::hint(const char* name)
{
    QLabel* l = label(name);
    l->setWordWrap(true);
    return l;
}

QLabel* SettingsPage::heading(const char* name)
{
    QLabel* l = label(name);
    QFont f = l->font();
    f.setBold(true);
    l->setFont(f);
    return l;
}

QWidget* SettingsPage::withArrows(QWidget* field, ArrowButtons* arrows)
{
    auto* box = new QWidget;
    auto* h = new QHBoxLayout(box);
    h->setContentsMargins(0, 0, 0, 0);
    h->setSpacing(1);
    h->addWidget(field);
    h->addWidget(arrows);
    arrows->setFixedHeight(field->sizeHint().height());
    return box;
}

} // namespace qp
