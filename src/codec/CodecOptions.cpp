// SPDX-License-Identifier: MIT
#include "codec/CodecOptions.h"

#include "codec/PixelFormats.h"

#include <algorithm>

namespace imaging {

TOptionTable::TOptionTable() : m_options(256, nullptr) {}

bool TOptionTable::RegisterOption(int32_t id, int32_t* variable)
{
    if (id < 0 || !variable)
        return false;
    const size_t index = static_cast<size_t>(id);
    if (index >= m_options.size())
        m_options.resize(index + 256, nullptr);
    if (m_options[index])
        return false;
    m_options[index] = variable;
    return true;
}

bool TOptionTable::SetOption(int32_t id, int32_t value)
{
    if (id < 0 || static_cast<size_t>(id) >= m_options.size() || !m_options[static_cast<size_t>(id)])
        return false;
    switch (id) {
    case ImagingColorReductionMask:
        value = std::clamp(value, 0, 255);
        break;
    case ImagingLoadOverrideFormat:
    case ImagingSaveOverrideFormat:
        if (!IsValidFormat(value))
            value = ifUnknown;
        break;
    case ImagingMipMapFilter:
        value = std::clamp(value, 0, 9);
        break;
    default:
        break;
    }
    *m_options[static_cast<size_t>(id)] = value;
    return true;
}

int32_t TOptionTable::GetOption(int32_t id) const
{
    if (id < 0 || static_cast<size_t>(id) >= m_options.size() || !m_options[static_cast<size_t>(id)])
        return InvalidOption;
    return *m_options[static_cast<size_t>(id)];
}

} // namespace imaging
