// SPDX-License-Identifier: MIT
#include "PcxFileFormat.h"

namespace imaging {

TPCXFileFormat::TPCXFileFormat(TOptionTable& options) : TImageFileFormat(options)
{
    m_name = "ZSoft Paintbrush Image";
    AddMasks("*.pcx");
}

} // namespace imaging
