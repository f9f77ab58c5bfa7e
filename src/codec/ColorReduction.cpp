// SPDX-License-Identifier: MIT
#include "codec/ColorReduction.h"

#include "codec/PixelAccess.h"
#include "codec/ScratchPool.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <utility>

namespace imaging {

namespace {

// Channels in the order the boxes are split by: alpha, red, green, blue. Among channels of equal
// weighted extent the first one is split.
enum Channel { A, R, G, B, ChannelCount };
constexpr std::array<int, ChannelCount> ChannelWeights = {1024, 612, 1202, 234};

constexpr int MaxBoxes = 4096;
constexpr int BucketCount = 32768;

using Channels = std::array<uint8_t, ChannelCount>;

Channels ChannelsOf(const TColor32Rec& c)
{
    return {c.A, c.R, c.G, c.B};
}

struct ColorCount {
    Channels color;
    uint32_t count;
};

uint32_t Pack(const Channels& c)
{
    return uint32_t{c[A]} << 24 | uint32_t{c[R]} << 16 | uint32_t{c[G]} << 8 | c[B];
}

Channels Unpack(uint32_t v)
{
    return {static_cast<uint8_t>(v >> 24), static_cast<uint8_t>(v >> 16), static_cast<uint8_t>(v >> 8),
            static_cast<uint8_t>(v)};
}

// The colour histogram: colours are spread over hash buckets by a weighted sum of their channels.
class Histogram {
public:
    Histogram() : m_buckets(BucketCount) {}

    // Counts `count` pixels of colour c.
    void Add(const Channels& c, uint32_t count)
    {
        m_filled = true;
        Bucket& bucket = m_buckets[BucketOf(c)];
        const uint32_t key = Pack(c);
        const size_t i = Find(bucket.colors, key);
        if (i < bucket.colors.size()) {
            bucket.counts[i] += count;
        } else {
            bucket.colors.push_back(key);
            bucket.counts.push_back(count);
        }
    }

    // Empties every bucket (after an exception left colours behind).
    void Clear()
    {
        if (!m_filled)
            return;
        m_filled = false;
        for (Bucket& bucket : m_buckets) {
            bucket.colors.clear();
            bucket.counts.clear();
        }
    }

    // Hands every colour over and leaves the buckets empty.
    template <typename Sink>
    void Drain(Sink&& sink)
    {
        for (Bucket& bucket : m_buckets) {
            for (size_t i = bucket.colors.size(); i-- > 0;)
                sink(ColorCount{Unpack(bucket.colors[i]), bucket.counts[i]});
            // Small lists keep their room for the next image; large ones give it back.
            if (bucket.colors.capacity() > 64) {
                bucket = Bucket{};
            } else {
                bucket.colors.clear();
                bucket.counts.clear();
            }
        }
        m_filled = false;
    }

private:
    struct Bucket {
        std::vector<uint32_t> colors;   // packed alpha, red, green, blue
        std::vector<uint32_t> counts;
    };

    // Position of key in colors, or colors.size(). Runs of equal pixels are common, and the most
    // recently added colours sit at the end.
    static size_t Find(const std::vector<uint32_t>& colors, uint32_t key)
    {
        for (size_t i = colors.size(); i-- > 0;)
            if (colors[i] == key)
                return i;
        return colors.size();
    }

    static size_t BucketOf(const Channels& c)
    {
        return static_cast<size_t>(11 * c[B] + c[A] + 59 * c[R] + 119 * c[G]) % BucketCount;
    }

    std::vector<Bucket> m_buckets;
    bool m_filled = false;   // colours were added and not yet handed over
};

struct Box {
    Channels min{255, 255, 255, 255};
    Channels max{0, 0, 0, 0};
    uint64_t count = 0;
    std::vector<ColorCount> colors;
    Channels average{};

    void Reset()
    {
        min = {255, 255, 255, 255};
        max = {0, 0, 0, 0};
        count = 0;
        colors.clear();
    }

    void Add(const ColorCount& c)
    {
        for (int ch = 0; ch < ChannelCount; ++ch) {
            min[ch] = std::min(min[ch], c.color[ch]);
            max[ch] = std::max(max[ch], c.color[ch]);
        }
        count += c.count;
        colors.push_back(c);
    }

    int64_t WeightedExtent(int ch) const
    {
        return static_cast<int64_t>(max[ch] - min[ch]) * ChannelWeights[ch];
    }

