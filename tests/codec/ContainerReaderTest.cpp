// SPDX-License-Identifier: MIT
// The tests' reader of chunks and boxes, on files made by hand: CRCs, lengths that do not fit,
// bytes after the last part, and the two special box lengths no writer of ours needs.
#include "support/codec/ContainerReader.h"

#include <gtest/gtest-spi.h>
#include <gtest/gtest.h>

using namespace codectest;

namespace {

using Bytes = std::vector<uint8_t>;

const Bytes kPngSignature = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};
// An empty IEND chunk with its CRC.
const Bytes kEnd = {0, 0, 0, 0, 'I', 'E', 'N', 'D', 0xAE, 0x42, 0x60, 0x82};

Bytes Join(std::initializer_list<Bytes> parts)
{
    Bytes out;
    for (const Bytes& part : parts)
        out.insert(out.end(), part.begin(), part.end());
    return out;
}

Bytes BigEndian(uint64_t value, int size)
{
    Bytes out;
    for (int i = size - 1; i >= 0; --i)
        out.push_back(uint8_t(value >> (8 * i)));
    return out;
}

// A box of `type` around `data`, its length in the length field or in the extended length.
Bytes MakeBox(const std::string& type, const Bytes& data, bool extended = false)
{
    const Bytes name(type.begin(), type.end());
    if (!extended)
        return Join({BigEndian(data.size() + 8, 4), name, data});
    return Join({BigEndian(1, 4), name, BigEndian(data.size() + 16, 8), data});
}

} // namespace

TEST(ContainerReader, ChunksCarryTypeDataAndWhetherTheirCrcIsRight)
{
    // IHDR of a 1 x 1 grey image, with its CRC; then the same chunk with one CRC byte changed.
    const Bytes header = {0, 0, 0, 13, 'I', 'H', 'D', 'R', 0, 0, 0, 1, 0, 0, 0, 1, 8, 0, 0, 0, 0, 0x3A, 0x7E, 0x9B, 0x55};
    Bytes broken = header;
    broken.back() ^= 1;
    size_t end = 0;
    const std::vector<Chunk> chunks = ReadChunks(Join({kPngSignature, header, broken, kEnd}), &end);
    EXPECT_EQ(Types(chunks), (std::vector<std::string>{"IHDR", "IHDR", "IEND"}));
    EXPECT_EQ(chunks[0].data, Bytes(header.begin() + 8, header.end() - 4));
    EXPECT_TRUE(chunks[0].crcOk);
    EXPECT_FALSE(chunks[1].crcOk);
    EXPECT_TRUE(chunks[2].crcOk);
    EXPECT_TRUE(chunks[2].data.empty());
    EXPECT_EQ(end, 8 + 25 + 25 + 12u);
    EXPECT_NONFATAL_FAILURE(ExpectChunks(Join({kPngSignature, header, broken, kEnd})), "wrong CRC of a IHDR chunk");
}

TEST(ContainerReader, ReadingStopsAtAChunkCutShort)
{
    Bytes file = Join({kPngSignature, kEnd, kEnd});
    file.pop_back();
    size_t end = 0;
    EXPECT_EQ(ReadChunks(file, &end).size(), 1u);
    EXPECT_EQ(end, 20u);
    EXPECT_NONFATAL_FAILURE(ExpectChunks(file), "bytes after the last chunk");
    EXPECT_NONFATAL_FAILURE(ExpectChunks(Bytes(kPngSignature.begin(), kPngSignature.begin() + 4)),
                            "bytes after the last chunk");
}

TEST(ContainerReader, BoxesWithEveryKindOfLength)
{
    const Bytes plain = MakeBox("ftyp", {'j', 'p', '2', ' '});
    const Bytes extended = MakeBox("jp2h", {1, 2, 3}, true);
    const Bytes toTheEnd = {0, 0, 0, 0, 'j', 'p', '2', 'c', 0xFF, 0x4F, 0xFF, 0xD9};
    ASSERT_EQ(plain, (Bytes{0, 0, 0, 12, 'f', 't', 'y', 'p', 'j', 'p', '2', ' '}));
    ASSERT_EQ(extended, (Bytes{0, 0, 0, 1, 'j', 'p', '2', 'h', 0, 0, 0, 0, 0, 0, 0, 19, 1, 2, 3}));
    const std::vector<Box> boxes = ExpectBoxes(Join({plain, extended, toTheEnd}));
    EXPECT_EQ(Types(boxes), (std::vector<std::string>{"ftyp", "jp2h", "jp2c"}));
    EXPECT_EQ(boxes[0].data, (Bytes{'j', 'p', '2', ' '}));
    EXPECT_EQ(boxes[1].data, (Bytes{1, 2, 3}));
    EXPECT_EQ(boxes[2].data, (Bytes{0xFF, 0x4F, 0xFF, 0xD9}));
    EXPECT_EQ(Find(boxes, "jp2h").data, boxes[1].data);
    EXPECT_NONFATAL_FAILURE(Find(boxes, "colr"), "no colr box");
}

TEST(ContainerReader, ABoxLengthThatDoesNotFitEndsTheReading)
{
    const Bytes plain = MakeBox("ftyp", {'j', 'p', '2', ' '});
    for (const Bytes& bad : {Bytes{0, 0, 0, 7, 'b', 'a', 'd', ' '},                 // shorter than its header
                             Bytes{0, 0, 0, 9, 'b', 'a', 'd', ' '},                 // longer than the data
                             Bytes{0, 0, 0, 1, 'b', 'a', 'd', ' ', 0, 0, 0, 0},     // extended length cut short
                             Bytes{0, 0, 0, 1, 'b', 'a', 'd', ' ', 0, 0, 0, 0, 0, 0, 0, 8}}) { // under 16
        const Bytes data = Join({plain, bad});
        size_t end = 0;
        EXPECT_EQ(ReadBoxes(data, &end).size(), 1u);
        EXPECT_EQ(end, plain.size());
        EXPECT_NONFATAL_FAILURE(ExpectBoxes(data), "bad box length at 12");
    }
    // Fewer than 8 bytes after the last box are no box at all.
    EXPECT_NONFATAL_FAILURE(ExpectBoxes(Join({plain, Bytes{0, 0}})), "bytes after the last box");
}
