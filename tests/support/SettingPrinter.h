// SPDX-License-Identifier: MIT
#pragma once
// Prints a setting key by its name, in assertion messages and in the values gtest reports.
#include "core/settings/SettingsModel.h"

#include <ostream>

namespace qp {

inline std::ostream& operator<<(std::ostream& out, Setting key)
{
    return out << SettingsModel::nameOf(key).toStdString();
}

} // namespace qp
