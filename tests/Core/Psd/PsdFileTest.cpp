#include "Core/Base/MemoryStream.h"
#include "Core/Psd/ImageFileInfo.h"
#include "Core/Psd/Psd.h"
#include "Core/Psd/PsdFile.h"
#include "Core/Psd/PsdFileLayer.h"

#include "tests/Core/Psd/ContainerTesting.h"

#include <gtest/gtest.h>

#include <memory>

using namespace containertest;

namespace
{

class PsdFileTest : public LayoutTest
{
protected:
    std::unique_ptr<file::PsdFile> Open(const psdtest::Document& doc)
    {
        WritePsd("layout.psd", doc);
        return std::make_unique<file::PsdFile>(L"layout.psd", mManager);
    }
};

TEST_F(PsdFileTest, GroupsBecomePathsFromTheTopDown)
{
    auto layout = Open(Layout({
        PixelLayer("top", 1, 2, 3, 4, 1),
        GroupOpen("a"),
        GroupOpen("b"),
        PixelLayer("c", 5, 6, 7, 8, 2, 128),
        GroupClose(),
        PixelLayer("d", 0, 0, 2, 2, 3),
        GroupClose(),
        PixelLayer("bottom", 9, 9, 1, 1, 4),
    }));

    EXPECT_EQ(Names(*layout), (std::vector<std::wstring>{L"top", L"a/b/c", L"a/d", L"bottom"}));
    EXPECT_EQ(layout->GetLayerCount(), 4u);
    file::PsdFileLayer* c = static_cast<file::PsdFileLayer*>(layout->FindLayer(L"a/b/c"));
    ASSERT_NE(c, nullptr);
    EXPECT_EQ(Rect(*c), (std::vector<int32_t>{5, 6, 7, 8}));
    EXPECT_EQ(c->mOpacity, 128u);
    EXPECT_EQ(c->mHasImage, 1);
    EXPECT_EQ(c->mRawPixels, 1);
    EXPECT_EQ(c->mAtlas, 0);
    EXPECT_EQ(c->mScaleFactor, 1.0f);
    // Records run bottom first: background 0, bottom 1, end of a 2, d 3,
    // end of b 4, c 5.
    EXPECT_EQ(c->mExtra, 5u);
    EXPECT_EQ(layout->FindLayer(L"bottom")->mExtra, 1u);
    EXPECT_EQ(layout->FindLayer(L"c"), nullptr);
    EXPECT_EQ(layout->FindLayer(L"a/b"), nullptr);
    EXPECT_EQ(layout->FindLayer(L"Background"), nullptr);
}

TEST_F(PsdFileTest, AStrayEndOfGroupChangesNothing)
{
    auto layout = Open(Layout({GroupClose(), PixelLayer("x", 0, 0, 1, 1), GroupClose(), PixelLayer("y", 0, 0, 1, 1)}));
    EXPECT_EQ(Names(*layout), (std::vector<std::wstring>{L"x", L"y"}));
}

TEST_F(PsdFileTest, TheBottomMostRecordIsNeverALayer)
{
    auto onlyBackground = Open(Layout({}));
    EXPECT_EQ(onlyBackground->GetLayerCount(), 0u);
    EXPECT_EQ(onlyBackground->GetLayer(0), nullptr);

    psdtest::Document flat = Layout({});
    flat.layerSection = false;
    auto flattened = Open(flat);
    ASSERT_NE(flattened->GetDocument(), nullptr);
    EXPECT_EQ(flattened->GetLayerCount(), 0u);
}

TEST_F(PsdFileTest, DuplicateNamesKeepTheUpperLayer)
{
    auto layout = Open(Layout({
        PixelLayer("twin", 1, 1, 2, 2, 10, 200),
        PixelLayer("other", 0, 0, 1, 1),
        PixelLayer("twin", 5, 5, 3, 3, 20, 100),
    }));
    EXPECT_EQ(layout->GetLayerCount(), 2u);
    base::ImageInfo* twin = layout->FindLayer(L"twin");
    ASSERT_NE(twin, nullptr);
    EXPECT_EQ(twin->mOpacity, 200u);
    EXPECT_EQ(Rect(*twin), (std::vector<int32_t>{1, 1, 2, 2}));
    EXPECT_EQ(layout->GetLayer(0), twin);
    EXPECT_EQ(layout->GetLayer(2), twin);
    EXPECT_EQ(layout->GetLayer(3), nullptr);
    EXPECT_EQ(layout->GetLayer(0xFFFFFFFFu), nullptr);

    std::unique_ptr<base::Stream> stream(layout->OpenLayerStream(L"twin"));
    ASSERT_NE(stream, nullptr);
    EXPECT_EQ(ReadPixels(stream.get()), ExpectedPixels(10, 2, 2));
}

TEST_F(PsdFileTest, BoxKeepsItsRectangleAndCenterBecomesAPoint)
{
    auto layout = Open(Layout({
        GroupOpen("menu"),
        PixelLayer("logo|box", 4, 6, 9, 7),
        GroupClose(),
        PixelLayer("pivot|center", 10, 10, 5, 3),
        PixelLayer("both|center|box", 2, 2, 4, 4),
    }));

    EXPECT_EQ(layout->FindLayer(L"logo|box"), nullptr);
    EXPECT_EQ(layout->FindLayer(L"menu/logo"), nullptr);
    base::ImageInfo* box = layout->FindLayer(L"menu/logo|box");
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(Rect(*box), (std::vector<int32_t>{4, 6, 9, 7}));
    EXPECT_EQ(box->mHasImage, 0);

    base::ImageInfo* pivot = layout->FindLayer(L"pivot|center");
    ASSERT_NE(pivot, nullptr);
    EXPECT_EQ(Rect(*pivot), (std::vector<int32_t>{12, 11, 0, 0}));
    EXPECT_EQ(pivot->mHasImage, 0);

    base::ImageInfo* both = layout->FindLayer(L"both|center|box");
    ASSERT_NE(both, nullptr);
    EXPECT_EQ(Rect(*both), (std::vector<int32_t>{2, 2, 4, 4}));
    EXPECT_EQ(both->mHasImage, 0);
}

TEST_F(PsdFileTest, RectanglesFollowTheApplicationsImageScale)
{
    ScaledApplication application(1.5f);
    auto layout = Open(Layout({PixelLayer("a", 3, 5, 7, 9), PixelLayer("p|center", 3, 5, 7, 9)}));
    EXPECT_EQ(Rect(*layout->FindLayer(L"a")), (std::vector<int32_t>{4, 7, 10, 13}));
    EXPECT_EQ(layout->FindLayer(L"a")->mScaleFactor, 1.5f);
    EXPECT_EQ(Rect(*layout->FindLayer(L"p|center")), (std::vector<int32_t>{9, 13, 0, 0}));
}

TEST_F(PsdFileTest, LayerStreamHoldsExactlyItsArgbWords)
{
    auto layout = Open(Layout({PixelLayer("a", 3, 4, 17, 9, 7), PixelLayer("b", 0, 0, 5, 5, 8)}));
    std::unique_ptr<base::Stream> stream(layout->OpenLayerStream(L"a"));
    ASSERT_NE(stream, nullptr);
    EXPECT_EQ(stream->GetSize(), 17u * 9u * 4u);
    EXPECT_EQ(ReadPixels(stream.get()), ExpectedPixels(7, 17, 9));

    // Little-endian words: blue first.
    stream->Seek(0, 0);
    uint8_t first[4];
    ASSERT_EQ(stream->Read(first, 4), 4u);
    const uint32_t word = PixelAt(7, 0, 0);
    EXPECT_EQ(first[0], word & 0xFF);
    EXPECT_EQ(first[3], word >> 24);

    EXPECT_EQ(layout->OpenLayerStream(L"missing"), nullptr);
}

TEST_F(PsdFileTest, AnEmptyLayerGivesAnEmptyStreamAndOneWithoutPixelsNone)
{
    psdtest::Layer empty;
    empty.name = "empty";
    auto layout = Open(Layout({empty, PixelLayer("a", 0, 0, 4, 4)}));
    std::unique_ptr<base::Stream> stream(layout->OpenLayerStream(L"empty"));
    ASSERT_NE(stream, nullptr);
    EXPECT_EQ(stream->GetSize(), 0u);

    PsdContext* document = layout->GetDocument();
    ASSERT_NE(document, nullptr);
    PsdLayerRecord& record = document->layers[1];
    uint32_t* pixels = record.pixels;
    record.pixels = nullptr;
    EXPECT_EQ(layout->OpenLayerStream(L"a"), nullptr);
    std::unique_ptr<file::ImageFileInfo> info(layout->GetImageInfo(L"a"));
    ASSERT_NE(info, nullptr);
    EXPECT_EQ(info->Open(), nullptr);
    record.pixels = pixels;
}

TEST_F(PsdFileTest, ImageInfoDescribesTheLayerAsAFile)
{
    auto layout = Open(Layout({GroupOpen("menu"), PixelLayer("play.in", 2, 3, 4, 5, 6, 77), GroupClose()}));
    const wchar_t* const extensions[] = {L"", L".dds", L".jpg", L".gif", L".png", L".tga"};
    uint32_t index = 99;
    std::unique_ptr<file::ImageFileInfo> info(layout->GetImageInfo(L"menu/play.in", extensions, 6, &index));
    ASSERT_NE(info, nullptr);
    EXPECT_EQ(index, 0u);
    EXPECT_EQ(info->GetName(), L"play");
    EXPECT_EQ(info->GetFullPath(), L"menu/play.in");
    EXPECT_EQ(info->GetContainer(), layout.get());
    EXPECT_EQ(info->GetFlag(), 1);
    EXPECT_EQ(static_cast<base::ImageInfo&>(*info).mName, L"menu/play.in");
    EXPECT_EQ(Rect(*info), (std::vector<int32_t>{2, 3, 4, 5}));
    EXPECT_EQ(info->mOpacity, 77u);
    EXPECT_EQ(info->mRawPixels, 1);

    std::unique_ptr<base::Stream> stream(info->Open());
    ASSERT_NE(stream, nullptr);
    EXPECT_EQ(ReadPixels(stream.get()), ExpectedPixels(6, 4, 5));

    // Through the file-container name, as the renderer asks.
    file::Container* container = layout.get();
    std::unique_ptr<file::FileInfo> file(container->GetFileInfo(L"menu/play.in"));
    ASSERT_NE(file, nullptr);
    EXPECT_NE(dynamic_cast<base::ImageInfo*>(file.get()), nullptr);

    EXPECT_EQ(layout->GetImageInfo(L"menu/missing", extensions, 6, &index), nullptr);
    EXPECT_EQ(layout->GetPath(), L"layout.psd/");
    EXPECT_EQ(container->GetRootPath(), L"layout.psd/");
}

TEST_F(PsdFileTest, OutIndexIsTheLastEmptyExtension)
{
    auto layout = Open(Layout({PixelLayer("a", 0, 0, 1, 1)}));
    const wchar_t* const twoEmpty[] = {L"", L".png", L".jpg", L""};
    const wchar_t* const noEmpty[] = {L".png", L".jpg"};
    uint32_t index = 99;
    std::unique_ptr<file::ImageFileInfo> info(layout->GetImageInfo(L"a", twoEmpty, 4, &index));
    EXPECT_EQ(index, 3u);
    index = 99;
    info.reset(layout->GetImageInfo(L"a", noEmpty, 2, &index));
    ASSERT_NE(info, nullptr);
    EXPECT_EQ(index, 99u);
    info.reset(layout->GetImageInfo(L"a", twoEmpty, 4, nullptr));
    EXPECT_NE(info, nullptr);
}

TEST_F(PsdFileTest, NamesAreReadAsUtf8WithBadBytesReplaced)
{
    auto layout = Open(Layout({
        PixelLayer("\xd0\xba\xd0\xbd\xd0\xbe\xd0\xbf\xd0\xba\xd0\xb0", 0, 0, 1, 1),
        PixelLayer("bad\xff", 0, 0, 1, 1),
        GroupOpen("grp\xc3"),
        PixelLayer("inner", 0, 0, 1, 1),
        GroupClose(),
    }));
    EXPECT_EQ(Names(*layout),
              (std::vector<std::wstring>{L"\u043a\u043d\u043e\u043f\u043a\u0430", L"bad\ufffd", L"grp\ufffd/inner"}));
}

TEST_F(PsdFileTest, UnreadableFilesGiveEmptyContainers)
{
    mFolder.Write("broken.psd", "8BPS is not enough");
    file::PsdFile broken(L"broken.psd", mManager);
    EXPECT_EQ(broken.GetDocument(), nullptr);
    EXPECT_EQ(broken.GetLayerCount(), 0u);
    EXPECT_EQ(broken.GetLayer(0), nullptr);
    EXPECT_EQ(broken.FindLayer(L""), nullptr);
    EXPECT_EQ(broken.OpenLayerStream(L""), nullptr);

    file::PsdFile missing(L"missing.psd", mManager);
    EXPECT_EQ(missing.GetLayerCount(), 0u);
}

TEST_F(PsdFileTest, FilesAreFoundWhateverTheirCase)
{
    WritePsd("Gui/Start.PSD", Layout({PixelLayer("a", 0, 0, 1, 1)}));
    file::PsdFile layout(L"gui/start.psd", mManager);
    EXPECT_EQ(layout.GetLayerCount(), 1u);
}

TEST_F(PsdFileTest, OnlyFoldersAnswerNameQueriesAndListings)
{
    auto layout = Open(Layout({GroupOpen("g"), GroupOpen("h"), PixelLayer("a", 0, 0, 1, 1), GroupClose(), GroupClose()}));
    ASSERT_NE(layout->FindLayer(L"g/h/a"), nullptr);
    EXPECT_FALSE(layout->HasLayer(L"g/h/a"));
    EXPECT_FALSE(layout->HasLayerImageFile(L"g/h/a"));
    EXPECT_FALSE(layout->HasSubfolders(L"g"));
    std::vector<std::wstring> names;
    EXPECT_EQ(layout->FindLayerNames(L"g", true, names, false), BW_OK);
    EXPECT_EQ(layout->FindGroupNames(L"", names, false), BW_OK);
    EXPECT_TRUE(names.empty());
    EXPECT_EQ(layout->CreateStreamCreator(L"g/h/a"), nullptr);
}

} // namespace
