#include "Core/Base/StreamCreator.h"
#include "Core/Psd/ImageFileInfo.h"
#include "Core/Psd/PsdFolder.h"

#include "tests/Core/Psd/ContainerTesting.h"

#include <gtest/gtest.h>

#include <memory>

using namespace containertest;

namespace
{

const wchar_t* const kTextureExtensions[] = {L"", L".dds", L".jpg", L".gif", L".png", L".tga"};

class PsdFolderTest : public LayoutTest
{
protected:
    // A folder "ui" whose description holds the given "Layer" elements.
    std::unique_ptr<file::PsdFolder> Open(const std::string& layers)
    {
        return OpenXml("<?xml version=\"1.0\" encoding=\"utf-8\"?>\n<Layers>\n" + layers + "</Layers>\n");
    }
    std::unique_ptr<file::PsdFolder> OpenXml(const std::string& xml)
    {
        mFolder.Write("ui/layers.xml", xml);
        return std::make_unique<file::PsdFolder>(L"ui", mManager);
    }
};

// Layers come in description order with their attributes; missing or
// unreadable ones take defaults, out-of-range numbers are unreadable, the
// opacity is clamped; atlas regions measure v from the bottom; a later
// duplicate is counted but its atlas lands on the first; names must be UTF-8.
TEST_F(PsdFolderTest, LayersTakeTheirAttributesOrDefaults)
{
    auto layout = Open(
        "<Layer name=\"bg\" x=\"1\" y=\"2\" width=\"64\" height=\"48\" opacity=\"200\" ind=\"7\"/>\n"
        "<Layer name=\"none\"/>\n"
        "<Layer name=\"bad\xff\"/>\n<Layer name=\"atlas\" atlas=\"\xc3(\"/>\n"
        "<Layer name=\"junk\" x=\"abc\" y=\"12px\" width=\"\" height=\" 8 \" opacity=\"300\" ind=\"-1\"/>\n"
        "<Layer name=\"range\" x=\"99999999999\" y=\"-2147483648\" width=\"1.5\" opacity=\"-4\" ind=\"x\"/>\n"
        "<Layer name=\"a\" atlas=\"atlas.png\" tu1=\"0\" tv1=\"0.5\" tu2=\"0.5\" tv2=\"1\"/>\n"
        "<Layer name=\"b\" atlas=\"sub/atlas.png\" tu1=\"0.25\" tv1=\"0.125\" tu2=\"1\" tv2=\"0.375\"/>\n"
        "<Layer name=\"c\" atlas=\"atlas.png\" tu2=\"0.5\" tv1=\"oops\"/>\n"
        "<Layer name=\"d\" atlas=\"t.png\" tu1=\"nan\" tv1=\"1e300\" tu2=\"inf\" tv2=\"-1e39\"/>\n"
        "<Layer name=\"\xd0\xbc\xd0\xb5\xd0\xbd\xd1\x8e\"/>\n<Layer name=\"&lt;ok&gt;\"/>\n"
        "<Layer name=\"bg\" x=\"2\" atlas=\"atlas.png\" tu1=\"0.25\" tv1=\"0\" tu2=\"0.5\" tv2=\"0.5\"/>\n");
    EXPECT_EQ(Names(*layout), (std::vector<std::wstring>{L"bg", L"none", L"junk", L"range", L"a", L"b", L"c", L"d",
                                                         L"\u043c\u0435\u043d\u044e", L"<ok>", L"bg"}));
    const std::pair<const wchar_t*, const char*> expected[] = {
        {L"bg", "1,2 64x48 o200 e7 image1 raw0 atlas1 scale1 tex 0.25 0.5 0.25 0.5"},
        {L"none", "0,0 0x0 o255 e0 image1 raw0 atlas0 scale1 tex 0 0 1 1"},
        {L"junk", "0,0 0x8 o255 e4294967295 image1 raw0 atlas0 scale1 tex 0 0 1 1"},
        {L"range", "0,-2147483648 0x0 o0 e0 image1 raw0 atlas0 scale1 tex 0 0 1 1"},
        {L"a", "0,0 0x0 o255 e0 image1 raw0 atlas1 scale1 tex 0 0 0.5 0.5"},
        {L"b", "0,0 0x0 o255 e0 image1 raw0 atlas1 scale1 tex 0.25 0.625 0.75 0.25"},
        // Missing, unreadable or infinite coordinates span the whole texture.
        {L"c", "0,0 0x0 o255 e0 image1 raw0 atlas1 scale1 tex 0 0 0.5 1"},
        {L"d", "0,0 0x0 o255 e0 image1 raw0 atlas1 scale1 tex 0 0 1 1"},
    };
    for (const auto& [name, description] : expected)
        EXPECT_EQ(Describe(layout->FindLayer(name)), description);
    EXPECT_EQ(layout->FindLayer(L"a")->mAtlasPath, L"ui/atlas.png");
    EXPECT_EQ(layout->FindLayer(L"b")->mAtlasPath, L"ui/sub/atlas.png");
    EXPECT_EQ(layout->GetLayer(10), layout->FindLayer(L"bg"));
    EXPECT_EQ(layout->FindLayer(L"Bg"), nullptr);
    EXPECT_EQ(layout->GetLayer(11), nullptr);
    EXPECT_EQ(layout->GetLayer(0xFFFFFFFFu), nullptr);
}

TEST_F(PsdFolderTest, LayoutScaleThenImageScaleTruncateTowardZeroAndSaturate)
{
    const std::string layer = "<Layer name=\"a\" x=\"10\" y=\"20\" width=\"30\" height=\"40\"/>\n"
                              "<Layer name=\"far\" x=\"2000000000\" y=\"-2000000000\"/>\n";
    mManager->SetLayoutScale(0.75f);
    EXPECT_EQ(Rect(*Open(layer)->FindLayer(L"a")), (std::vector<int32_t>{7, 15, 22, 30}));
    ScaledApplication application(1.5f);
    EXPECT_EQ(Rect(*Open(layer)->FindLayer(L"a")), (std::vector<int32_t>{10, 22, 33, 45}));
    mManager->SetLayoutScale(1.0f);
    EXPECT_EQ(Rect(*Open(layer)->FindLayer(L"far")), (std::vector<int32_t>{INT32_MAX, INT32_MIN, 0, 0}));
}

TEST_F(PsdFolderTest, BrokenMissingOrShortDescriptionsGiveEmptyContainers)
{
    // A layer without name ends the list; only the first root's children are read.
    auto layout = OpenXml("<Layers><Layer name=\"a\"><Layer name=\"nested\"/></Layer><Other name=\"skipped\"/>"
                          "<Group><Layer name=\"inside\"/></Group><Layer name=\"b\"/><Layer x=\"1\"/>"
                          "<Layer name=\"c\"/>"
                          "</Layers><Layers><Layer name=\"second\"/></Layers>");
    EXPECT_EQ(Names(*layout), (std::vector<std::wstring>{L"a", L"b"}));
    for (const char* xml : {"", "not xml at all", "<Layers><Layer name=\"a\"/>", "<Layers><Layer name=\"a\"></Layers>",
                            "<Layer name=\"a\"/>", "<Root><Layers><Layer name=\"a\"/></Layers></Root>",
                            "<?xml version=\"1.0\"?>", "<Layers><Layer name=\"a\" name=\"b\"/></Layers>"})
    {
        layout = OpenXml(xml);
        EXPECT_EQ(layout->GetLayerCount(), 0u) << xml;
        EXPECT_EQ(layout->GetLayer(0), nullptr) << xml;
        EXPECT_EQ(layout->FindLayer(L"a"), nullptr) << xml;
    }
    EXPECT_EQ(file::PsdFolder(L"nowhere", mManager).GetLayerCount(), 0u);
    file::PsdFolder ownerless(L"ui", nullptr);
    EXPECT_EQ(ownerless.GetLayerCount(), 0u);
    EXPECT_EQ(ownerless.OpenLayerStream(L"a"), nullptr);

    MemoryContainer memory;
    memory.files[L"ui/layers.xml"] = "<Layers><Layer name=\"a\"/></Layers>";
    EXPECT_EQ(file::PsdFolder(L"ui", &memory).GetLayerCount(), 1u);
    memory.missingBytes = 1;
    EXPECT_EQ(file::PsdFolder(L"ui", &memory).GetLayerCount(), 0u);
}

TEST_F(PsdFolderTest, NameQueriesOfLayersAndGroups)
{
    // HasLayer looks for the lower-case name; subfolders are groups holding groups.
    auto layout = Open("<Layer name=\"title\"/>\n<Layer name=\"Title\"/>\n<Layer name=\"menu/play\"/>\n"
                       "<Layer name=\"menu/extra/icon\"/>\n<Layer name=\"top\"/>\n<Layer name=\"Menu/upper\"/>\n");
    EXPECT_TRUE(layout->HasLayer(L"Title") && layout->HasLayer(L"title"));
    EXPECT_FALSE(layout->HasLayer(L"Menu/upper") || layout->HasLayer(L"other"));
    EXPECT_TRUE(layout->HasSubfolders(L"menu") && layout->HasSubfolders(L"Menu\\") && layout->HasSubfolders(L""));
    EXPECT_FALSE(layout->HasSubfolders(L"menu/extra") || layout->HasSubfolders(L"men"));

    std::vector<std::wstring> names;
    layout->FindLayerNames(L"menu", false, names, false);
    EXPECT_EQ(names, (std::vector<std::wstring>{L"menu/play"}));
    layout->FindLayerNames(L"MENU/", true, names, false);
    EXPECT_EQ(names, (std::vector<std::wstring>{L"menu/play", L"menu/play", L"menu/extra/icon"}));
    names.clear();
    layout->FindLayerNames(L"menu", true, names, true);
    layout->FindLayerNames(L"", false, names, true);
    EXPECT_EQ(names, (std::vector<std::wstring>{L"play", L"extra/icon", L"title", L"Title", L"top"}));

    layout = Open("<Layer name=\"c\"/>\n<Layer name=\"b/z\"/>\n<Layer name=\"a/x\"/>\n<Layer name=\"a/y\"/>\n"
                  "<Layer name=\"d/b/x\"/>\n<Layer name=\"d/b/y\"/>\n<Layer name=\"d/c\"/>\n");
    names.clear();
    layout->FindGroupNames(L"", names, false);
    layout->FindGroupNames(L"d", names, false);
    layout->FindGroupNames(L"d", names, true);
    EXPECT_EQ(names, (std::vector<std::wstring>{L"a", L"b", L"d", L"d/b", L"b"}));
}

TEST_F(PsdFolderTest, ImageFilesAreLookedUpByExtensionAndStreamedByTheOwner)
{
    mFolder.Write("ui/menu/play.png", "png bytes");
    auto layout = Open("<Layer name=\"menu/play\" x=\"3\"/>\n<Layer name=\"menu/gone\"/>\n"
                       "<Layer name=\"packed\" atlas=\"atlas.png\"/>\n");
    uint32_t index = 99;
    std::unique_ptr<file::ImageFileInfo> info(layout->GetImageInfo(L"menu/play", kTextureExtensions, 6, &index));
    ASSERT_NE(info, nullptr);
    EXPECT_EQ(index, 4u);
    EXPECT_EQ(info->GetName(), L"play");
    EXPECT_EQ(info->GetFullPath(), L"menu/play.png");
    EXPECT_EQ(info->GetFlag(), 0);
    EXPECT_EQ(info->mX, 3);
    std::unique_ptr<base::Stream> stream(info->Open());
    ASSERT_NE(stream, nullptr);
    EXPECT_EQ(ReadAll(stream.get()), "png bytes");

    EXPECT_TRUE(layout->HasLayerImageFile(L"menu/play"));
    EXPECT_FALSE(layout->HasLayerImageFile(L"menu/gone"));
    index = 99;
    EXPECT_EQ(layout->GetImageInfo(L"menu/gone", kTextureExtensions, 6, &index), nullptr);
    EXPECT_EQ(layout->GetImageInfo(L"missing", kTextureExtensions, 6, &index), nullptr);

    // Atlas layers and calls without extensions look for no file.
    info.reset(layout->GetImageInfo(L"packed", kTextureExtensions, 6, &index));
    ASSERT_NE(info, nullptr);
    EXPECT_EQ(index, 99u);
    EXPECT_EQ(info->GetFullPath(), L"packed");
    EXPECT_EQ(info->mAtlas, 1);
    info.reset(layout->GetImageInfo(L"menu/gone"));
    ASSERT_NE(info, nullptr);
    EXPECT_EQ(info->GetFullPath(), L"menu/gone");

    // Streams by file name come from the owner.
    stream.reset(layout->OpenLayerStream(L"menu/play.png"));
    ASSERT_NE(stream, nullptr);
    EXPECT_EQ(ReadAll(stream.get()), "png bytes");
    EXPECT_EQ(layout->OpenLayerStream(L"menu/play"), nullptr);
    std::unique_ptr<base::StreamCreator> creator(layout->CreateStreamCreator(L"menu/play.png"));
    ASSERT_NE(creator, nullptr);
    base::Stream* created = nullptr;
    ASSERT_EQ(creator->Create(&created), BW_OK);
    stream.reset(created);
    EXPECT_EQ(ReadAll(stream.get()), "png bytes");
}

} // namespace
