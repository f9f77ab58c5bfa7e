// SPDX-License-Identifier: MIT
#include "codec/formats/xpm/XpmFileFormat.h"

namespace imaging {

TXPMFileFormat::TXPMFileFormat(TOptionTable& options) : TImageFileFormat(options)
{
    m_name = "X Window Pixmap";
}

} // namespace imaging