    int64_t LargestExtent() const
    {
        int64_t largest = 0;
        for (int ch = 0; ch < ChannelCount; ++ch)
            largest = std::max(largest, WeightedExtent(ch));
        return largest;
    }

    bool Contains(const Channels& c) const
    {
        for (int ch = 0; ch < ChannelCount; ++ch)
            if (c[ch] < min[ch] || c[ch] > max[ch])
                return false;
        return true;
    }
};

// Splits boxes until maxColors boxes exist or no box holds more than one colour.
void SplitBoxes(std::vector<Box>& boxes, int maxColors)
{
    // The largest weighted extent of every box, kept up to date for the two boxes a split changes.
    std::vector<int64_t> extents;
    extents.reserve(static_cast<size_t>(maxColors));
    for (const Box& box : boxes)
        extents.push_back(box.LargestExtent());
    while (static_cast<int>(boxes.size()) < maxColors) {
        size_t widest = 0;
        int64_t widestExtent = -1;
        for (size_t i = 0; i < extents.size(); ++i) {
            if (extents[i] > widestExtent) {
                widestExtent = extents[i];
                widest = i;
            }
        }
        if (widestExtent == 0)
            return;
        Box& box = boxes[widest];
        int channel = 0;
        while (box.WeightedExtent(channel) != widestExtent)
            ++channel;
        const int splitValue = (box.min[channel] + box.max[channel]) / 2;

        std::vector<ColorCount> colors = std::move(box.colors);
        box.Reset();
        Box upper;
        for (const ColorCount& c : colors) {
            if (c.color[channel] <= splitValue)
                box.Add(c);
            else
                upper.Add(c);
        }
        extents[widest] = box.LargestExtent();
        extents.push_back(upper.LargestExtent());
        boxes.push_back(std::move(upper));   // `box` is not used after this
    }
}

// Average colour of every box, then its ranges widened to take the unmasked pixels.
void FinishBoxes(std::vector<Box>& boxes, uint8_t mask)
{
    for (Box& box : boxes) {
        std::array<uint64_t, ChannelCount> sums{};
        for (const ColorCount& c : box.colors)
            for (int ch = 0; ch < ChannelCount; ++ch)
                sums[ch] += static_cast<uint64_t>(c.color[ch]) * c.count;
        for (int ch = 0; ch < ChannelCount; ++ch)
            box.average[ch] = static_cast<uint8_t>(sums[ch] / box.count);
        std::vector<ColorCount>().swap(box.colors);
        for (int ch = 0; ch < ChannelCount; ++ch) {
            box.min[ch] = box.min[ch] & mask;
            box.max[ch] = static_cast<uint8_t>((box.max[ch] & mask) + (255 - mask));
        }
    }
}

// Largest pixel count first; a selection sort, so that boxes of equal counts keep the order that
// this particular sort gives them.
void SortBoxes(std::vector<Box>& boxes)
{
    for (size_t i = 0; i < boxes.size(); ++i) {
        size_t largest = i;
        for (size_t j = i + 1; j < boxes.size(); ++j)
            if (boxes[j].count > boxes[largest].count)
                largest = j;
        if (largest != i)
            std::swap(boxes[i], boxes[largest]);
    }
}

// Finds the first box (in palette order) that contains a colour: per channel and value, the set
// of boxes whose range holds that value; a colour's boxes are the intersection of its four sets.
class BoxLookup {
public:
    explicit BoxLookup(const std::vector<Box>& boxes)
        : m_words((boxes.size() + 63) / 64), m_sets(static_cast<size_t>(ChannelCount) * 256 * m_words, 0)
    {
        for (size_t i = 0; i < boxes.size(); ++i)
            for (int ch = 0; ch < ChannelCount; ++ch)
                for (int v = boxes[i].min[ch]; v <= boxes[i].max[ch]; ++v)
                    Set(ch, v)[i / 64] |= uint64_t{1} << (i % 64);
    }

    // Index of the first box holding the colour, or 0 when none does.
    int Find(const Channels& c) const
    {
        for (size_t w = 0; w < m_words; ++w) {
            uint64_t bits = ~uint64_t{0};
            for (int ch = 0; ch < ChannelCount; ++ch)
                bits &= Set(ch, c[ch])[w];
            if (bits != 0)
                return static_cast<int>(w * 64 + static_cast<size_t>(__builtin_ctzll(bits)));
        }
        return 0;
    }

private:
    uint64_t* Set(int ch, int value) { return m_sets.data() + (static_cast<size_t>(ch) * 256 + value) * m_words; }
    const uint64_t* Set(int ch, int value) const
    {
        return m_sets.data() + (static_cast<size_t>(ch) * 256 + value) * m_words;
    }

