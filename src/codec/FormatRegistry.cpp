// SPDX-License-Identifier: MIT
#include "codec/FormatRegistry.h"

namespace imaging {

TFormatRegistry::TFormatRegistry(TOptionTable& options)
{
    for (const TFormatRow& row : FormatRows()) {
        m_writers.push_back(row.MakeWriter(options));
        for (const std::string& mask : row.Masks())
            m_writers.back()->AddMasks(mask);
    }

    options.RegisterOption(ImagingColorReductionMask, &ColorReductionMask);
    options.RegisterOption(ImagingLoadOverrideFormat, &LoadOverrideFormat);
    options.RegisterOption(ImagingSaveOverrideFormat, &SaveOverrideFormat);
    options.RegisterOption(ImagingMipMapFilter, &MipMapFilter);
}

TFormatRegistry::~TFormatRegistry() = default;

int TFormatRegistry::FindIndexForFileName(const std::string& fileName) const
{
    const std::u32string name = FileNameCodePoints(fileName);
    for (size_t i = 0; i < m_writers.size(); ++i)
        if (m_writers[i]->TestNameCodePoints(name))
            return static_cast<int>(i);
    return -1;
}

TImageFileFormat* TFormatRegistry::FindWriterForFileName(const std::string& fileName) const
{
    const int i = FindIndexForFileName(fileName);
    return i < 0 ? nullptr : m_writers[static_cast<size_t>(i)].get();
}

const TFormatRow* TFormatRegistry::FindRowForFileName(const std::string& fileName) const
{
    const int i = FindIndexForFileName(fileName);
    return i < 0 ? nullptr : &FormatRows()[static_cast<size_t>(i)];
}

TImaging& Imaging()
{
    static TImaging imaging;
    return imaging;
}

bool SetCodecOption(int32_t id, int32_t value)
{
    return Imaging().Options.SetOption(id, value);
}

int32_t GetCodecOption(int32_t id)
{
    return Imaging().Options.GetOption(id);
}

TImageFileFormat* FindWriterForFileName(const std::string& fileName)
{
    return Imaging().Registry.FindWriterForFileName(fileName);
}

const TFormatRow* FindFormatRowForFileName(const std::string& fileName)
{
    return Imaging().Registry.FindRowForFileName(fileName);
}

} // namespace imaging
