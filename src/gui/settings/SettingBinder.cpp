// SPDX-License-Identifier: MIT
#include "gui/settings/SettingBinder.h"

#include "core/settings/SettingsModel.h"
#include "gui/settings/ArrowButtons.h"
#include "gui/settings/SettingKeyFilter.h"

#include <QAbstractButton>
#include <QAbstractSlider>
#include <QButtonGroup>
#include <QComboBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QWheelEvent>

namespace qp {

namespace {

// Shows `value` in an editable combo box; selects the matching list entry when there is one.
void showComboText(QComboBox* box, const QString& value)
{
    const int index = box->findText(value, Qt::MatchExactly | Qt::MatchCaseSensitive);
    if (index >= 0 && index != box->currentIndex())
        box->setCurrentIndex(index);
    if (box->currentText() != value)
        box->setEditText(value);
}

// Counts the binder as showing for the lifetime of the guard, also when an exception passes.
struct ShowingGuard {
    explicit ShowingGuard(int& counter) : m_counter(counter) { ++m_counter; }
    ~ShowingGuard() { --m_counter; }
    ShowingGuard(const ShowingGuard&) = delete;
    ShowingGuard& operator=(const ShowingGuard&) = delete;
    int& m_counter;
};

} // namespace

SettingBinder::SettingBinder(SettingsModel& settings, QObject* parent)
    : QObject(parent), m_settings(settings)
{
    connect(&m_settings, &SettingsModel::changed, this, &SettingBinder::modelChanged);
    connect(&m_settings, &SettingsModel::enablingChanged, this, &SettingBinder::enablingChanged);
}

void SettingBinder::bindLineEdit(Setting key, QLineEdit* edit)
{
    m_bindings.insert(key, {edit, Binding::Line});
    SettingKeyFilter::install(m_settings, key, edit);
    connect(edit, &QLineEdit::textChanged, this, [this, key](const QString& text) {
        if (!m_showing)
            m_settings.setText(key, text);
    });
    show(key);
}

void SettingBinder::bindComboBox(Setting key, QComboBox* box, const QStringList& proposals)
{
    box->setEditable(true);
    box->setInsertPolicy(QComboBox::NoInsert);
    // The list only proposes texts: typing "1" must not turn into "10".
    box->setCompleter(nullptr);
    {
        const ShowingGuard guard(m_showing);
        box->clear();
        box->addItems(proposals);
    }
    m_bindings.insert(key, {box, Binding::Combo});
    const SettingDef* def = &SettingsModel::definition(key);
    if (def->keys == KeyFilter::Nothing) {
        // Nothing can be typed: a click on the text opens the list, as on a plain drop-down list.
        box->lineEdit()->setReadOnly(true);
        m_popupEdits.insert(box->lineEdit(), box);
        box->lineEdit()->installEventFilter(this);
    }
    SettingKeyFilter::install(m_settings, key, box);
    connect(box, &QComboBox::editTextChanged, this, [this, key](const QString& text) {
        if (!m_showing)
            m_settings.setText(key, text);
    });
    show(key);
}

void SettingBinder::bindCheckBox(Setting key, QAbstractButton* box)
{
    box->setCheckable(true);
    m_bindings.insert(key, {box, Binding::Check});
    connect(box, &QAbstractButton::toggled, this, [this, key](bool on) {
        if (!m_showing)
            m_settings.setChecked(key, on);
    });
    show(key);
}

void SettingBinder::bindRadio(Setting key, QAbstractButton* button)
{
    button->setCheckable(true);
    m_bindings.insert(key, {button, Binding::Radio});
    const SettingDef* def = &SettingsModel::definition(key);
    if (def->group) {
        const QString group = QString::fromLatin1(def->group);
        QButtonGroup*& g = m_groups[group];
        if (!g)
            g = new QButtonGroup(this);
        g->addButton(button);
    }
    // Only the button that becomes checked writes; the model clears the rest of its group.
    connect(button, &QAbstractButton::toggled, this, [this, key](bool on) {
        if (!m_showing && on)
            m_settings.setChecked(key, true);
    });
    show(key);
}

void SettingBinder::bindSlider(Setting key, QAbstractSlider* slider)
{
    m_bindings.insert(key, {slider, Binding::Slider});
    connect(slider, &QAbstractSlider::valueChanged, this, [this, key](int value) {
        if (!m_showing)
            m_settings.setPosition(key, value);
    });
    show(key);
}

void SettingBinder::bindPanel(Setting key, QWidget* panel)
{
    m_bindings.insert(key, {panel, Binding::Panel});
    show(key);
}

void SettingBinder::bindEnabled(Setting key, QWidget* widget)
{
    m_enabled.append({key, widget});
    widget->setEnabled(m_settings.isEnabled(key));
}

void SettingBinder::bindArrows(Setting key, ArrowButtons* arrows, QWidget* field)
{
    connect(arrows, &ArrowButtons::stepped, this,
            [this, key](int delta) { m_settings.stepArrow(key, delta); });
    if (field) {
        m_arrowFields.insert(field, key);
        field->installEventFilter(this);
    }
}

void SettingBinder::setComboItems(Setting key, const QStringList& items)
{
    for (auto it = m_bindings.constFind(key); it != m_bindings.cend() && it.key() == key; ++it) {
        auto* box = qobject_cast<QComboBox*>(it->widget.data());
        if (!box)
            continue;
        const ShowingGuard guard(m_showing);
        box->clear();
        box->addItems(items);
        showComboText(box, m_settings.text(key));
    }
}

QWidget* SettingBinder::control(Setting key) const
{
    const auto it = m_bindings.constFind(key);
    return it == m_bindings.cend() ? nullptr : it->widget.data();
}

bool SettingBinder::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::MouseButtonPress) {
        if (QComboBox* box = m_popupEdits.value(watched)) {
            box->showPopup();
            return true;
        }
    }
    const auto it = m_arrowFields.constFind(watched);
    if (it != m_arrowFields.cend()) {
        if (event->type() == QEvent::Wheel) {
            auto* wheel = static_cast<QWheelEvent*>(event);
            const int dy = wheel->angleDelta().y();
            if (dy != 0)
                m_settings.stepArrow(*it, dy > 0 ? +1 : -1);
            return true;
        }
        if (event->type() == QEvent::KeyPress) {
            const int key = static_cast<QKeyEvent*>(event)->key();
            if (key == Qt::Key_Up || key == Qt::Key_Down) {
                m_settings.stepArrow(*it, key == Qt::Key_Up ? +1 : -1);
                return true;
            }
        }
    }
    return QObject::eventFilter(watched, event);
}

