#pragma once
// The portable map writers (PBM, PGM, PPM, PAM, PFM) and their common base. Not built yet: each is
// registered with its name, masks and options, and refuses to save.
#include "codec/ImageFileFormat.h"

namespace imaging {

class TPortableMapFileFormat : public TImageFileFormat {
public:
    explicit TPortableMapFileFormat(TOptionTable& options);

protected:
    int32_t m_saveBinary = -1;   // PGM option 50, PPM option 51; PAM and PFM are always binary
};

class TPBMFileFormat : public TPortableMapFileFormat {
public:
    explicit TPBMFileFormat(TOptionTable& options);
};

class TPGMFileFormat : public TPortableMapFileFormat {
public:
    explicit TPGMFileFormat(TOptionTable& options);
};

class TPPMFileFormat : public TPortableMapFileFormat {
public:
    explicit TPPMFileFormat(TOptionTable& options);
};

class TPAMFileFormat : public TPortableMapFileFormat {
public:
    explicit TPAMFileFormat(TOptionTable& options);
};

class TPFMFileFormat : public TPortableMapFileFormat {
public:
    explicit TPFMFileFormat(TOptionTable& options);
};

} // namespace imaging
