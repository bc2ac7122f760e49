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
    WriteFolder("Data/GUI/Start", "a");
    for (const char* name : {"gui/profile.psd", "gui/Menu.PSD", "gui/plain.psd"})
        WritePsd(name, Layout({PixelLayer("from psd", 0, 0, 1, 1)}));
    for (const char* name : {"gui/profile", "gui/menu", "gui/exact"})
        WritePsd(name, Layout({PixelLayer("from exact name", 0, 0, 1, 1)}));
    const struct { const wchar_t* asked; const wchar_t* path; const wchar_t* layer; } cases[] = {
        {L"gui/profile", L"gui/profile", L"from folder"},
        {L"gui/menu", L"gui/menu.psd", L"from psd"},
        {L"gui/exact", L"gui/exact", L"from exact name"},
        {L"gui/plain.psd", L"gui/plain.psd", L"from psd"},
        {L"data/gui/start", L"data/gui/start", L"a"}};
    for (const auto& c : cases)
    {
        auto layout = OpenLayout(c.asked);
        ASSERT_NE(layout, nullptr);
        EXPECT_EQ(layout->GetLayoutPath(), c.path);
        EXPECT_EQ(Names(*layout), std::vector<std::wstring>{c.layer});
        EXPECT_EQ(layout->GetOwner(), mManager);
    }
    EXPECT_NE(dynamic_cast<file::PsdFolder*>(OpenLayout(L"gui/profile").get()), nullptr);
    EXPECT_NE(dynamic_cast<file::PsdFile*>(OpenLayout(L"gui/menu").get()), nullptr);
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