    size_t m_words;
    std::vector<uint64_t> m_sets;
};

// Calls f(pixel index, colour) for every pixel of the image.
template <typename F>
void ForEachPixel(const TImageData& image, F&& f)
{
    const TImageFormatInfo& info = *GetFormatInfo(image.Format);
    const TColor32Rec* palette = image.Palette.empty() ? nullptr : image.Palette.data();
    const size_t count = static_cast<size_t>(image.Width) * static_cast<size_t>(image.Height);
    const size_t step = static_cast<size_t>(info.BytesPerPixel);
    const uint8_t* p = image.Bits.data();
    if (image.Format == ifR8G8B8) {   // the program's images: read the bytes directly
        for (size_t i = 0; i < count; ++i, p += 3)
            f(i, Channels{255, p[2], p[1], p[0]});
        return;
    }
    for (size_t i = 0; i < count; ++i, p += step)
        f(i, ChannelsOf(GetPixel32(p, info, palette)));
}

} // namespace

std::vector<TColor32Rec> ReduceColorsMedianCut(const TImageData& image, int maxColors, uint8_t mask,
                                               uint8_t* indices, int indexBytes)
{
    maxColors = std::clamp(maxColors, 2, MaxBoxes);

    // Count the masked colours, then gather them all in one box.
    std::vector<Box> boxes(1);
    {
        // The buckets are kept (empty) from one reduction to the next.
        static ScratchPool<Histogram> histograms;
        const auto lease = histograms.take();
        Histogram& histogram = *lease;
        histogram.Clear();
        // Runs of equal pixels are counted at once.
        const uint32_t packedMask = Pack({mask, mask, mask, mask});
        uint32_t run = 0;
        uint32_t runLength = 0;
        ForEachPixel(image, [&](size_t, const Channels& c) {
            const uint32_t packed = Pack(c) & packedMask;
            if (runLength > 0 && (packed != run || runLength == UINT32_MAX)) {
                histogram.Add(Unpack(run), runLength);
                runLength = 0;
            }
            run = packed;
            ++runLength;
        });
        if (runLength > 0)
            histogram.Add(Unpack(run), runLength);
        histogram.Drain([&](const ColorCount& c) { boxes[0].Add(c); });
    }

    SplitBoxes(boxes, maxColors);
    FinishBoxes(boxes, mask);
    SortBoxes(boxes);

    std::vector<TColor32Rec> palette(static_cast<size_t>(maxColors), TColor32Rec{0, 0, 0, 255});
    for (size_t i = 0; i < boxes.size(); ++i) {
        const Channels& c = boxes[i].average;
        palette[i] = {c[B], c[G], c[R], c[A]};
    }

    // Every (unmasked) pixel takes the first box that holds it. Neighbouring pixels are often
    // equal, so the last answer is kept.
    const BoxLookup lookup(boxes);
    uint32_t last = 0;
    int lastIndex = -1;
    ForEachPixel(image, [&](size_t i, const Channels& c) {
        const uint32_t packed = Pack(c);
        if (lastIndex < 0 || packed != last) {
            last = packed;
            lastIndex = lookup.Find(c);
        }
        uint8_t* out = indices + i * static_cast<size_t>(indexBytes);
        out[0] = static_cast<uint8_t>(lastIndex);
        if (indexBytes > 1)
            out[1] = static_cast<uint8_t>(lastIndex >> 8);
    });
    return palette;
}

void ReduceToIndexed(const TImageData& image, TImageFormat indexedFormat, uint8_t channelMask,
                     std::vector<uint8_t>& bits, std::vector<TColor32Rec>& palette)
{
    const TImageFormatInfo& info = *GetFormatInfo(indexedFormat);
    const size_t count = static_cast<size_t>(image.Width) * static_cast<size_t>(image.Height);
    bits.assign(count * static_cast<size_t>(info.BytesPerPixel), 0);
    palette = ReduceColorsMedianCut(image, info.PaletteEntries, channelMask, bits.data(), info.BytesPerPixel);
    palette.resize(static_cast<size_t>(info.PaletteEntries), TColor32Rec{0, 0, 0, 255});
}

uint8_t ChannelMaskFromOption(int32_t value)
{
    return value >= 0 && value <= 255 ? static_cast<uint8_t>(value) : 255;
}

} // namespace imaging
