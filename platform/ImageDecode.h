// Decoding the built-in PNG and JPEG pictures to RGBA.
#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

struct DecodedPicture {
    int Width = 0;
    int Height = 0;
    std::vector<std::uint8_t> Rgba;
};

bool DecodePicture(const unsigned char* data, std::size_t size, DecodedPicture& out);
// Only the picture's size, from its header: no texel is decoded.
bool PictureSize(const unsigned char* data, std::size_t size, int& width, int& height);
