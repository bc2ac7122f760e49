// The game's executable, run as the player runs it: exit codes, building and
// mounting the pack, a second copy, and a card without pixel shaders 2.0.

#include "Core/File/Archiver.h"
#include "Core/File/FileManager.h"
#include "Game/FrontEnd/ProcessEntry.h"
#include "Platform/D3D9/D3D9TestHooks.h"
#include "Platform/Win32/Win32Shell.h"
#include "Platform/Win32/Win32User.h"
#include "tests/Support/PrivateDisplay.h"
#include "tests/Support/TempFolder.h"

#include <gtest/gtest.h>

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <thread>
#include <vector>

using testing_support::PathExists;
using testing_support::ReadFile;
using testing_support::TempFolder;
using testing_support::Widen;

namespace
{

const std::string kGame = std::string(BW_BINARY_DIR) + "/bin/orvane";

// The bundled data with a caption of this process's own: games of tests
// running at the same time must not take each other for a second copy.
const std::string kCaption = "Орвейн " + std::to_string(getpid());

// The bundled data linked file by file into a root of its own, with that caption.
struct DataRoot
{
    DataRoot()
    {
        namespace fs = std::filesystem;
        const fs::path source = fs::path(BW_SOURCE_DIR) / "data";
        for (const auto& entry : fs::recursive_directory_iterator(source))
            if (entry.is_regular_file() && entry.path().filename() != "ru_lang.xml")
            {
                const fs::path target = fs::path(root.Path()) / "data" / fs::relative(entry.path(), source);
                fs::create_directories(target.parent_path());
                fs::create_symlink(entry.path(), target);
            }
        std::string lang = ReadFile(BW_SOURCE_DIR "/data/ru_lang.xml");
        const std::string bundled = ">Орвейн<";
        root.Write("data/ru_lang.xml", lang.replace(lang.find(bundled), bundled.size(), ">" + kCaption + "<"));
    }
    const std::string& Path() const { return root.Path(); }
    TempFolder root;
};

// One run of a program with its own user folder; killed if it still runs
// when the test is done with it.
class Process
{
public:
    Process(const std::string& program, const std::vector<std::string>& arguments, const std::string& home)
    {
        mPid = fork();
        if (mPid != 0)
            return;
        setenv("XDG_DATA_HOME", home.c_str(), 1);
        std::vector<char*> argv{const_cast<char*>(program.c_str())};
        for (const std::string& argument : arguments)
            argv.push_back(const_cast<char*>(argument.c_str()));
        argv.push_back(nullptr);
        execv(program.c_str(), argv.data());
        _exit(127);
    }
    ~Process()
    {
        if (Running())
            kill(mPid, SIGKILL);
        Wait();
    }

