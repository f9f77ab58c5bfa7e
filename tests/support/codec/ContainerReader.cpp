// SPDX-License-Identifier: MIT
#include "support/codec/ContainerReader.h"

#include "support/codec/CodecFixtures.h"

#include <gtest/gtest.h>
#include <utility>
#include <zlib.h>

namespace codectest {

namespace {

constexpr size_t kSignatureSize = 8;
constexpr size_t kChunkFrame = 12; // length, type and CRC around the data

std::string TypeAt(const std::vector<uint8_t>& data, size_t pos)
{
    return {data.begin() + pos, data.begin() + pos + 4};
}

uint64_t BE64(const std::vector<uint8_t>& data, size_t pos)
{
    return uint64_t(BE32(data, pos)) << 32 | BE32(data, pos + 4);
}

// The header size and total size of the box at `pos`; 0 as the size when it does not fit.
std::pair<size_t, uint64_t> BoxSize(const std::vector<uint8_t>& data, size_t pos)
{
    const size_t left = data.size() - pos;
    uint64_t length = BE32(data, pos);
    size_t header = 8;
    if (length == 1) { // the extended length follows the type
        if (left < 16)
            return {header, 0};
        header = 16;
        length = BE64(data, pos + 8);
    } else if (length == 0) { // the last box runs to the end
        length = left;
    }
    if (length < header || length > left)
        return {header, 0};
    return {header, length};
}

template <class Part>
const Part& FindPart(const std::vector<Part>& parts, const std::string& type, const char* kind)
{
    for (const Part& part : parts)
        if (part.type == type)
            return part;
    static const Part none;
    ADD_FAILURE() << "no " << type << " " << kind;
    return none;
}

template <class Part>
std::vector<std::string> PartTypes(const std::vector<Part>& parts)
{
    std::vector<std::string> types;
    for (const Part& part : parts)
        types.push_back(part.type);
    return types;
}

} // namespace

std::vector<Chunk> ReadChunks(const std::vector<uint8_t>& file, size_t* end)
{
    std::vector<Chunk> chunks;
    size_t pos = kSignatureSize;
    while (pos + kChunkFrame <= file.size()) {
        const size_t length = BE32(file, pos);
        if (length > file.size() - pos - kChunkFrame)
            break;
        Chunk chunk;
        chunk.type = TypeAt(file, pos + 4);
        chunk.data.assign(file.begin() + pos + 8, file.begin() + pos + 8 + length);
        chunk.crcOk = crc32(0, file.data() + pos + 4, uInt(4 + length)) == BE32(file, pos + 8 + length);
        chunks.push_back(std::move(chunk));
        pos += kChunkFrame + length;
    }
    if (end)
        *end = pos; // past a file shorter than its signature
    return chunks;
}

std::vector<Chunk> ExpectChunks(const std::vector<uint8_t>& file)
{
    size_t end = 0;
    std::vector<Chunk> chunks = ReadChunks(file, &end);
    for (const Chunk& chunk : chunks)
        EXPECT_TRUE(chunk.crcOk) << "wrong CRC of a " << chunk.type << " chunk";
    EXPECT_EQ(end, file.size()) << "bytes after the last chunk";
    return chunks;
}

std::vector<Box> ReadBoxes(const std::vector<uint8_t>& data, size_t* end)
{
    std::vector<Box> boxes;
    size_t pos = 0;
    while (pos + 8 <= data.size()) {
        const auto [header, length] = BoxSize(data, pos);
        if (length == 0)
            break;
        boxes.push_back({TypeAt(data, pos + 4), {data.begin() + pos + header, data.begin() + pos + length}});
        pos += length;
    }
    if (end)
        *end = pos;
    return boxes;
}

std::vector<Box> ExpectBoxes(const std::vector<uint8_t>& data)
{
    size_t end = 0;
    std::vector<Box> boxes = ReadBoxes(data, &end);
    if (end + 8 <= data.size())
        ADD_FAILURE() << "bad box length at " << end;
    else
        EXPECT_EQ(end, data.size()) << "bytes after the last box";
    return boxes;
}

const Chunk& Find(const std::vector<Chunk>& chunks, const std::string& type)
{
    return FindPart(chunks, type, "chunk");
}

const Box& Find(const std::vector<Box>& boxes, const std::string& type)
{
    return FindPart(boxes, type, "box");
}

std::vector<std::string> Types(const std::vector<Chunk>& chunks)
{
    return PartTypes(chunks);
}

std::vector<std::string> Types(const std::vector<Box>& boxes)
{
    return PartTypes(boxes);
}

} // namespace codectest
