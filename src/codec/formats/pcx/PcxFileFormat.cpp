// SPDX-License-Identifier: MIT
#include "codec/formats/pcx/PcxFileFormat.h"

namespace imaging {

TPCXFileFormat::TPCXFileFormat(TOptionTable& options) : TImageFileFormat(options)
{
    m_name = "ZSoft Paintbrush Image";
}

} // namespace imaging