    // The exit code, or -1 when it did not exit by itself.
    int Wait()
    {
        if (mStatus < 0)
            waitpid(mPid, &mStatus, 0);
        return WIFEXITED(mStatus) ? WEXITSTATUS(mStatus) : -1;
    }
    bool Running()
    {
        int status = 0;
        if (mStatus < 0 && waitpid(mPid, &status, WNOHANG) == mPid)
            mStatus = status;
        return mStatus < 0;
    }

private:
    pid_t mPid = -1;
    int mStatus = -1;
};

std::string UserFolder(const TempFolder& home)
{
    return home.Path() + "Brightwork/Orvane/";
}

TEST(GameProcess, PackWritesAPackTheGameThenPlaysFromWhereASecondCopyExitsWithZeroAsDoesTheFirstWhenItsWindowGoes)
{
    // A display of its own: a game without its language table has the
    // default caption, and would take another test's such game for a first copy.
    ASSERT_TRUE(bwtest::UsePrivateDisplay());
    // The pack is made of the "data/" beside the executable; without a name,
    // or without a folder to pack, nothing is made and the exit code is 1.
    DataRoot data;
    TempFolder home, bare;
    for (const TempFolder* root : {&data.root, &bare})
        ASSERT_EQ(link(kGame.c_str(), (root->Path() + "orvane").c_str()), 0);
    EXPECT_EQ(Process(data.Path() + "orvane", {"--pack"}, home.Path()).Wait(), 1);
    EXPECT_EQ(Process(bare.Path() + "orvane", {"--pack", "out.dat"}, home.Path()).Wait(), 1);
    EXPECT_FALSE(PathExists(bare.Path() + "out.dat"));
    ASSERT_EQ(Process(data.Path() + "orvane", {"--pack", "out.dat"}, home.Path()).Wait(), 0);
    // Byte for byte it is the round trip the pack tests prove; here it is the bundled data.
    file::Archiver archive(L"data/", Widen(data.Path() + "out.dat"), file::FileManager::Instance());
    ASSERT_TRUE(archive.IsValid());
    EXPECT_EQ(archive.GetDirectory().count(L"ru_lang.xml"), 1u);

    // A data root with nothing but the pack: the game starts from it (its
    // caption, and its first screen, come from the pack).
    TempFolder packed;
    ASSERT_EQ(rename((data.Path() + "out.dat").c_str(), (packed.Path() + "data.dat").c_str()), 0);
    TempFolder player;
    Process first(kGame, {"--data_path", packed.Path()}, player.Path());
    // Up to two minutes for its window.
    for (int i = 0; i < 2400 && first.Running() && !FindWindowW(L"ApplicationWindow", Widen(kCaption).c_str()); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    ASSERT_TRUE(FindWindowW(L"ApplicationWindow", Widen(kCaption).c_str()));
    EXPECT_EQ(Process(kGame, {"--data_path", packed.Path()}, player.Path()).Wait(), 0);
    EXPECT_TRUE(first.Running());
    EXPECT_FALSE(PathExists(UserFolder(player) + "profiles.xml")) << "the second copy leaves the profiles alone";

    // Once the renderer runs, another program destroys the game's X window.
    for (int i = 0; i < 2400 && ReadFile(UserFolder(player) + "log.html").find("Max texture") == std::string::npos; ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    std::unique_ptr<FILE, int (*)(FILE*)> search(
        popen(("xdotool search --sync --name '" + std::to_string(getpid()) + "$' 2>/dev/null").c_str(), "r"), pclose);
    unsigned long window = 0;
    ASSERT_TRUE(search && fscanf(search.get(), "%lu", &window) == 1);
    ASSERT_TRUE(win32::DestroyX11WindowFromOutside(window));
    EXPECT_EQ(first.Wait(), 0);
    EXPECT_TRUE(PathExists(UserFolder(player) + "profiles.xml")) << "the first one saves them";
    EXPECT_NE(ReadFile(UserFolder(player) + "log.html").find("</body></html>"), std::string::npos);
}

// --- A card without pixel shaders 2.0 ------------------------------------------------

const char* const kChildVariable = "BW_TEST_GAME_CHILD";

// The child's side, told "<mode>|<data root>|<home>": the game's process
// entry on a device without pixel shaders 2.0, or on a system that cannot say
// where the user's folders are; each message box goes into "<home>boxes.txt"
// instead of the screen. It exits as the process would, so the box comes at
// exit.
TEST(GameChild, RunsTheEntry)
{
    const char* told = std::getenv(kChildVariable);
    if (!told)
        GTEST_SKIP() << "runs as a child of the test below only";
    std::string mode = told, data = mode.substr(mode.find('|') + 1), home = data.substr(data.find('|') + 1);
    mode.resize(mode.find('|'));
    data.resize(data.find('|'));
    win32::SetMessageBoxHook([home](HWND, const wchar_t* text, const wchar_t* caption, UINT type) {
        std::ofstream(home + "boxes.txt", std::ios::app)
            << testing_support::Narrow(caption) << "|" << testing_support::Narrow(text) << "|" << type << "\n";
        return IDOK;
    });
    if (mode == "no-folders")
        win32::SetFolderPathFailure(CSIDL_APPDATA, HRESULT(0x80070005));
    D3DCAPS9 caps = d3d9::test::DefaultCaps();
    caps.PixelShaderVersion = D3DPS_VERSION(1, 4);
    d3d9::test::SetCaps(caps);
    const char* argv[] = {"orvane", "--data_path", data.c_str()};
    win32::SetCommandLine(3, argv);
    std::exit(wWinMain(GetModuleHandleW(nullptr), nullptr, GetCommandLineW(), 1));
}

// The child above in each mode: both end with exit code 1; without pixel
// shaders the error box comes once, at exit, and without the user's folders
// start-up never gets as far as the renderer.
TEST(GameProcess, ACardWithoutPixelShaders2OrNoUsersFoldersEndStartUpWithExitCodeOne)
{
    DataRoot data;
    for (const std::string mode : {"no-pixel-shaders", "no-folders"})
    {
        SCOPED_TRACE(mode);
        TempFolder home;
        setenv(kChildVariable, (mode + "|" + data.Path() + "|" + home.Path()).c_str(), 1);
        EXPECT_EQ(Process("/proc/self/exe", {"--gtest_filter=GameChild.RunsTheEntry"}, home.Path()).Wait(), 1);
        unsetenv(kChildVariable);
        // A missing file reads as empty.
        const bool noShaders = mode == "no-pixel-shaders";
        EXPECT_EQ(ReadFile(home.Path() + "boxes.txt"),
                  noShaders ? "Error|Failed to init DirectX 9 render: video card does'n support vertex shaders 1.1 "
                              "and(or) pixel shaders 2.0|16\n"
                            : "");
        EXPECT_EQ(PathExists(UserFolder(home) + "log.html"), noShaders);
    }
}

} // namespace
