// SPDX-License-Identifier: MIT
#pragma once
// X Window Pixmap writer (*.xpm). Not built yet: registered with its name, masks and options, and refuses to save.
#include "codec/ImageFileFormat.h"

namespace imaging {

class TXPMFileFormat : public TImageFileFormat {
public:
    explicit TXPMFileFormat(TOptionTable& options);
};

} // namespace imaging
