// SPDX-License-Identifier: MIT
#include "gui/settings/SettingKeyFilter.h"

#include "core/settings/SettingsModel.h"

#include <QComboBox>
#include <QKeyEvent>
#include <QLineEdit>

namespace qp {

SettingKeyFilter::SettingKeyFilter(SettingsModel& settings, Setting key, QObject* parent)
    : QObject(parent), m_settings(settings), m_key(key)
{
}

SettingKeyFilter* SettingKeyFilter::install(SettingsModel& settings, Setting key,
                                            QWidget* control)
{
    auto* filter = new SettingKeyFilter(settings, key, control);
    control->installEventFilter(filter);
    if (auto* combo = qobject_cast<QComboBox*>(control); combo && combo->lineEdit())
        combo->lineEdit()->installEventFilter(filter);
    return filter;
}

bool SettingKeyFilter::accepts(const QKeyEvent& event)
{
    if (event.key() == Qt::Key_Backspace)
        return m_settings.acceptKey(m_key, QChar(8));
    const QString text = event.text();
    for (const QChar c : text) {
        // Control characters and Delete type nothing; they belong to editing and shortcuts.
        if (c.unicode() < 32 || c.unicode() == 127)
            continue;
        if (!m_settings.acceptKey(m_key, c))
            return false;
    }
    return true;
}

bool SettingKeyFilter::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::KeyPress && !accepts(*static_cast<QKeyEvent*>(event)))
        return true;
    return QObject::eventFilter(watched, event);
}

} // namespace qp
