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

// Groups become paths from the top down; "|box" keeps its rectangle and "|center" becomes a point; names are UTF-8
// with bad bytes replaced.
TEST_F(PsdFileTest, LayersAreNamedByTheirGroupsAndOptions)
{
    auto layout = Open(Layout({
        PixelLayer("top", 1, 2, 3, 4, 1),
        GroupOpen("a"),
        GroupOpen("b"),
        PixelLayer("c", 5, 6, 7, 8, 2, 128),
        PixelLayer("logo|box", 4, 6, 9, 7),
        GroupClose(),
        GroupClose(),
        PixelLayer("pivot|center", 10, 10, 5, 3),
        PixelLayer("both|center|box", 2, 2, 4, 4),
        PixelLayer("\xd0\xba\xd0\xbd\xd0\xbe\xd0\xbf\xd0\xba\xd0\xb0", 0, 0, 1, 1),
        GroupOpen("grp\xc3"),
        PixelLayer("bad\xff", 0, 0, 1, 1),
        GroupClose(),
        GroupClose(), // a stray end of group changes nothing
    }));
    EXPECT_EQ(Names(*layout),
              (std::vector<std::wstring>{L"top", L"a/b/c", L"a/b/logo|box", L"pivot|center", L"both|center|box",
                                         L"\u043a\u043d\u043e\u043f\u043a\u0430", L"grp\ufffd/bad\ufffd"}));
    // Records run bottom first: background 0, stray end 1, ... c 11.
    EXPECT_EQ(Describe(layout->FindLayer(L"a/b/c")), "5,6 7x8 o128 e11 image1 raw1 atlas0 scale1 tex 0 0 1 1");
    EXPECT_NE(dynamic_cast<file::PsdFileLayer*>(layout->FindLayer(L"a/b/c")), nullptr);
    for (const wchar_t* missing : {L"c", L"a/b", L"Background", L"logo|box", L"a/b/logo"})
        EXPECT_EQ(layout->FindLayer(missing), nullptr);
    EXPECT_EQ(layout->GetLayer(7), nullptr);
    EXPECT_EQ(layout->GetLayer(0xFFFFFFFFu), nullptr);
    const std::pair<const wchar_t*, std::vector<int32_t>> anchors[] = {
        {L"a/b/logo|box", {4, 6, 9, 7}}, {L"pivot|center", {12, 11, 0, 0}}, {L"both|center|box", {2, 2, 4, 4}}};
    for (const auto& [name, rect] : anchors)
    {
        ASSERT_NE(layout->FindLayer(name), nullptr);
        EXPECT_EQ(Rect(*layout->FindLayer(name)), rect);
        EXPECT_EQ(layout->FindLayer(name)->mHasImage, 0);
    }
}

TEST_F(PsdFileTest, DuplicatesPointAtTheUpperLayerAndTheBottomMostRecordIsNeverALayer)
{
    auto layout = Open(Layout(
        {PixelLayer("twin", 1, 1, 2, 2, 10, 200), PixelLayer("other", 0, 0, 1, 1), PixelLayer("twin", 5, 5, 3, 3)}));
    EXPECT_EQ(layout->GetLayerCount(), 2u);
    base::ImageInfo* twin = layout->FindLayer(L"twin");
    EXPECT_EQ(Describe(twin).substr(0, 12), "1,1 2x2 o200");
    EXPECT_EQ(layout->GetLayer(0), twin);
    EXPECT_EQ(layout->GetLayer(2), twin);
    EXPECT_EQ(layout->GetLayer(3), nullptr);
    std::unique_ptr<base::Stream> stream(layout->OpenLayerStream(L"twin"));
    ASSERT_NE(stream, nullptr);
    EXPECT_EQ(ReadPixels(stream.get()), ExpectedPixels(10, 2, 2));

    EXPECT_EQ(Open(Layout({}))->GetLayerCount(), 0u);
    psdtest::Document flat = Layout({});
    flat.layerSection = false;
    auto flattened = Open(flat);
    ASSERT_NE(flattened->GetDocument(), nullptr);
    EXPECT_EQ(flattened->GetLayerCount(), 0u);
    EXPECT_EQ(flattened->GetLayer(0), nullptr);
}

TEST_F(PsdFileTest, RectanglesFollowTheApplicationsImageScale)
{
    ScaledApplication application(1.5f);
    auto layout = Open(Layout({PixelLayer("a", 3, 5, 7, 9), PixelLayer("p|center", 3, 5, 7, 9)}));
    EXPECT_EQ(Describe(layout->FindLayer(L"a")).substr(0, 45), "4,7 10x13 o255 e2 image1 raw1 atlas0 scale1.5");
    EXPECT_EQ(Rect(*layout->FindLayer(L"p|center")), (std::vector<int32_t>{9, 13, 0, 0}));
}

