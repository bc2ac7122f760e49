#pragma once

// Shared by the image-container tests: layouts written at test time, and the
// pixels they are expected to give.

#include "Core/App/Application.h"
#include "Core/Base/ImageInfo.h"
#include "Core/Base/MemoryStream.h"
#include "Core/Base/Stream.h"
#include "Core/File/FileContainer.h"
#include "Core/File/FileManager.h"
#include "Core/Psd/ImageContainer.h"
#include "tests/Core/Psd/PsdTesting.h"
#include "tests/Support/StubFileContainer.h"
#include "tests/Support/TempFolder.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace containertest
{

using psdtest::Bytes;

// The ARGB word a test layer holds at (x, y); the seed tells layers apart.
inline uint32_t PixelAt(uint32_t seed, size_t x, size_t y)
{
    return uint32_t((x * 29 + y * 7 + seed * 3 + 1) & 0xFF) << 24 | uint32_t((x * 7 + seed) & 0xFF) << 16 |
           uint32_t((y * 11 + seed * 5) & 0xFF) << 8 | uint32_t((x + y * 3 + seed * 13) & 0xFF);
}

inline std::vector<uint32_t> ExpectedPixels(uint32_t seed, size_t width, size_t height)
{
    std::vector<uint32_t> pixels;
    for (size_t i = 0; i < width * height; ++i)
        pixels.push_back(PixelAt(seed, i % width, i / width));
    return pixels;
}

// An RGB layer with transparency whose pixels are PixelAt(seed, ...),
// RLE-compressed as Photoshop writes them.
inline psdtest::Layer PixelLayer(const std::string& name, int32_t left, int32_t top, int32_t width, int32_t height,
                                 uint32_t seed = 0, uint8_t opacity = 255)
{
    psdtest::Layer layer = psdtest::PatternLayer(top, left, top + height, left + width, {-1, 0, 1, 2}, 8, 1, name);
    layer.opacity = opacity;
    for (int i = 0; i < 4; ++i)
        layer.channels[size_t(i)].samples = psdtest::MakePlane(
            size_t(width), size_t(height), 8, [&](size_t x, size_t y) { return PixelAt(seed, x, y) >> (24 - 8 * i); });
    return layer;
}

// The record that opens a group (its name becomes a path component) and the one that closes it.
inline psdtest::Layer GroupOpen(const std::string& name)
{
    return psdtest::Named(name, {psdtest::Block("lsct", psdtest::SectionDivider(1, "pass"))});
}
inline psdtest::Layer GroupClose()
{
    return psdtest::Named("</Layer group>", {psdtest::Block("lsct", psdtest::SectionDivider(3))});
}

// A 64 x 48 RGB document whose layers are given from the top down; the
// background record the containers never take is added at the bottom.
inline psdtest::Document Layout(std::vector<psdtest::Layer> topDown)
{
    psdtest::Document doc;
    doc.width = 64;
    doc.height = 48;
    doc.compression = 1;
    doc.layers.assign(topDown.rbegin(), topDown.rend());
    doc.layers.insert(doc.layers.begin(), PixelLayer("Background", 0, 0, 64, 48, 99));
    return doc;
}

// Every byte of a stream from its current position.
inline std::string ReadAll(base::Stream* stream)
{
    std::string bytes;
    char chunk[4096];
    for (uint32_t n; (n = stream->Read(chunk, sizeof chunk)) > 0;)
        bytes.append(chunk, n);
    return bytes;
}

inline std::vector<uint32_t> ReadPixels(base::Stream* stream)
{
    const std::string bytes = ReadAll(stream);
    std::vector<uint32_t> pixels(bytes.size() / 4);
    std::memcpy(pixels.data(), bytes.data(), pixels.size() * 4);
    return pixels;
}

inline std::vector<int32_t> Rect(const base::ImageInfo& l) { return {l.mX, l.mY, l.mWidth, l.mHeight}; }

// A layer in one line, for comparing: rectangle, opacity, index, image, raw
// pixels, atlas, scale and the atlas texture's offset and scale.
inline std::string Describe(const base::ImageInfo* layer)
{
    if (!layer)
        return "none";
    char text[200];
    std::snprintf(text, sizeof text, "%d,%d %dx%d o%u e%u image%d raw%d atlas%d scale%g tex %g %g %g %g", layer->mX,
                  layer->mY, layer->mWidth, layer->mHeight, layer->mOpacity, layer->mExtra, layer->mHasImage,
                  layer->mRawPixels, layer->mAtlas, double(layer->mScaleFactor), double(layer->mTexOffset[0]),
                  double(layer->mTexOffset[1]), double(layer->mTexScale[0]), double(layer->mTexScale[1]));
    return text;
}

// The layer names of a container in its order.
inline std::vector<std::wstring> Names(file::ImageContainer& container)
{
    std::vector<std::wstring> names;
    for (uint32_t i = 0; i < container.GetLayerCount(); ++i)
        names.push_back(container.GetLayer(i)->mName);
    return names;
}

// A container of one folder description held in memory. Its streams can be
// made to claim more bytes than they give, as a failing disk or a cut pack would.
class MemoryContainer : public testing_support::StubFileContainer
{
public:
    std::map<std::wstring, std::string> files;
    uint32_t missingBytes = 0;

    base::Stream* OpenStream(const std::wstring& path) override
    {
        auto file = files.find(path);
        return file == files.end() ? nullptr : new ShortStream(file->second, missingBytes);
    }
    std::wstring GetRootPath() override { return L"mem/"; }
    bool DoFileExists(const std::wstring& path, const wchar_t* const*, uint32_t, uint32_t*) override
    {
        return files.count(path) != 0;
    }

private:
    struct ShortStream : base::MemoryStream
    {
        ShortStream(const std::string& bytes, uint32_t missing)
            : base::MemoryStream(bytes.data(), uint32_t(bytes.size())), mMissing(missing)
        {
        }
        uint32_t GetSize() override { return base::MemoryStream::GetSize() + mMissing; }
        uint32_t mMissing;
    };
};

// An application whose image scale factor is not 1, installed for the fixture's lifetime.
class ScaledApplication : public app::Application
{
public:
    explicit ScaledApplication(float scale) : app::Application(true, false)
    {
        mImageScale = scale;
        base::Singletone<app::Application>::SetInstance(this);
    }
    ~ScaledApplication() override { base::Singletone<app::Application>::SetInstance(nullptr); }
};

// A fresh folder made the current directory, with the file manager's packs
// forgotten, its mount table empty and its layout scale 1.
class LayoutTest : public ::testing::Test
{
protected:
    LayoutTest() : mFolder(true), mManager(file::FileManager::Instance()) { Reset(); }
    ~LayoutTest() override { Reset(); }

    void Reset()
    {
        mManager->GetMountTable().clear();
        mManager->DropArchives();
        mManager->SetLayoutScale(1.0f);
    }

    void WritePsd(const std::string& relative, const psdtest::Document& doc)
    {
        const Bytes bytes = psdtest::WriteDocument(doc);
        mFolder.Write(relative, std::string(bytes.begin(), bytes.end()));
    }

    testing_support::TempFolder mFolder;
    file::FileManager* mManager;
};

} // namespace containertest
