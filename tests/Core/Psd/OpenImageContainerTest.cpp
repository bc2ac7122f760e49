#include "Core/File/PackBuilder.h"
#include "Core/Psd/PsdFile.h"
#include "Core/Psd/PsdFolder.h"

#include "tests/Core/Psd/ContainerTesting.h"

#include <gtest/gtest.h>

#include <memory>

using namespace containertest;

namespace
{

class OpenImageContainerTest : public LayoutTest
{
protected:
    std::unique_ptr<file::ImageContainer> OpenLayout(const std::wstring& path)
    {
        return std::unique_ptr<file::ImageContainer>(mManager->OpenImageContainer(path));
    }

    void WriteFolder(const std::string& folder, const std::string& layer)
    {
        mFolder.Write(folder + "/layers.xml", "<Layers><Layer name=\"" + layer + "\"/></Layers>");
    }
};

TEST_F(OpenImageContainerTest, FolderComesFirstThenPsdThenTheExactNameWhateverTheirCase)
{
    WriteFolder("gui/profile", "from folder");
    WritePsd("gui/profile.psd", Layout({PixelLayer("from psd", 0, 0, 1, 1)}));
    WritePsd("gui/profile", Layout({PixelLayer("from exact name", 0, 0, 1, 1)}));
    auto layout = OpenLayout(L"gui/profile");
    ASSERT_NE(dynamic_cast<file::PsdFolder*>(layout.get()), nullptr);
    EXPECT_EQ(Names(*layout), std::vector<std::wstring>{L"from folder"});
    EXPECT_EQ(layout->GetLayoutPath(), L"gui/profile");
    EXPECT_EQ(layout->GetOwner(), mManager);

    WritePsd("gui/Menu.PSD", Layout({PixelLayer("from psd", 0, 0, 1, 1)}));
    WritePsd("gui/menu", Layout({PixelLayer("from exact name", 0, 0, 1, 1)}));
    layout = OpenLayout(L"gui/menu");
    ASSERT_NE(dynamic_cast<file::PsdFile*>(layout.get()), nullptr);
    EXPECT_EQ(layout->GetLayoutPath(), L"gui/menu.psd");
    EXPECT_EQ(Names(*layout), std::vector<std::wstring>{L"from psd"});

    WritePsd("gui/exact", Layout({PixelLayer("from exact name", 0, 0, 1, 1)}));
    layout = OpenLayout(L"gui/exact");
    ASSERT_NE(layout, nullptr);
    EXPECT_EQ(layout->GetLayoutPath(), L"gui/exact");
    EXPECT_EQ(Names(*layout), std::vector<std::wstring>{L"from exact name"});

    WritePsd("gui/plain.psd", Layout({PixelLayer("a", 0, 0, 1, 1)}));
    layout = OpenLayout(L"gui/plain.psd");
    ASSERT_NE(layout, nullptr);
    EXPECT_EQ(layout->GetLayoutPath(), L"gui/plain.psd");

    WriteFolder("Data/GUI/Start", "a");
    layout = OpenLayout(L"data/gui/start");
    ASSERT_NE(layout, nullptr);
    EXPECT_EQ(layout->GetLayerCount(), 1u);

    EXPECT_EQ(OpenLayout(L"gui/none"), nullptr);
    EXPECT_EQ(OpenLayout(L""), nullptr);
}

TEST_F(OpenImageContainerTest, FoldersUnderAMountedPackComeFromThePack)
{
    WriteFolder("packed/gui/start", "in pack");
    mFolder.Write("packed/gui/start/in pack.png", "pixels");
    ASSERT_EQ(file::BuildPack(L"packed", L"data.dat"), BW_OK);
    WriteFolder("data/gui/start", "loose");
    mManager->GetMountTable()[L"data/"] = L"data.dat";

    auto layout = OpenLayout(L"data/gui/start");
    ASSERT_NE(dynamic_cast<file::PsdFolder*>(layout.get()), nullptr);
    EXPECT_EQ(Names(*layout), std::vector<std::wstring>{L"in pack"});
    EXPECT_EQ(layout->GetLayoutPath(), L"gui/start");
    EXPECT_EQ(layout->GetPath(), L"data/gui/start/");

    const wchar_t* const extensions[] = {L"", L".png"};
    std::unique_ptr<file::ImageFileInfo> info(layout->GetImageInfo(L"in pack", extensions, 2));
    ASSERT_NE(info, nullptr);
    EXPECT_EQ(info->GetFlag(), 1);
    std::unique_ptr<base::Stream> stream(info->Open());
    ASSERT_NE(stream, nullptr);
    EXPECT_EQ(ReadAll(stream.get()), "pixels");

    EXPECT_EQ(OpenLayout(L"data/gui/none"), nullptr);
}

} // namespace
