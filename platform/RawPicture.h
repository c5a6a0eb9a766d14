// A picture decoded ahead of time, for the browser build, which has neither libpng nor libjpeg: "KRAWRGBA", the
// width and the height as four-byte little-endian numbers, then width x height RGBA pixels, row by row.
#pragma once
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

inline constexpr char RawPictureTag[8] = {'K', 'R', 'A', 'W', 'R', 'G', 'B', 'A'};
inline constexpr std::size_t RawPictureHeader = sizeof RawPictureTag + 8;

inline std::vector<std::uint8_t> EncodeRawPicture(int width, int height, const std::vector<std::uint8_t>& rgba) {
    std::vector<std::uint8_t> out(RawPictureTag, RawPictureTag + sizeof RawPictureTag);
    for (std::uint32_t value : {static_cast<std::uint32_t>(width), static_cast<std::uint32_t>(height)})
        for (int shift = 0; shift < 32; shift += 8) out.push_back(static_cast<std::uint8_t>(value >> shift));
    out.insert(out.end(), rgba.begin(), rgba.end());
    return out;
}

// The picture's size from its header; false unless the bytes are a whole raw picture of a sane size.
inline bool RawPictureSize(const unsigned char* data, std::size_t size, int& width, int& height) {
    constexpr std::uint32_t LargestSide = 16384;
    if (size < RawPictureHeader || std::memcmp(data, RawPictureTag, sizeof RawPictureTag) != 0) return false;
    auto number = [data](std::size_t at) {
        return static_cast<std::uint32_t>(data[at]) | static_cast<std::uint32_t>(data[at + 1]) << 8 |
               static_cast<std::uint32_t>(data[at + 2]) << 16 | static_cast<std::uint32_t>(data[at + 3]) << 24;
    };
    std::uint32_t w = number(sizeof RawPictureTag), h = number(sizeof RawPictureTag + 4);
    if (w == 0 || h == 0 || w > LargestSide || h > LargestSide) return false;
    std::size_t bytes = static_cast<std::size_t>(w) * h * 4;
    if (size - RawPictureHeader != bytes) return false;
    width = static_cast<int>(w);
    height = static_cast<int>(h);
    return true;
}

// False unless the bytes are a whole raw picture of a sane size.
inline bool DecodeRawPicture(const unsigned char* data, std::size_t size, int& width, int& height,
                             std::vector<std::uint8_t>& rgba) {
    if (!RawPictureSize(data, size, width, height)) return false;
    rgba.assign(data + RawPictureHeader, data + size);
    return true;
}