TEST_F(PsdFileTest, LayerStreamHoldsExactlyItsArgbWordsAndAnEmptyLayerNone)
{
    psdtest::Layer empty;
    empty.name = "empty";
    auto layout = Open(Layout({PixelLayer("a", 3, 4, 17, 9, 7), PixelLayer("b", 0, 0, 5, 5, 8), empty}));
    std::unique_ptr<base::Stream> stream(layout->OpenLayerStream(L"a"));
    ASSERT_NE(stream, nullptr);
    EXPECT_EQ(stream->GetSize(), 17u * 9u * 4u);
    EXPECT_EQ(ReadPixels(stream.get()), ExpectedPixels(7, 17, 9));
    // Little-endian words: blue first.
    stream->Seek(0, 0);
    uint8_t first[4];
    ASSERT_EQ(stream->Read(first, 4), 4u);
    EXPECT_EQ(first[0], PixelAt(7, 0, 0) & 0xFF);
    EXPECT_EQ(first[3], PixelAt(7, 0, 0) >> 24);
    EXPECT_EQ(layout->OpenLayerStream(L"missing"), nullptr);

    // An empty layer gives an empty stream; a layer without pixels none.
    stream.reset(layout->OpenLayerStream(L"empty"));
    ASSERT_NE(stream, nullptr);
    EXPECT_EQ(stream->GetSize(), 0u);
    PsdLayerRecord& record = layout->GetDocument()->layers[2];
    uint32_t* pixels = record.pixels;
    record.pixels = nullptr;
    EXPECT_EQ(layout->OpenLayerStream(L"b"), nullptr);
    std::unique_ptr<file::ImageFileInfo> info(layout->GetImageInfo(L"b"));
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
    EXPECT_EQ(info->GetFlag(), 1);
    EXPECT_EQ(Describe(info.get()).substr(0, 31), "2,3 4x5 o77 e2 image1 raw1 atla");
    std::unique_ptr<base::Stream> stream(info->Open());
    ASSERT_NE(stream, nullptr);
    EXPECT_EQ(ReadPixels(stream.get()), ExpectedPixels(6, 4, 5));

    // Through the file-container name, as the renderer asks.
    file::Container* container = layout.get();
    std::unique_ptr<file::FileInfo> file(container->GetFileInfo(L"menu/play.in"));
    EXPECT_NE(dynamic_cast<base::ImageInfo*>(file.get()), nullptr);
    EXPECT_EQ(layout->GetImageInfo(L"menu/missing", extensions, 6, &index), nullptr);

    // The out index is the last empty extension, and untouched without one.
    const wchar_t* const twoEmpty[] = {L"", L".png", L".jpg", L""};
    const wchar_t* const noEmpty[] = {L".png", L".jpg"};
    info.reset(layout->GetImageInfo(L"menu/play.in", twoEmpty, 4, &index));
    EXPECT_EQ(index, 3u);
    info.reset(layout->GetImageInfo(L"menu/play.in", noEmpty, 2, &index));
    ASSERT_NE(info, nullptr);
    EXPECT_EQ(index, 3u);
    info.reset(layout->GetImageInfo(L"menu/play.in", twoEmpty, 4, nullptr));
    EXPECT_NE(info, nullptr);
}

TEST_F(PsdFileTest, UnreadableFilesGiveEmptyContainersAndNamesAreFoundWhateverTheirCase)
{
    mFolder.Write("broken.psd", "8BPS is not enough");
    file::PsdFile broken(L"broken.psd", mManager);
    EXPECT_EQ(broken.GetDocument(), nullptr);
    EXPECT_EQ(broken.GetLayerCount(), 0u);
    EXPECT_EQ(broken.GetLayer(0), nullptr);
    EXPECT_EQ(broken.FindLayer(L""), nullptr);
    EXPECT_EQ(broken.OpenLayerStream(L""), nullptr);
    EXPECT_EQ(file::PsdFile(L"missing.psd", mManager).GetLayerCount(), 0u);

    WritePsd("Gui/Start.PSD", Layout({PixelLayer("a", 0, 0, 1, 1)}));
    EXPECT_EQ(file::PsdFile(L"gui/start.psd", mManager).GetLayerCount(), 1u);
}

} // namespace
