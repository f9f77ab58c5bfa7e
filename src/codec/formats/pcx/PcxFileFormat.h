// SPDX-License-Identifier: MIT
#pragma once
// ZSoft Paintbrush Image writer (*.pcx). Not built yet: registered with its name, masks and options, and refuses to save.
#include "codec/ImageFileFormat.h"

namespace imaging {

class TPCXFileFormat : public TImageFileFormat {
public:
    explicit TPCXFileFormat(TOptionTable& options);
};

} // namespace imaging