void SettingBinder::modelChanged(Setting key)
{
    if (m_bindings.contains(key))
        show(key);
}

void SettingBinder::enablingChanged()
{
    for (const auto& [key, widget] : m_enabled)
        if (widget)
            widget->setEnabled(m_settings.isEnabled(key));
}

void SettingBinder::show(Setting key)
{
    const ShowingGuard guard(m_showing);
    for (auto it = m_bindings.constFind(key); it != m_bindings.cend() && it.key() == key; ++it) {
        QWidget* w = it->widget.data();
        if (!w)
            continue;
        switch (it->kind) {
        case Binding::Line: {
            auto* edit = static_cast<QLineEdit*>(w);
            const QString value = m_settings.text(key);
            if (edit->text() != value)
                edit->setText(value);
            break;
        }
        case Binding::Combo:
            showComboText(static_cast<QComboBox*>(w), m_settings.text(key));
            break;
        case Binding::Check:
            static_cast<QAbstractButton*>(w)->setChecked(m_settings.checked(key));
            break;
        case Binding::Radio: {
            auto* button = static_cast<QAbstractButton*>(w);
            const bool on = m_settings.checked(key);
            if (button->isChecked() == on)
                break;
            // An exclusive group refuses to clear its checked button; a configuration may clear
            // every button of a group, so exclusivity is lifted for the moment.
            QButtonGroup* group = button->group();
            if (!on && group)
                group->setExclusive(false);
            button->setChecked(on);
            if (!on && group)
                group->setExclusive(true);
            break;
        }
        case Binding::Slider:
            static_cast<QAbstractSlider*>(w)->setValue(m_settings.position(key));
            break;
        case Binding::Panel:
            w->setHidden(!m_settings.checked(key));
            break;
        }
    }
}

} // namespace qp
