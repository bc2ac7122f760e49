#include "Core/Render/ImageDataDevil.h"

#include "Core/Base/Stream.h"
#include "Core/Render/HitMask.h"
#include "Core/Render/ImageFileBmp.h"
#include "Core/Render/ImageFileCheck.h"
#include "Core/Render/ImageFileTga.h"

#include <IL/il.h>

#include <cstdlib>
#include <cstring>
#include <cwchar>
#include <exception>
#include <unordered_map>
#include <vector>

namespace render
{

namespace
{

const uint8_t kAlphaThreshold = 50; // at or above it a pixel is opaque for hit tests

// Images held between Open and Read. The library is set up when the first one
// appears and shut down when the last one goes, so that one image's Read
// cannot shut the library down under another.
int sLiveImages = 0;

// Every block the library holds, by the order it was made in. Its readers
// keep some of their buffers when a file fails to decode; those are given
// back by the engine.
std::unordered_map<void*, uint64_t>& LibraryBlocks()
{
    // Never destroyed: the library may free blocks as the process ends.
    static auto* blocks = new std::unordered_map<void*, uint64_t>();
    return *blocks;
}
uint64_t sBlocksMade = 0;
int sBlockFill = -1;

void* ILAPIENTRY AllocateBlock(const ILsizei size)
{
    void* block = std::malloc(size ? size : 1);
    if (!block)
        return nullptr;
    if (sBlockFill >= 0)
        std::memset(block, sBlockFill, size);
    try
    {
        LibraryBlocks().emplace(block, sBlocksMade++);
    }
    catch (const std::exception&)
    {
        std::free(block);
        return nullptr;
    }
    return block;
}

void ILAPIENTRY FreeBlock(const void* block)
{
    if (!block)
        return;
    LibraryBlocks().erase(const_cast<void*>(block));
    std::free(const_cast<void*>(block));
}

// Blocks made in [first, last) that the library still has after the image
// they were made for is gone: nothing holds them any more.
void FreeBlocksMadeBetween(uint64_t first, uint64_t last)
{
    auto& blocks = LibraryBlocks();
    for (auto it = blocks.begin(); it != blocks.end();)
    {
        if (it->second >= first && it->second < last)
        {
            std::free(it->first);
            it = blocks.erase(it);
        }
        else
        {
            ++it;
        }
    }
}

void AcquireLibrary()
{
    if (sLiveImages++ == 0)
    {
        ilSetMemory(AllocateBlock, FreeBlock);
        ilInit();
    }
}

void ReleaseLibrary()
{
    if (--sLiveImages == 0)
        ilShutDown();
}

void DrainErrors()
{
    // ilGetError hands out one queued error per call.
    for (int i = 0; i < 64 && ilGetError() != IL_NO_ERROR; ++i)
    {
    }
}

// The kind the structure check knows; false for extensions it does not.
bool FileKindOf(ILenum type, ImageFileKind* kind)
{
    switch (type)
    {
    case IL_GIF:
        *kind = ImageFileKind::Gif;
        return true;
    case IL_JPG:
        *kind = ImageFileKind::Jpg;
        return true;
    case IL_PNG:
        *kind = ImageFileKind::Png;
        return true;
    default:
        return false;
    }
}

// A colour-indexed image whose pixels all name an entry of its palette;
// DevIL's conversion looks the indices up unchecked.
bool IndicesFitPalette()
{
    if (ilGetInteger(IL_IMAGE_FORMAT) != IL_COLOUR_INDEX)
        return true;
    const ILint colours = ilGetInteger(IL_PALETTE_NUM_COLS);
    const ILint width = ilGetInteger(IL_IMAGE_WIDTH);
    const ILint height = ilGetInteger(IL_IMAGE_HEIGHT);
    const ILint depth = ilGetInteger(IL_IMAGE_DEPTH);
    const ILubyte* indices = ilGetData();
    if (colours <= 0 || width <= 0 || height <= 0 || depth <= 0 || !indices || !ilGetPalette() ||
        ilGetInteger(IL_IMAGE_BYTES_PER_PIXEL) != 1)
        return false;
    const size_t count = static_cast<size_t>(width) * static_cast<size_t>(height) * static_cast<size_t>(depth);
    for (size_t i = 0; i < count; ++i)
    {
        if (indices[i] >= colours)
            return false;
    }
    return true;
}

ILenum ImageType(const wchar_t* extension)
{
    if (!extension || extension[0] != L'.')
        return IL_TYPE_UNKNOWN;
    const wchar_t* type = extension + 1;
    if (std::wcsncmp(type, L"bmp", 3) == 0)
        return IL_BMP;
    if (std::wcsncmp(type, L"dds", 3) == 0)
        return IL_DDS;
    if (std::wcsncmp(type, L"gif", 3) == 0)
        return IL_GIF;
    if (std::wcsncmp(type, L"jpg", 3) == 0)
        return IL_JPG;
    if (std::wcsncmp(type, L"png", 3) == 0)
        return IL_PNG;
    if (std::wcsncmp(type, L"tga", 3) == 0)
        return IL_TGA;
    return IL_TYPE_UNKNOWN;
}

} // namespace

ImageDataDevil::ImageDataDevil() : mStream(nullptr), mFlip(0), mPixels(nullptr), mImageName(0), mHoldsImage(0)
{
}

ImageDataDevil::~ImageDataDevil()
{
    DeleteImage();
}

int ImageDataDevil::GetLiveImageCount()
{
    return sLiveImages;
}

void ImageDataDevil::FillLibraryBlocks(int byte)
{
    sBlockFill = byte;
}

void ImageDataDevil::DeleteImage()
{
    mDecoded.clear();
    mPixels = nullptr;
    if (!mHoldsImage)
        return;
    const ILuint name = mImageName;
    ilDeleteImages(1, &name);
    mHoldsImage = 0;
    mPixels = nullptr;
    ReleaseLibrary();
}

BWResultEnum ImageDataDevil::Open(base::Stream* stream, const wchar_t* extension)
{
    DeleteImage();
    mStream = stream;
    mExtension = extension ? extension : L"";
    if (!stream)
        return BW_FAIL;

    std::vector<uint8_t> buffer;
    try
    {
        buffer.resize(stream->GetSize());
    }
    catch (const std::exception&)
    {
        return BW_FAIL;
    }
    if (buffer.empty() || stream->Read(buffer.data(), static_cast<uint32_t>(buffer.size())) != buffer.size())
        return BW_FAIL;
    const ILenum type = ImageType(extension);
    if (type == IL_BMP || type == IL_TGA)
        return OpenDecoded(type == IL_BMP, buffer);
    // DevIL trusts the file's structure; it sees only files that hold together.
    ImageFileKind kind;
    size_t length = FileKindOf(type, &kind) ? ImageFileCheck::SoundLength(kind, buffer.data(), buffer.size()) : 0;
    if (length == 0)
        return BW_FAIL;
    if (type == IL_GIF)
    {
        // Only the first image is handed on, closed by a trailer.
        if (length == buffer.size())
            buffer.push_back(0x3B);
        else
            buffer[length] = 0x3B;
        ++length;
    }

    AcquireLibrary();
    ILuint name = 0;
    ilGenImages(1, &name);
    mImageName = name;
    mHoldsImage = 1;
    ilBindImage(name);

    // An error left over from an earlier image must not fail this one.
    DrainErrors();
    const uint64_t firstBlock = sBlocksMade;
    const ILboolean loaded = ilLoadL(type, buffer.data(), static_cast<ILuint>(length));
    if (!loaded || ilGetError() != IL_NO_ERROR || !IndicesFitPalette() || !ilConvertImage(IL_RGBA, IL_UNSIGNED_BYTE) ||
        ilGetError() != IL_NO_ERROR)
    {
        const uint64_t lastBlock = sBlocksMade;
        DeleteImage();
        FreeBlocksMadeBetween(firstBlock, lastBlock);
        return BW_FAIL;
    }
    const ILint width = ilGetInteger(IL_IMAGE_WIDTH);
    const ILint height = ilGetInteger(IL_IMAGE_HEIGHT);
    const ILint bytesPerPixel = ilGetInteger(IL_IMAGE_BYTES_PER_PIXEL);
    const ILint origin = ilGetInteger(IL_IMAGE_ORIGIN);
    const ILubyte* pixels = ilGetData();
    if (ilGetError() != IL_NO_ERROR || width <= 0 || height <= 0 || !pixels ||
        (bytesPerPixel != 3 && bytesPerPixel != 4))
    {
        DeleteImage();
        return BW_FAIL;
    }
    mWidth = width;
    mHeight = height;
    mBytesPerPixel = static_cast<uint32_t>(bytesPerPixel);
    mFlip = origin == IL_ORIGIN_LOWER_LEFT ? 1 : 0;
    mPixels = pixels;
    return BW_OK;
}

BWResultEnum ImageDataDevil::OpenDecoded(bool bmp, const std::vector<uint8_t>& file)
{
    ImageFilePixels decoded;
    const bool sound = bmp ? ImageFileBmp::Decode(file.data(), file.size(), &decoded)
                           : ImageFileTga::Decode(file.data(), file.size(), &decoded);
    if (!sound)
        return BW_FAIL;
    mDecoded = std::move(decoded.rgba);
    mWidth = static_cast<int32_t>(decoded.width);
    mHeight = static_cast<int32_t>(decoded.height);
    mBytesPerPixel = 4;
    mFlip = 0;
    mPixels = mDecoded.data();
    return BW_OK;
}

BWResultEnum ImageDataDevil::Read(uint32_t pitch, uint32_t level, void* bits, HitMask* mask, uint32_t unused)
{
    (void)unused;
    if (!mPixels || !bits || level != 0 || pitch < static_cast<uint64_t>(mWidth) * 4)
    {
        DeleteImage();
        return BW_FAIL;
    }
    const uint32_t width = static_cast<uint32_t>(mWidth);
    const uint32_t height = static_cast<uint32_t>(mHeight);
    const bool fillMask = mask && mask->GetWidth() == width && mask->GetHeight() == height;
    const size_t sourcePitch = static_cast<size_t>(width) * mBytesPerPixel;
    uint8_t* row = static_cast<uint8_t*>(bits);
    for (uint32_t y = 0; y < height; ++y, row += pitch)
    {
        // Bottom-up images are stored top-down.
        const uint32_t sourceRow = mFlip ? height - 1 - y : y;
        const uint8_t* source = mPixels + sourcePitch * sourceRow;
        for (uint32_t x = 0; x < width; ++x, source += mBytesPerPixel)
        {
            const uint32_t alpha = mBytesPerPixel == 4 ? source[3] : 255u;
            const uint32_t argb = alpha << 24 | static_cast<uint32_t>(source[0]) << 16 |
                                  static_cast<uint32_t>(source[1]) << 8 | source[2];
            std::memcpy(row + 4 * static_cast<size_t>(x), &argb, 4);
            if (fillMask)
                mask->Set(x + static_cast<uint64_t>(width) * y, alpha >= kAlphaThreshold);
        }
    }
    DeleteImage();
    return BW_OK;
}

} // namespace render
