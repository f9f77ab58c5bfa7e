// SPDX-License-Identifier: MIT
#include "codec/FormatRegistry.h"

#include "codec/formats/bmp/BitmapFileFormat.h"
#include "codec/formats/dds/DdsFileFormat.h"
#include "codec/formats/gif/GifFileFormat.h"
#include "codec/formats/jpeg/JpegFileFormat.h"
#include "codec/formats/jpeg2000/Jpeg2000FileFormat.h"
#include "codec/formats/pcx/PcxFileFormat.h"
#include "codec/formats/png/NetworkGraphicsFileFormat.h"
#include "codec/formats/portablemap/PortableMapFileFormat.h"
#include "codec/formats/psd/PsdFileFormat.h"
#include "codec/formats/targa/TargaFileFormat.h"
#include "codec/formats/tiff/TiffFileFormat.h"
#include "codec/formats/xpm/XpmFileFormat.h"

namespace imaging {

TFormatRegistry::TFormatRegistry(TOptionTable& options)
{
    // The order decides which writer takes a name that several masks match, and which writer
    // keeps an option id that two of them ask for.
    m_writers.push_back(std::make_unique<TXPMFileFormat>(options));
    m_writers.push_back(std::make_unique<TPCXFileFormat>(options));
    m_writers.push_back(std::make_unique<TPSDFileFormat>(options));
    m_writers.push_back(std::make_unique<TTiffFileFormat>(options));
    m_writers.push_back(std::make_unique<TJpeg2000FileFormat>(options));
    m_writers.push_back(std::make_unique<TPBMFileFormat>(options));
    m_writers.push_back(std::make_unique<TPGMFileFormat>(options));
    m_writers.push_back(std::make_unique<TPPMFileFormat>(options));
    m_writers.push_back(std::make_unique<TPAMFileFormat>(options));
    m_writers.push_back(std::make_unique<TPFMFileFormat>(options));
    m_writers.push_back(std::make_unique<TTargaFileFormat>(options));
    m_writers.push_back(std::make_unique<TDDSFileFormat>(options));
    m_writers.push_back(std::make_unique<TGIFFileFormat>(options));
    m_writers.push_back(std::make_unique<TJpegFileFormat>(options));
    m_writers.push_back(std::make_unique<TPNGFileFormat>(options));
    m_writers.push_back(std::make_unique<TMNGFileFormat>(options));
    m_writers.push_back(std::make_unique<TJNGFileFormat>(options));
    m_writers.push_back(std::make_unique<TBitmapFileFormat>(options));

    options.RegisterOption(ImagingColorReductionMask, &ColorReductionMask);
    options.RegisterOption(ImagingLoadOverrideFormat, &LoadOverrideFormat);
    options.RegisterOption(ImagingSaveOverrideFormat, &SaveOverrideFormat);
    options.RegisterOption(ImagingMipMapFilter, &MipMapFilter);
}

TFormatRegistry::~TFormatRegistry() = default;

TImageFileFormat* TFormatRegistry::FindWriterForFileName(const std::string& fileName) const
{
    const std::u32string name = FileNameCodePoints(fileName);
    for (const auto& writer : m_writers)
        if (writer->TestNameCodePoints(name))
            return writer.get();
    return nullptr;
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

} // namespace imaging
