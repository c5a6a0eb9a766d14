// The browser build's pictures: decoded at build time by tools/web's resource tool into the raw form, unpacked here.
#include "platform/ImageDecode.h"
#include "platform/RawPicture.h"

bool DecodePicture(const unsigned char* data, std::size_t size, DecodedPicture& out) {
    return DecodeRawPicture(data, size, out.Width, out.Height, out.Rgba);
}

bool PictureSize(const unsigned char* data, std::size_t size, int& width, int& height) {
    return RawPictureSize(data, size, width, height);
}
