// SPDX-License-Identifier: MIT
#include "gui/i18n/CatalogTexts.h"

#include "core/i18n/Catalog.h"
#include "core/i18n/Language.h"

#include <QAbstractButton>
#include <QAction>
#include <QGroupBox>
#include <QLabel>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QTabWidget>

namespace qp {

namespace {

QObject* findControl(QWidget* window, const QString& name)
{
    if (auto* entry = window->findChild<QAction*>(name, Qt::FindDirectChildrenOnly))
        return entry;
    auto* main = qobject_cast<QMainWindow*>(window);
    if (!main)
        return window->findChild<QWidget*>(name);
    if (auto* menu = main->menuBar()->findChild<QMenu*>(name))
        return menu;
    return main->centralWidget() ? main->centralWidget()->findChild<QWidget*>(name) : nullptr;
}

// The tab widget that shows `page` as one of its pages, if any.
QTabWidget* tabsShowing(QWidget* page)
{
    QWidget* stack = page->parentWidget();
    auto* tabs = stack ? qobject_cast<QTabWidget*>(stack->parentWidget()) : nullptr;
    return tabs && tabs->indexOf(page) >= 0 ? tabs : nullptr;
}

void setCaption(QObject* control, const QString& text)
{
    if (auto* entry = qobject_cast<QAction*>(control)) {
        entry->setText(text);
    } else if (auto* menu = qobject_cast<QMenu*>(control)) {
        menu->setTitle(text);
    } else if (auto* page = qobject_cast<QWidget*>(control); page && tabsShowing(page)) {
        QTabWidget* tabs = tabsShowing(page);
        tabs->setTabText(tabs->indexOf(page), text);
    } else if (auto* button = qobject_cast<QAbstractButton*>(control)) {
        button->setText(text);
    } else if (auto* group = qobject_cast<QGroupBox*>(control)) {
        group->setTitle(text);
    } else if (auto* label = qobject_cast<QLabel*>(control)) {
        label->setText(text);
    }
}

void setToolTip(QObject* control, const QString& text)
{
    if (auto* entry = qobject_cast<QAction*>(control))
        entry->setToolTip(text);
    else if (auto* widget = qobject_cast<QWidget*>(control))
        widget->setToolTip(text);
}

void applyRule(QObject* control, LanguageRuleKind kind, bool on)
{
    if (kind == LanguageRuleKind::Visible) {
        if (auto* menu = qobject_cast<QMenu*>(control))
            menu->menuAction()->setVisible(on);
        else if (auto* entry = qobject_cast<QAction*>(control))
            entry->setVisible(on);
        else if (auto* widget = qobject_cast<QWidget*>(control))
            widget->setVisible(on);
    } else if (auto* entry = qobject_cast<QAction*>(control)) {
        entry->setChecked(on);
    } else if (auto* button = qobject_cast<QAbstractButton*>(control)) {
        button->setChecked(on);
    }
}

} // namespace

void applyCatalogTexts(QWidget* window, const QString& catalogWindow)
{
    const QString code = Language::code();
    for (const CatalogRow& row : catalogRows()) {
        if (row.window != catalogWindow)
            continue;
        if (row.property == TextProperty::WindowTitle) {
            window->setWindowTitle(row.text(code));
            continue;
        }
        if (row.property != TextProperty::Caption && row.property != TextProperty::ToolTip)
            continue;
        QObject* control = findControl(window, row.control);
        if (!control)
            continue;
        if (row.property == TextProperty::Caption)
            setCaption(control, row.text(code));
        else
            setToolTip(control, row.text(code));
    }
    for (const LanguageRule& rule : languageRules()) {
        if (rule.window != catalogWindow)
            continue;
        if (QObject* control = findControl(window, rule.control)) {
            const bool on = rule.kind == LanguageRuleKind::Visible ? catalogVisible(rule.window, rule.control, code)
                                                                   : catalogChecked(rule.window, rule.control, code);
            applyRule(control, rule.kind, on);
        }
    }
}

} // namespace qp
