// SPDX-License-Identifier: MIT
#pragma once
// The writer registry and the process-wide codec state (option table and writers).
#include "codec/CodecOptions.h"
#include "codec/FormatRow.h"
#include "codec/ImageFileFormat.h"

#include <memory>
#include <string>
#include <vector>

namespace imaging {

class TFormatRegistry {
public:
    // Creates the writer of every format row in row order, with the masks of the row's
    // extensions; each binds its options in `options`, then the core options 128 to 131 are bound.
    explicit TFormatRegistry(TOptionTable& options);
    ~TFormatRegistry();

    // First writer in registry order whose masks match the name part of fileName, or nullptr.
    TImageFileFormat* FindWriterForFileName(const std::string& fileName) const;
    // The row of that writer, or nullptr.
    const TFormatRow* FindRowForFileName(const std::string& fileName) const;
    // The writers, one for each of FormatRows() at the same index.
    const std::vector<std::unique_ptr<TImageFileFormat>>& Writers() const { return m_writers; }

    // Core options.
    int32_t ColorReductionMask = 255;
    int32_t LoadOverrideFormat = 0;
    int32_t SaveOverrideFormat = 0;
    int32_t MipMapFilter = 1;

private:
    // Index of the first writer whose masks match, or -1.
    int FindIndexForFileName(const std::string& fileName) const;

    std::vector<std::unique_ptr<TImageFileFormat>> m_writers;
};

// The process-wide codec: one option table and one registry, made on first use.
struct TImaging {
    TOptionTable Options;
    TFormatRegistry Registry{Options};
};
TImaging& Imaging();

bool SetCodecOption(int32_t id, int32_t value);
int32_t GetCodecOption(int32_t id);
TImageFileFormat* FindWriterForFileName(const std::string& fileName);
const TFormatRow* FindFormatRowForFileName(const std::string& fileName);

} // namespace imaging
