// SPDX-License-Identifier: MIT
#pragma once
// Object names of controls and windows.
#include "core/settings/SettingsModel.h"

#include <QString>

namespace qp {

// Gives a control the name of its setting or catalogue row, so that bindings, language texts and
// tests find it.
template <typename T>
T* named(T* widget, const char* name)
{
    widget->setObjectName(QString::fromLatin1(name));
    return widget;
}
template <typename T>
T* named(T* widget, Setting key)
{
    widget->setObjectName(SettingsModel::nameOf(key));
    return widget;
}

} // namespace qp
