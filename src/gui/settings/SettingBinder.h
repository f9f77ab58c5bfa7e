// SPDX-License-Identifier: MIT
#pragma once
// Binds the controls of a window to the settings model, both ways: a change in the control is
// written into the model, and a change of the model (by another control, a configuration, the
// standard configuration) is shown by the control. Writing a value the other side already holds
// is a no-op, and the binder never writes back what it is just showing, so no change loops.
//
// Besides the values the binder attaches the key filters (SettingKeyFilter), the arrow buttons of
// numeric fields (with the mouse wheel and the Up/Down keys on the field doing the same), the
// enabling rules of the size mode, and the panel flags that hide or show their panels.
#include "core/settings/SettingsModel.h"

#include <QHash>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QStringList>

class QAbstractButton;
class QAbstractSlider;
class QButtonGroup;
class QComboBox;
class QLineEdit;
class QWidget;

namespace qp {

class ArrowButtons;

class SettingBinder : public QObject {
    Q_OBJECT
public:
    explicit SettingBinder(SettingsModel& settings, QObject* parent = nullptr);

    SettingsModel& settings() const { return m_settings; }

    // A text setting in a line edit, with the setting's key filter.
    void bindLineEdit(Setting key, QLineEdit* edit);
    // A choice text in an editable combo box whose list proposes `proposals`, with the key filter.
    // A setting that takes no typed keys (out_format) gets a read-only edit part: its value is
    // chosen from the list.
    void bindComboBox(Setting key, QComboBox* box, const QStringList& proposals);
    void bindCheckBox(Setting key, QAbstractButton* box);
    // A radio button. Buttons of one model group form an exclusive group; the model clears the
    // others when one is checked.
    void bindRadio(Setting key, QAbstractButton* button);
    // A position in a slider or scroll bar.
    void bindSlider(Setting key, QAbstractSlider* slider);
    // A panel flag: the panel is visible exactly while the flag is set.
    void bindPanel(Setting key, QWidget* panel);
    // `widget` is enabled exactly when the model's enabling rule of `key` allows it (labels name
    // the setting they explain).
    void bindEnabled(Setting key, QWidget* widget);
    // Arrow buttons of a numeric setting: each step goes through the model's stepArrow (range and
    // preview). The mouse wheel over `field` and its Up/Down keys step the same way.
    void bindArrows(Setting key, ArrowButtons* arrows, QWidget* field);

    // Replaces the list of a bound combo box and keeps showing the model's value.
    void setComboItems(Setting key, const QStringList& items);

    // The control bound to a setting (the first one, for settings bound more than once).
    QWidget* control(Setting key) const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void modelChanged(Setting key);
    void enablingChanged();
    void show(Setting key);

    struct Binding {
        QPointer<QWidget> widget;
        enum Kind { Line, Combo, Check, Radio, Slider, Panel } kind;
    };

    SettingsModel& m_settings;
    QMultiHash<Setting, Binding> m_bindings;
    QList<QPair<Setting, QPointer<QWidget>>> m_enabled;
    QHash<QString, QButtonGroup*> m_groups;
    QHash<QObject*, Setting> m_arrowFields;
    QHash<QObject*, QPointer<QComboBox>> m_popupEdits;
    // Set while the binder writes a model value into a control.
    int m_showing = 0;
};

} // namespace qp
