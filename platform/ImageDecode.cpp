// PNG through libpng's simplified API, JPEG through libjpeg-turbo, both from memory, always to RGBA.
#include "ImageDecode.h"
#include <csetjmp>
#include <cstdio>
#include <cstring>
#include <jpeglib.h>
#include <png.h>

namespace {
bool DecodePng(const unsigned char* data, std::size_t size, DecodedPicture& out) {
    png_image image;
    std::memset(&image, 0, sizeof image);
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_memory(&image, data, size)) return false;
    image.format = PNG_FORMAT_RGBA;
    out.Width = static_cast<int>(image.width);
    out.Height = static_cast<int>(image.height);
    out.Rgba.resize(PNG_IMAGE_SIZE(image));
    if (!png_image_finish_read(&image, nullptr, out.Rgba.data(), 0, nullptr)) {
        png_image_free(&image);
        return false;
    }
    return true;
}

struct JpegError {
    jpeg_error_mgr Manager;
    std::jmp_buf Jump;
};

void JpegFail(j_common_ptr info) {
    auto* error = reinterpret_cast<JpegError*>(info->err);
    std::longjmp(error->Jump, 1);
}

void JpegQuiet(j_common_ptr, int) {}

bool DecodeJpeg(const unsigned char* data, std::size_t size, DecodedPicture& out) {
    jpeg_decompress_struct info;
    JpegError error;
    info.err = jpeg_std_error(&error.Manager);
    error.Manager.error_exit = JpegFail;
    error.Manager.emit_message = JpegQuiet;
    if (setjmp(error.Jump)) {
        jpeg_destroy_decompress(&info);
        return false;
    }
    jpeg_create_decompress(&info);
    jpeg_mem_src(&info, data, static_cast<unsigned long>(size));
    if (jpeg_read_header(&info, TRUE) != JPEG_HEADER_OK) {
        jpeg_destroy_decompress(&info);
        return false;
    }
    info.out_color_space = JCS_EXT_RGBA;
    jpeg_start_decompress(&info);
    out.Width = static_cast<int>(info.output_width);
    out.Height = static_cast<int>(info.output_height);
    out.Rgba.assign(static_cast<std::size_t>(out.Width) * out.Height * 4, 0);
    while (info.output_scanline < info.output_height) {
        JSAMPROW row = out.Rgba.data() + static_cast<std::size_t>(info.output_scanline) * out.Width * 4;
        jpeg_read_scanlines(&info, &row, 1);
    }
    jpeg_finish_decompress(&info);
    jpeg_destroy_decompress(&info);
    return true;
}

bool PngSize(const unsigned char* data, std::size_t size, int& width, int& height) {
    png_image image;
    std::memset(&image, 0, sizeof image);
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_memory(&image, data, size)) return false;
    width = static_cast<int>(image.width);
    height = static_cast<int>(image.height);
    png_image_free(&image);
    return true;
}

bool JpegSize(const unsigned char* data, std::size_t size, int& width, int& height) {
    jpeg_decompress_struct info;
    JpegError error;
    info.err = jpeg_std_error(&error.Manager);
    error.Manager.error_exit = JpegFail;
    error.Manager.emit_message = JpegQuiet;
    if (setjmp(error.Jump)) {
        jpeg_destroy_decompress(&info);
        return false;
    }
    jpeg_create_decompress(&info);
    jpeg_mem_src(&info, data, static_cast<unsigned long>(size));
    bool read = jpeg_read_header(&info, TRUE) == JPEG_HEADER_OK;
    width = static_cast<int>(info.image_width);
    height = static_cast<int>(info.image_height);
    jpeg_destroy_decompress(&info);
    return read;
}

bool IsPng(const unsigned char* data, std::size_t size) {
    static const unsigned char PngSignature[8] = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};
    return size >= 8 && std::memcmp(data, PngSignature, 8) == 0;
}

bool IsJpeg(const unsigned char* data, std::size_t size) {
    return size >= 3 && data[0] == 0xFF && data[1] == 0xD8 && data[2] == 0xFF;
}
} // namespace

bool PictureSize(const unsigned char* data, std::size_t size, int& width, int& height) {
    if (IsPng(data, size)) return PngSize(data, size, width, height);
    if (IsJpeg(data, size)) return JpegSize(data, size, width, height);
    return false;
}

bool DecodePicture(const unsigned char* data, std::size_t size, DecodedPicture& out) {
    if (IsPng(data, size)) return DecodePng(data, size, out);
    if (IsJpeg(data, size)) return DecodeJpeg(data, size, out);
    return false;
}
