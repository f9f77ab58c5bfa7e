// SPDX-License-Identifier: MIT
#include "codec/PixelAccess.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstring>

namespace imaging {

static_assert(std::endian::native == std::endian::little,
              "multi-byte channels are stored little-endian and read with plain copies");

namespace {

template <typename T>
T Load(const uint8_t* p)
{
    T v;
    std::memcpy(&v, p, sizeof v);   // the platform is little-endian, like the stored channels
    return v;
}

template <typename T>
void Store(uint8_t* p, T v)
{
    std::memcpy(p, &v, sizeof v);
}

float Clamp01(float v)
{
    if (!(v > 0.0f))   // also NaN
        return 0.0f;
    return v < 1.0f ? v : 1.0f;
}

uint8_t To8(float v)
{
    return static_cast<uint8_t>(std::lround(Clamp01(v) * 255.0f));
}

uint16_t To16(float v)
{
    return static_cast<uint16_t>(std::lround(Clamp01(v) * 65535.0f));
}

// An 8-bit channel as floating point: v * 257 / 65535 in single precision (that is v / 255).
float From8(uint8_t v)
{
    return static_cast<float>(v) * 257.0f / 65535.0f;
}

float From16(uint16_t v)
{
    return static_cast<float>(v) / 65535.0f;
}

float GrayOfFP(const TColorFPRec& c)
{
    return 0.299f * c.R + 0.587f * c.G + 0.114f * c.B;
}

// Channel value of a packed field scaled to 8 bits, and back.
uint8_t UnpackField(uint32_t word, const TPixelBitField& f)
{
    if (f.bits == 0)
        return 0;
    const uint32_t max = (1u << f.bits) - 1;
    const uint32_t v = (word & f.mask) >> f.shift;
    return static_cast<uint8_t>((v * 255 + max / 2) / max);
}

uint32_t PackField(uint8_t v, const TPixelBitField& f)
{
    if (f.bits == 0)
        return 0;
    const uint32_t max = (1u << f.bits) - 1;
    return (((v * max + 127) / 255) << f.shift) & f.mask;
}

// Order of the colour channels of the 8-, 16-bit and floating-point formats: offsets (in
// channels) of red and blue. Green is always channel 1 and alpha channel 3.
struct ChannelOrder {
    int r, b;
};
ChannelOrder OrderOf(const TImageFormatInfo& info)
{
    return info.IsRBSwapped ? ChannelOrder{0, 2} : ChannelOrder{2, 0};
}

} // namespace

uint8_t GrayOf(const TColor32Rec& c)
{
    const long g = std::lround(0.299f * c.R + 0.587f * c.G + 0.114f * c.B);
    return static_cast<uint8_t>(std::clamp(g, 0L, 255L));
}

bool IsDeepFormat(const TImageFormatInfo& info)
{
    if (info.IsFloatingPoint)
        return true;
    if (info.IsSpecial || info.IsIndexed || info.UsePixelFormat || info.ChannelCount == 0)
        return false;
    return info.BytesPerPixel / info.ChannelCount > 1;
}

TChannelLayout GetChannelLayout(const TImageFormatInfo& info)
{
    TChannelLayout layout;
    if (info.UsePixelFormat || info.IsSpecial || info.ChannelCount == 0)
        return layout;
    const bool colour = info.ChannelCount >= 3;
    // X8R8G8B8 is the one format with a byte that belongs to no channel.
    const int size = info.Format == ifX8R8G8B8 ? 1 : info.BytesPerPixel / info.ChannelCount;
    layout.ChannelBytes = size;
    if (colour) {
        const ChannelOrder o = OrderOf(info);
        layout.Offsets = {o.r * size, size, o.b * size};
    } else {
        layout.Offsets = {0};
    }
    if (info.HasAlphaChannel)
        layout.Offsets.push_back((colour ? 3 : 1) * size);
    return layout;
}

void Bgrx32ToR8G8B8(const uint8_t* __restrict src, uint8_t* __restrict dst, size_t count)
{
    for (size_t i = 0; i < count; ++i) {
        dst[3 * i] = src[4 * i];
        dst[3 * i + 1] = src[4 * i + 1];
        dst[3 * i + 2] = src[4 * i + 2];
    }
}

void R8G8B8ToBgra32(const uint8_t* __restrict src, uint8_t* __restrict dst, size_t count)
{
    for (size_t i = 0; i < count; ++i) {
        dst[4 * i] = src[3 * i];
        dst[4 * i + 1] = src[3 * i + 1];
        dst[4 * i + 2] = src[3 * i + 2];
        dst[4 * i + 3] = 255;
    }
}

float HalfToFloat(uint16_t h)
{
    const uint32_t sign = static_cast<uint32_t>(h & 0x8000u) << 16;
    const uint32_t exponent = (h >> 10) & 0x1Fu;
    uint32_t mantissa = h & 0x3FFu;
    uint32_t bits;
    if (exponent == 0) {
        if (mantissa == 0) {
            bits = sign;
        } else {
            // Subnormal half: normalise.
            int e = -1;
            do {
                ++e;
                mantissa <<= 1;
            } while ((mantissa & 0x400u) == 0);
            bits = sign | (static_cast<uint32_t>(127 - 15 - e) << 23) | ((mantissa & 0x3FFu) << 13);
        }
    } else if (exponent == 31) {
        bits = sign | 0x7F800000u | (mantissa << 13);
    } else {
        bits = sign | ((exponent + 127 - 15) << 23) | (mantissa << 13);
    }
    return std::bit_cast<float>(bits);
}

uint16_t FloatToHalf(float f)
{
    const uint32_t bits = std::bit_cast<uint32_t>(f);
    const uint16_t sign = static_cast<uint16_t>((bits >> 16) & 0x8000u);
    const int32_t exponent = static_cast<int32_t>((bits >> 23) & 0xFFu);
    uint32_t mantissa = bits & 0x7FFFFFu;
    if (exponent == 255)   // infinity or NaN
        return static_cast<uint16_t>(sign | 0x7C00u | (mantissa ? 0x200u : 0u));
    int32_t e = exponent - 127 + 15;
    if (e >= 31)
        return static_cast<uint16_t>(sign | 0x7C00u);
    if (e <= 0) {
        if (e < -10)
            return sign;
        // Subnormal half: shift the mantissa with its hidden bit, rounding to nearest even.
        mantissa |= 0x800000u;
        const int shift = 14 - e;
        uint32_t half = mantissa >> shift;
        const uint32_t rest = mantissa & ((1u << shift) - 1);
        const uint32_t halfway = 1u << (shift - 1);
        if (rest > halfway || (rest == halfway && (half & 1u)))
            ++half;
        return static_cast<uint16_t>(sign | half);
    }
    uint32_t half = (static_cast<uint32_t>(e) << 10) | (mantissa >> 13);
    const uint32_t rest = mantissa & 0x1FFFu;
    if (rest > 0x1000u || (rest == 0x1000u && (half & 1u)))
        ++half;   // may carry into the exponent, which rounds up to infinity correctly
    return static_cast<uint16_t>(sign | half);
}

TColor32Rec GetPixel32(const uint8_t* p, const TImageFormatInfo& info, const TColor32Rec* palette)
{
    TColor32Rec c;
    c.A = 255;
    if (info.IsSpecial)   // block-compressed pixels have no single-pixel form
        return c;
    if (info.IsIndexed)
        return palette[p[0]];
    if (info.UsePixelFormat) {
        const uint32_t word = info.BytesPerPixel == 1 ? p[0] : Load<uint16_t>(p);
        c.R = UnpackField(word, info.R);
        c.G = UnpackField(word, info.G);
        c.B = UnpackField(word, info.B);
        if (info.HasAlphaChannel)
            c.A = UnpackField(word, info.A);
        return c;
    }
    switch (info.Format) {
    case ifGray8: c.R = c.G = c.B = p[0]; return c;
    case ifA8Gray8: c.R = c.G = c.B = p[0]; c.A = p[1]; return c;
    case ifR8G8B8: c.B = p[0]; c.G = p[1]; c.R = p[2]; return c;
    case ifA8R8G8B8: c.B = p[0]; c.G = p[1]; c.R = p[2]; c.A = p[3]; return c;
    case ifX8R8G8B8: c.B = p[0]; c.G = p[1]; c.R = p[2]; return c;
    case ifGray16: c.R = c.G = c.B = static_cast<uint8_t>(Load<uint16_t>(p) >> 8); return c;
    case ifA16Gray16:
        c.R = c.G = c.B = static_cast<uint8_t>(Load<uint16_t>(p) >> 8);
        c.A = static_cast<uint8_t>(Load<uint16_t>(p + 2) >> 8);
        return c;
    case ifGray32: c.R = c.G = c.B = static_cast<uint8_t>(Load<uint32_t>(p) >> 24); return c;
    case ifGray64: c.R = c.G = c.B = static_cast<uint8_t>(Load<uint64_t>(p) >> 56); return c;
    case ifR16G16B16:
    case ifA16R16G16B16:
    case ifB16G16R16:
    case ifA16B16G16R16: {
        const ChannelOrder o = OrderOf(info);
        c.R = static_cast<uint8_t>(Load<uint16_t>(p + 2 * o.r) >> 8);
        c.G = static_cast<uint8_t>(Load<uint16_t>(p + 2) >> 8);
        c.B = static_cast<uint8_t>(Load<uint16_t>(p + 2 * o.b) >> 8);
        if (info.HasAlphaChannel)
            c.A = static_cast<uint8_t>(Load<uint16_t>(p + 6) >> 8);
        return c;
    }
    default: {
        const TColorFPRec f = GetPixelFP(p, info, palette);
        c.A = To8(f.A);
        c.R = To8(f.R);
        c.G = To8(f.G);
        c.B = To8(f.B);
        return c;
    }
    }
}

void SetPixel32(uint8_t* p, const TImageFormatInfo& info, const TColor32Rec& c)
{
    if (info.IsIndexed || info.IsSpecial)
        return;
    if (info.UsePixelFormat) {
        uint32_t word = PackField(c.R, info.R) | PackField(c.G, info.G) | PackField(c.B, info.B);
        if (info.HasAlphaChannel)
            word |= PackField(c.A, info.A);
        if (info.BytesPerPixel == 1)
            p[0] = static_cast<uint8_t>(word);
        else
            Store<uint16_t>(p, static_cast<uint16_t>(word));
        return;
    }
    switch (info.Format) {
    case ifGray8: p[0] = GrayOf(c); return;
    case ifA8Gray8: p[0] = GrayOf(c); p[1] = c.A; return;
    case ifR8G8B8: p[0] = c.B; p[1] = c.G; p[2] = c.R; return;
    case ifA8R8G8B8: p[0] = c.B; p[1] = c.G; p[2] = c.R; p[3] = c.A; return;
    case ifX8R8G8B8: p[0] = c.B; p[1] = c.G; p[2] = c.R; p[3] = 255; return;
    case ifGray16: Store<uint16_t>(p, static_cast<uint16_t>(GrayOf(c) * 257)); return;
    case ifA16Gray16:
        Store<uint16_t>(p, static_cast<uint16_t>(GrayOf(c) * 257));
        Store<uint16_t>(p + 2, static_cast<uint16_t>(c.A * 257));
        return;
    case ifGray32: Store<uint32_t>(p, GrayOf(c) * 0x01010101u); return;
    case ifGray64: Store<uint64_t>(p, GrayOf(c) * 0x0101010101010101ull); return;
    case ifR16G16B16:
    case ifA16R16G16B16:
    case ifB16G16R16:
    case ifA16B16G16R16: {
        const ChannelOrder o = OrderOf(info);
        Store<uint16_t>(p + 2 * o.r, static_cast<uint16_t>(c.R * 257));
        Store<uint16_t>(p + 2, static_cast<uint16_t>(c.G * 257));
        Store<uint16_t>(p + 2 * o.b, static_cast<uint16_t>(c.B * 257));
        if (info.HasAlphaChannel)
            Store<uint16_t>(p + 6, static_cast<uint16_t>(c.A * 257));
        return;
    }
    default: {
        TColorFPRec f;
        f.A = From8(c.A);
        f.R = From8(c.R);
        f.G = From8(c.G);
        f.B = From8(c.B);
        SetPixelFP(p, info, f);
        return;
    }
    }
}

TColorFPRec GetPixelFP(const uint8_t* p, const TImageFormatInfo& info, const TColor32Rec* palette)
{
    TColorFPRec f;
    f.A = 1.0f;
    switch (info.Format) {
    case ifGray16: f.R = f.G = f.B = From16(Load<uint16_t>(p)); return f;
    case ifA16Gray16:
        f.R = f.G = f.B = From16(Load<uint16_t>(p));
        f.A = From16(Load<uint16_t>(p + 2));
        return f;
    case ifGray32:
        f.R = f.G = f.B = static_cast<float>(Load<uint32_t>(p) / 4294967295.0);
        return f;
    case ifGray64:
        f.R = f.G = f.B = static_cast<float>(static_cast<double>(Load<uint64_t>(p)) / 18446744073709551615.0);
        return f;
    case ifR16G16B16:
    case ifA16R16G16B16:
    case ifB16G16R16:
    case ifA16B16G16R16: {
        const ChannelOrder o = OrderOf(info);
        f.R = From16(Load<uint16_t>(p + 2 * o.r));
        f.G = From16(Load<uint16_t>(p + 2));
        f.B = From16(Load<uint16_t>(p + 2 * o.b));
        if (info.HasAlphaChannel)
            f.A = From16(Load<uint16_t>(p + 6));
        return f;
    }
    // A single floating-point channel is an intensity.
    case ifR32F: f.R = f.G = f.B = Load<float>(p); return f;
    case ifR16F: f.R = f.G = f.B = HalfToFloat(Load<uint16_t>(p)); return f;
    case ifA32R32G32B32F:
    case ifA32B32G32R32F: {
        const ChannelOrder o = OrderOf(info);
        f.R = Load<float>(p + 4 * o.r);
        f.G = Load<float>(p + 4);
        f.B = Load<float>(p + 4 * o.b);
        f.A = Load<float>(p + 12);
        return f;
    }
    case ifA16R16G16B16F:
    case ifA16B16G16R16F: {
        const ChannelOrder o = OrderOf(info);
        f.R = HalfToFloat(Load<uint16_t>(p + 2 * o.r));
        f.G = HalfToFloat(Load<uint16_t>(p + 2));
        f.B = HalfToFloat(Load<uint16_t>(p + 2 * o.b));
        f.A = HalfToFloat(Load<uint16_t>(p + 6));
        return f;
    }
    default: {
        const TColor32Rec c = GetPixel32(p, info, palette);
        f.A = From8(c.A);
        f.R = From8(c.R);
        f.G = From8(c.G);
        f.B = From8(c.B);
        return f;
    }
    }
}

void SetPixelFP(uint8_t* p, const TImageFormatInfo& info, const TColorFPRec& f)
{
    switch (info.Format) {
    case ifGray16: Store<uint16_t>(p, To16(GrayOfFP(f))); return;
    case ifA16Gray16:
        Store<uint16_t>(p, To16(GrayOfFP(f)));
        Store<uint16_t>(p + 2, To16(f.A));
        return;
    case ifGray32:
        Store<uint32_t>(p, static_cast<uint32_t>(std::llround(Clamp01(GrayOfFP(f)) * 4294967295.0)));
        return;
    case ifGray64: {
        // Scale through 32 bits and repeat: exact for 0 and 1, monotonic in between.
        const uint64_t v32 = static_cast<uint64_t>(std::llround(Clamp01(GrayOfFP(f)) * 4294967295.0));
        Store<uint64_t>(p, v32 * 0x100000001ull);
        return;
    }
    case ifR16G16B16:
    case ifA16R16G16B16:
    case ifB16G16R16:
    case ifA16B16G16R16: {
        const ChannelOrder o = OrderOf(info);
        Store<uint16_t>(p + 2 * o.r, To16(f.R));
        Store<uint16_t>(p + 2, To16(f.G));
        Store<uint16_t>(p + 2 * o.b, To16(f.B));
        if (info.HasAlphaChannel)
            Store<uint16_t>(p + 6, To16(f.A));
        return;
    }
    case ifR32F: Store<float>(p, GrayOfFP(f)); return;
    case ifR16F: Store<uint16_t>(p, FloatToHalf(GrayOfFP(f))); return;
    case ifA32R32G32B32F:
    case ifA32B32G32R32F: {
        const ChannelOrder o = OrderOf(info);
        Store<float>(p + 4 * o.r, f.R);
        Store<float>(p + 4, f.G);
        Store<float>(p + 4 * o.b, f.B);
        Store<float>(p + 12, f.A);
        return;
    }
    case ifA16R16G16B16F:
    case ifA16B16G16R16F: {
        const ChannelOrder o = OrderOf(info);
        Store<uint16_t>(p + 2 * o.r, FloatToHalf(f.R));
        Store<uint16_t>(p + 2, FloatToHalf(f.G));
        Store<uint16_t>(p + 2 * o.b, FloatToHalf(f.B));
        Store<uint16_t>(p + 6, FloatToHalf(f.A));
        return;
    }
    default: {
        TColor32Rec c;
        c.A = To8(f.A);
        c.R = To8(f.R);
        c.G = To8(f.G);
        c.B = To8(f.B);
        SetPixel32(p, info, c);
        return;
    }
    }
}

} // namespace imaging
