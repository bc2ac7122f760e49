#include "Core/Psd/PsdReader.h"

#include <csetjmp>
#include <cstring>

#include <jpeglib.h>

namespace
{

// libjpeg reports fatal errors by calling error_exit, which must not return:
// it jumps back into DecodeJpeg. Nothing with a destructor lives between the
// setjmp and the jump.
struct JpegErrors
{
    jpeg_error_mgr manager;
    jmp_buf jump;
};

void ExitOnError(j_common_ptr info)
{
    longjmp(reinterpret_cast<JpegErrors*>(info->err)->jump, 1);
}

void IgnoreMessage(j_common_ptr)
{
    // The reader never logs; warnings are counted and judged afterwards.
}

// Writes one decoded scanline as opaque ARGB.
void PackRow(const uint8_t* row, J_COLOR_SPACE space, bool adobe, uint32_t width, uint32_t* out)
{
    for (uint32_t x = 0; x < width; ++x)
    {
        switch (space)
        {
        case JCS_GRAYSCALE:
            out[x] = PsdMakeRgb(row[x], row[x], row[x]);
            break;
        case JCS_CMYK:
        {
            const uint8_t* p = row + 4 * x;
            const int k = p[3];
            int rgb[3];
            for (int i = 0; i < 3; ++i)
                rgb[i] = adobe ? p[i] * k / 255 : (255 - p[i]) * (255 - k) / 255;
            out[x] = PsdMakeRgb(rgb[0], rgb[1], rgb[2]);
            break;
        }
        default:
            out[x] = PsdMakeRgb(row[3 * x], row[3 * x + 1], row[3 * x + 2]);
            break;
        }
    }
}

// Decodes a whole JPEG image of exactly width x height pixels. Any error or
// warning (a truncated stream among them) fails it.
bool DecodeJpeg(const uint8_t* data, size_t size, uint32_t width, uint32_t height, uint8_t* row,
                uint32_t* pixels)
{
    jpeg_decompress_struct info;
    JpegErrors errors;
    info.err = jpeg_std_error(&errors.manager);
    errors.manager.error_exit = ExitOnError;
    errors.manager.output_message = IgnoreMessage;
    if (setjmp(errors.jump))
    {
        jpeg_destroy_decompress(&info);
        return false;
    }
    jpeg_create_decompress(&info);
    jpeg_mem_src(&info, data, static_cast<unsigned long>(size));
    if (jpeg_read_header(&info, TRUE) != JPEG_HEADER_OK || info.image_width != width ||
        info.image_height != height)
    {
        jpeg_destroy_decompress(&info);
        return false;
    }
    switch (info.jpeg_color_space)
    {
    case JCS_GRAYSCALE:
        info.out_color_space = JCS_GRAYSCALE;
        break;
    case JCS_RGB:
    case JCS_YCbCr:
        info.out_color_space = JCS_RGB;
        break;
    case JCS_CMYK:
    case JCS_YCCK:
        info.out_color_space = JCS_CMYK;
        break;
    default:
        jpeg_destroy_decompress(&info);
        return false;
    }
    info.do_fancy_upsampling = FALSE;
    info.do_block_smoothing = FALSE;
    jpeg_start_decompress(&info);
    const bool adobe = info.saw_Adobe_marker;
    while (info.output_scanline < info.output_height)
    {
        JSAMPROW rows[1] = {row};
        if (jpeg_read_scanlines(&info, rows, 1) != 1)
            break;
        PackRow(row, info.out_color_space, adobe, width,
                pixels + size_t(info.output_scanline - 1) * width);
    }
    const bool complete = info.output_scanline == info.output_height;
    if (complete)
        jpeg_finish_decompress(&info);
    const bool clean = complete && errors.manager.num_warnings == 0;
    jpeg_destroy_decompress(&info);
    return clean;
}

} // namespace

PsdStatus PsdSkipThumbnailRaw(uint32_t** pixels, uint32_t compressedSize, PsdContext* context)
{
    *pixels = nullptr;
    // The resource's end is skipped to anyway; a size past it is not followed.
    if (int64_t(compressedSize) <= PsdBytesLeft(context))
        PsdSkipBytes(context, compressedSize);
    return kPsdOk;
}

PsdStatus PsdReadThumbnailJpeg(uint32_t** pixels, uint32_t compressedSize, PsdContext* context)
{
    *pixels = nullptr;
    const uint32_t width = context->thumbnailWidth;
    const uint32_t height = context->thumbnailHeight;
    if (compressedSize == 0 || int64_t(compressedSize) > PsdBytesLeft(context) || width == 0 ||
        height == 0 || width > kPsdMaxThumbnailSide || height > kPsdMaxThumbnailSide)
        return kPsdBadThumbnail;

    void* data = nullptr;
    void* row = nullptr;
    void* out = nullptr;
    PsdStatus status = PsdAllocArray(context, compressedSize, 1, &data);
    if (status == kPsdOk)
        status = PsdAllocArray(context, width, 4, &row);
    if (status == kPsdOk)
        status = PsdAllocArray(context, uint64_t(width) * height, sizeof(uint32_t), &out);
    if (status == kPsdOk)
    {
        if (PsdReadBytes(context, data, compressedSize) != int64_t(compressedSize) ||
            !DecodeJpeg(static_cast<uint8_t*>(data), compressedSize, width, height,
                        static_cast<uint8_t*>(row), static_cast<uint32_t*>(out)))
            status = kPsdBadThumbnail;
    }
    PsdFreeArray(context, data, compressedSize);
    PsdFreeArray(context, row, uint64_t(width) * 4);
    if (status != kPsdOk)
    {
        PsdFreeArray(context, out, uint64_t(width) * height * sizeof(uint32_t));
        return status;
    }
    *pixels = static_cast<uint32_t*>(out);
    return kPsdOk;
}
