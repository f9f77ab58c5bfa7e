// SPDX-License-Identifier: MIT
#pragma once
// Reads written files into the parts their containers are made of, as the image tests check them:
// the chunks of PNG, MNG and JNG files and the boxes of JPEG 2000 files (JP2, or a super box's
// contents). Read... never fails a test, so it also judges files that may be cut short; Expect...
// reads a file the test expects to be well made and fails the test where it is not.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace codectest {

// A chunk: its four-letter type, its data, and whether its CRC-32 (over type and data) is right.
struct Chunk {
    std::string type;
    std::vector<uint8_t> data;
    bool crcOk = false;
};

// A box: its four-letter type and its contents (without the box header).
struct Box {
    std::string type;
    std::vector<uint8_t> data;
};

// The chunks after the 8-byte signature, up to the first one that runs past the end of `file`.
// `end`, when given, receives where the last whole chunk ends: the file's size when nothing else
// follows.
std::vector<Chunk> ReadChunks(const std::vector<uint8_t>& file, size_t* end = nullptr);
// ReadChunks, and a test failure for every wrong CRC and for bytes after the last whole chunk.
std::vector<Chunk> ExpectChunks(const std::vector<uint8_t>& file);

// The boxes in `data`, up to the first one whose length does not fit. A length of 1 is followed by
// the 8-byte extended length; a length of 0 makes the box run to the end of `data`. `end` as in
// ReadChunks.
std::vector<Box> ReadBoxes(const std::vector<uint8_t>& data, size_t* end = nullptr);
// ReadBoxes, and a test failure for a length that does not fit or else for bytes after the last box.
std::vector<Box> ExpectBoxes(const std::vector<uint8_t>& data);

// The first part of `type`; an empty one, and a test failure, when there is none.
const Chunk& Find(const std::vector<Chunk>& chunks, const std::string& type);
const Box& Find(const std::vector<Box>& boxes, const std::string& type);
// The types of the parts, in their order.
std::vector<std::string> Types(const std::vector<Chunk>& chunks);
std::vector<std::string> Types(const std::vector<Box>& boxes);

} // namespace codectest
