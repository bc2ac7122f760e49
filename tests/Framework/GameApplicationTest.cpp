// The game application run for real in the test's process: start-up order,
// the ways start-up fails, the first frame's pixels, Alt+Enter and device loss.

#include "Core/File/FileManager.h"
#include "Core/Gui/PackScreen.h"
#include "Core/Render/BMFont.h"
#include "Core/Render/Image.h"
#include "Core/Render/ImageRect.h"
#include "Core/Resource/ResourceHandle.h"
#include "Core/Resource/ResourceManager.h"
#include "Core/Widget/Dialog.h"
#include "Core/Widget/DialogEffectsManager.h"
#include "Core/Widget/FrameManager.h"
#include "Core/Psd/PsdFile.h"
#include "Framework/GameWindow.h"
#include "Game/Audio/SoundSystem.h"
#include "Framework/SwitchScreenModeMessage.h"
#include "Platform/D3D9/D3D9TestHooks.h"
#include "Platform/Win32/Win32User.h"
#include "tests/Support/InjectedInput.h"
#include "tests/Support/LogCapture.h"
#include "tests/Support/PrivateDisplay.h"
#include "tests/Support/ScriptedGame.h"

#include <gtest/gtest.h>
#include <tinyxml2.h>

#include <dirent.h>
#include <unistd.h>

#include <memory>

using bwtest::GameRun;
using bwtest::ScriptedGame;
using testing_support::PathExists;
using testing_support::ReadFile;
using testing_support::TempFolder;

namespace
{

std::wstring CurrentDirectory()
{
    char buffer[4096];
    return getcwd(buffer, sizeof(buffer)) ? testing_support::Widen(buffer) : std::wstring();
}

// A data root with the language table, the game's fonts and particle
// effects and an empty start layout, all but the file a case leaves out.
void WriteMinimalData(const TempFolder& root, const std::string& gameXml, const std::string& omit = "")
{
    std::vector<std::pair<std::string, std::string>> files = {
        {"data/ru_lang.xml", "<?xml version=\"1.0\"?><Lang><Window><T id=\"Caption\">Test caption</T></Window></Lang>"},
        {"data/game.xml", gameXml},
        {"data/gui/start/layers.xml", "<Layers/>"},
        {"data/sounds.ini", ReadFile(BW_SOURCE_DIR "/data/sounds.ini")},
        {"data/gui/cursor.png", ReadFile(BW_SOURCE_DIR "/data/gui/cursor.png")}};
    for (const char* folder : {"data/font/", "data/fx/", "data/sound/"})
    {
        const std::string source = std::string(BW_SOURCE_DIR) + "/" + folder;
        if (DIR* listing = opendir(source.c_str()))
        {
            while (dirent* entry = readdir(listing))
                if (entry->d_name[0] != '.')
                    files.emplace_back(folder + std::string(entry->d_name), ReadFile(source + entry->d_name));
            closedir(listing);
        }
    }
    for (const auto& file : files)
        if (file.first != omit)
            root.Write(file.first, file.second);
}

class GameApplicationTest : public ::testing::Test
{
protected:
    void SetUp() override { d3d9::test::ResetHooks(); }
    void TearDown() override { d3d9::test::ResetHooks(); }
};

TEST_F(GameApplicationTest, StartUpBringsEachPartUpInOrderAndTheFirstFrameIsPresented)
{
    GameRun run({L"--data_path", bwtest::SourceDir()});
    ScriptedGame& game = run.Game();
    bool sawInitData = false;
    bool sawInitGame = false;
    game.mOnInitData = [&] {
        sawInitData = true;
        EXPECT_EQ(CurrentDirectory(), bwtest::SourceDir()) << "the data root comes first";
        EXPECT_TRUE(PathExists(run.UserFolder() + "log.html")) << "the log file is open before the data";
        EXPECT_EQ(game.GetWindow(), nullptr);
        EXPECT_EQ(game.GetRender(), nullptr);
        return BW_OK;
    };
    game.mOnInitGame = [&] {
        sawInitGame = true;
        EXPECT_EQ(game.GetCaption().find(L"Орвейн "), 0u);
        EXPECT_NE(game.GetWindow(), nullptr);
        EXPECT_TRUE(game.GetWindow()->IsCreated());
        EXPECT_NE(game.GetDevice(), nullptr) << "the renderer runs before the game starts";
        EXPECT_EQ(game.GetPendingCount(), 1u) << "the window has joined the task tree";
        EXPECT_NE(game.GetFrameManager(), nullptr);
        EXPECT_NE(game.GetGameDocument()->FirstChildElement("Game"), nullptr);
        const float* rect = game.GetLayoutRect();
        EXPECT_EQ(std::vector<float>(rect, rect + 4), (std::vector<float>{-171, 0, 1366, 768}));
        return BW_OK;
    };
    game.mOnFrame = [](ScriptedGame& g, int) {
        if (g.GetPresentedFrames() >= 1)
            g.Stop();
    };
    EXPECT_EQ(run.Run(), 0);
    EXPECT_TRUE(sawInitData);
    EXPECT_TRUE(sawInitGame);
    ASSERT_NE(game.GetScreen(), nullptr);
    ASSERT_EQ(game.GetFrameManager()->GetStack().size(), 1u);
    EXPECT_EQ(game.GetFrameManager()->GetStack()[0].frame, game.GetScreen());
    EXPECT_EQ(game.GetFrameManager()->GetActiveFrame(), game.GetScreen());
}

// --- Failures ----------------------------------------------------------------

struct FailureCase
{
    const char* name;
    std::vector<std::wstring> arguments; // "<data>" stands for a data root of the case
    const char* gameXml;                 // for that data root; null: the bundled data
    bool failInitData;
    bool failInitGame;
    bool windowJoined; // the failure comes after the window joined the task tree
    const char* omit = "";   // the file of that data root left out
    const wchar_t* why = L""; // what the log says went wrong
};

void PrintTo(const FailureCase& c, std::ostream* out)
{
    *out << c.name;
}

class StartUpFailure : public GameApplicationTest, public ::testing::WithParamInterface<FailureCase>
{
};

TEST_P(StartUpFailure, EndsStartUpWithExitCodeOneAndNoFrame)
{
    const FailureCase& c = GetParam();
    TempFolder data;
    std::vector<std::wstring> arguments;
    for (const std::wstring& argument : c.arguments)
        arguments.push_back(argument == L"<data>" ? (c.gameXml ? data.WidePath() : bwtest::SourceDir()) : argument);
    if (c.gameXml)
        WriteMinimalData(data, c.gameXml, c.omit);

    GameRun run(arguments);
    ScriptedGame& game = run.Game();
    if (c.failInitData)
        game.mOnInitData = [] { return BW_FAIL; };
    if (c.failInitGame)
        game.mOnInitGame = [] { return BW_FAIL; };
    testing_support::LogCapture log;
    EXPECT_EQ(run.Run(), 1);
    EXPECT_TRUE(log.Contains(c.why)) << "the failure is the case's own";
    EXPECT_TRUE(game.IsStopRequested()) << "the loop does not run";
    EXPECT_EQ(game.GetFrameCalls(), 0);
    // Once the window has joined, the stopped application still ends
    // without running a frame: no empty window is left open.
    EXPECT_EQ(game.GetPendingCount() + game.GetChildCount(), c.windowJoined ? 1u : 0u);
}

const char* const kBadEffects = "<Game><DialogEffects><Effect type=\"fade\"/></DialogEffects></Game>";

INSTANTIATE_TEST_SUITE_P(
    Cases, StartUpFailure,
    ::testing::Values(FailureCase{"DataPathAlone", {L"--data_path"}, nullptr, false, false, false},
                      FailureCase{"DataPathWithTwoFolders", {L"--data_path", L"<data>", L"more"}, nullptr, false,
                                  false, false},
                      FailureCase{"DataPathMissing", {L"--data_path", L"/no/such/folder"}, nullptr, false, false,
                                  false},
                      FailureCase{"InitDataFails", {L"--data_path", L"<data>"}, nullptr, true, false, false},
                      FailureCase{"PackAlone", {L"--pack"}, nullptr, false, false, true},
                      FailureCase{"PackWithTwoNames", {L"--pack", L"a.dat", L"b.dat"}, nullptr, false, false, true},
                      FailureCase{"InitGameFails", {L"--data_path", L"<data>"}, nullptr, false, true, true},
                      FailureCase{"NoFirstScreenLayout", {L"--data_path", L"<data>"}, "<Game/>", false, false, true,
                                  "data/gui/start/layers.xml", L"The layout 'data/gui/start' cannot be opened."},
                      FailureCase{"MissingFont", {L"--data_path", L"<data>"}, "<Game/>", false, false, true,
                                  "data/font/32.fnt", L"The font 'data/font/32' cannot be loaded."},
                      FailureCase{"MissingFontPage", {L"--data_path", L"<data>"}, "<Game/>", false, false, true,
                                  "data/font/42_1.png", L"The font 'data/font/42' cannot be loaded."},
                      FailureCase{"MissingParticleFile", {L"--data_path", L"<data>"}, "<Game/>", false, false, true,
                                  "data/fx/fx2.ptc", L"The particle effects 'data/fx/fx2.ptc' are missing."},
                      FailureCase{"BadDialogEffects", {L"--data_path", L"<data>"}, kBadEffects, false, false,
                                  true}),
    [](const ::testing::TestParamInfo<FailureCase>& info) { return std::string(info.param.name); });

TEST_F(GameApplicationTest, AnUnknownFirstArgumentIsIgnored)
{
    GameRun run({L"--windowed"});
    run.Game().mOnInitData = [] {
        // The data root is then the executable's folder; the test's data is
        // elsewhere, so the run goes there once the argument was ignored.
        return file::SetCurrentDirectory(bwtest::SourceDir());
    };
    run.Game().mOnFrame = [](ScriptedGame& g, int) { g.Stop(); };
    EXPECT_EQ(run.Run(), 0);
    EXPECT_TRUE(run.Game().WasInitGameCalled());
}

TEST_F(GameApplicationTest, TheGameXmlWithoutDialogEffectsStartsWithoutEffects)
{
    TempFolder data;
    WriteMinimalData(data, "<Game/>");
    GameRun run({L"--data_path", data.WidePath()});
    run.Game().mOnFrame = [](ScriptedGame& g, int) { g.Stop(); };
    EXPECT_EQ(run.Run(), 0);
    EXPECT_EQ(widget::DialogEffectsManager::Instance()->GetCount(), 0u);
}

TEST_F(GameApplicationTest, APackRunShowsOnlyThePackScreen)
{
    GameRun run({L"--pack", L"unused.dat"});
    ScriptedGame& game = run.Game();
    // The pack work is the screen's; here the run is ended before it starts.
    game.mOnFrame = [](ScriptedGame& g, int) { g.Stop(); };
    EXPECT_EQ(run.Run(), 0);
    EXPECT_FALSE(game.WasInitGameCalled());
    EXPECT_NE(dynamic_cast<gui::PackScreen*>(game.GetScreen()), nullptr);
    EXPECT_EQ(game.GetGameDocument()->FirstChildElement(), nullptr) << "the game document is not read";
}

// --- The first frame ---------------------------------------------------------

// The start layout composed from its PSD as the first screen shows it (the
// markers and the pressed button states left out): for each pixel the colour
// and whether some picture covers it fully.
struct Composite
{
    std::vector<uint32_t> color;
    std::vector<bool> opaque;
};

Composite ComposeStartLayout()
{
    Composite out;
    out.color.assign(1024 * 768, 0);
    out.opaque.assign(1024 * 768, false);
    file::FileManager* files = file::FileManager::Instance();
    file::PsdFile psd(bwtest::SourceDir() + L"/data/gui/start.psd", files);
    std::vector<const base::ImageInfo*> layers;
    for (uint32_t i = 0; i < psd.GetLayerCount(); ++i)
    {
        const base::ImageInfo* layer = psd.GetLayer(i);
        const std::wstring& name = layer->mName;
        if (name.find(L'|') != std::wstring::npos || (name.size() > 3 && name.compare(name.size() - 3, 3, L"/in") == 0))
            continue;
        layers.push_back(layer);
    }
    std::sort(layers.begin(), layers.end(), [](auto* a, auto* b) { return a->mExtra < b->mExtra; });
    for (const base::ImageInfo* layer : layers)
    {
        std::unique_ptr<base::Stream> stream(psd.OpenLayerStream(layer->mName));
        if (!stream)
            continue;
        std::vector<uint32_t> pixels(size_t(layer->mWidth) * layer->mHeight);
        stream->Read(pixels.data(), uint32_t(pixels.size() * 4));
        for (int32_t y = 0; y < layer->mHeight; ++y)
            for (int32_t x = 0; x < layer->mWidth; ++x)
            {
                const int32_t px = layer->mX + x, py = layer->mY + y;
                if (px < 0 || py < 0 || px >= 1024 || py >= 768)
                    continue;
                const uint32_t argb = pixels[size_t(y) * layer->mWidth + x];
                const size_t at = size_t(py) * 1024 + px;
                const bool full = (argb >> 24) == 255 && layer->mOpacity == 255;
                if (full)
                {
                    out.color[at] = argb;
                    out.opaque[at] = true;
                }
                else if ((argb >> 24) != 0 && layer->mOpacity != 0)
                {
                    out.opaque[at] = false; // blended: not compared
                }
            }
    }
    return out;
}

// Stops the game after its first presented frame and keeps that frame.
void KeepFirstFrame(GameRun& run, std::vector<uint32_t>* shot, uint32_t* width, uint32_t* height)
{
    run.Game().mOnFrame = [=](ScriptedGame& g, int) {
        if (g.GetPresentedFrames() == 1)
        {
            *shot = g.ReadBackBuffer(width, height);
            g.Stop();
        }
    };
}

int Difference(uint32_t a, uint32_t b)
{
    int most = 0;
    for (int shift = 0; shift < 24; shift += 8)
        most = std::max(most, std::abs(int((a >> shift) & 255) - int((b >> shift) & 255)));
    return most;
}

TEST_F(GameApplicationTest, TheFirstFrameShowsTheLayoutsPixelsWhereItIsOpaque)
{
    GameRun run({L"--data_path", bwtest::SourceDir()});
    run.SeedProfile(true);
    std::vector<uint32_t> shot;
    uint32_t width = 0, height = 0;
    input::Point cursor;
    run.Game().mOnFrame = [&](ScriptedGame& g, int) {
        if (g.GetPresentedFrames() == 1)
        {
            shot = g.ReadBackBuffer(&width, &height);
            cursor = g.GetFrameManager()->GetCursorPosition();
            g.Stop();
        }
    };
    ASSERT_EQ(run.Run(), 0);
    ASSERT_EQ(width, 1366u);
    ASSERT_EQ(height, 768u);
    EXPECT_TRUE(run.Game().GetWindow()->IsWindowed());

    Composite layout = ComposeStartLayout();
    size_t compared = 0, wrong = 0;
    for (uint32_t y = 0; y < 768; ++y)
        for (uint32_t x = 0; x < 1024; ++x)
        {
            // The game cursor, 32 pixels square, lies above the layout.
            const bool underCursor = x >= cursor.x && x < cursor.x + 32 && y >= cursor.y && y < cursor.y + 32;
            if (!layout.opaque[size_t(y) * 1024 + x] || underCursor)
                continue;
            ++compared;
            // The 1024-wide screen sits at layout x = 0, 171 pixels into the window.
            if (Difference(shot[size_t(y) * 1366 + x + 171], layout.color[size_t(y) * 1024 + x]) > 1)
                ++wrong;
        }
    EXPECT_GT(compared, 1024u * 600u);
    EXPECT_EQ(wrong, 0u) << "of " << compared;
    // Beyond the 1024-wide design the wide layout is empty: cleared to black.
    EXPECT_EQ(shot[100 * 1366 + 50] & 0xFFFFFF, 0u);
    EXPECT_EQ(shot[700 * 1366 + 1300] & 0xFFFFFF, 0u);
}

// --- Screen modes --------------------------------------------------------------

class ModeListener
{
public:
    void OnSwitch(const framework::SwitchScreenModeMessage& message) { mSeen.push_back(message.mWindowed); }
    std::vector<bool> mSeen;
};

TEST_F(GameApplicationTest, AltEnterSwitchesToFullScreenAndBackAndTellsTheSubscribers)
{
    // Full screen needs the focus, which other tests' windows would take.
    if (!bwtest::UsePrivateDisplay(1366, 768))
        GTEST_SKIP() << "no private display";
    GameRun run({L"--data_path", bwtest::SourceDir()});
    run.SeedProfile(true);
    testing_support::LogCapture log;
    ModeListener listener;
    framework::SwitchScreenModeHandlers::Subscribe(
        &listener, new base::MemberDelegate1<ModeListener, const framework::SwitchScreenModeMessage&>(
                       &listener, &ModeListener::OnSwitch));
    std::vector<bool> modes;
    int pressedAt = 0;
    run.Game().mOnFrame = [&](ScriptedGame& g, int frame) {
        const bool windowed = g.GetWindow()->IsWindowed();
        if (modes.empty() || modes.back() != windowed)
            modes.push_back(windowed);
        if (modes.size() == 3)
            g.Stop();
        // Alt+Enter once the window runs, and again once the mode changed.
        else if (frame > 3 && (pressedAt == 0 || modes.size() > size_t(pressedAt)))
        {
            pressedAt = int(modes.size());
            HWND window = g.GetWindow()->GetHandle();
            bwtest::PushKey(window, "Left Alt", true);
            bwtest::PushKey(window, "Return", true);
            bwtest::PushKey(window, "Return", false);
            bwtest::PushKey(window, "Left Alt", false);
        }
    };
    run.Game().mFrameLimit = 400;
    EXPECT_EQ(run.Run(), 0);
    framework::SwitchScreenModeHandlers::Unsubscribe(&listener);
    bwtest::ReleaseInjectedModifiers();

    EXPECT_EQ(modes, (std::vector<bool>{true, false, true}));
    EXPECT_EQ(listener.mSeen, (std::vector<bool>{false, true}));
    std::vector<std::wstring> steps;
    for (const std::wstring& message : log.Messages())
        if (message.find(L"SwitchWindowMode") != std::wstring::npos || message.find(L"mRender->") == 0 ||
            message.find(L"mWindow->") == 0)
            steps.push_back(message);
    EXPECT_EQ(steps, (std::vector<std::wstring>{
                         L"mRender->PrepareSwitchScreenMode()\n", L"SwitchWindowMode(false)\n",
                         L"mRender->SwitchScreenMode()\n", L"mRender->PrepareSwitchScreenMode()\n",
                         L"mWindow->SetWindowedSize()\n", L"mRender->SwitchScreenMode()\n",
                         L"SwitchWindowMode(true)\n"}));
}

TEST_F(GameApplicationTest, ALostDeviceInFullScreenSkipsFramesAndRecovers)
{
    // Full screen needs the focus, which other tests' windows would take.
    if (!bwtest::UsePrivateDisplay(1366, 768))
        GTEST_SKIP() << "no private display";
    GameRun run({L"--data_path", bwtest::SourceDir()});
    run.SeedProfile(false);
    int updatesWhenLost = -1;
    int updatesBeforeReset = -1;
    uint32_t centreAfter = 0;
    uint32_t centreBefore = 0;
    run.Game().mOnFrame = [&](ScriptedGame& g, int frame) {
        uint32_t w = 0, h = 0;
        if (frame == 5)
        {
            EXPECT_FALSE(g.GetWindow()->IsWindowed());
            centreBefore = g.ReadBackBuffer(&w, &h)[384 * 1366 + 683];
            d3d9::test::LoseDevice();
            updatesWhenLost = g.GetUpdates();
        }
        if (frame == 20)
        {
            updatesBeforeReset = g.GetUpdates();
            d3d9::test::AllowReset();
        }
        if (frame > 20 && g.GetUpdates() > updatesBeforeReset + 2)
        {
            centreAfter = g.ReadBackBuffer(&w, &h)[384 * 1366 + 683];
            g.Stop();
        }
    };
    run.Game().mFrameLimit = 300;
    EXPECT_EQ(run.Run(), 0);
    EXPECT_EQ(updatesBeforeReset, updatesWhenLost) << "no game update while the device is lost";
    EXPECT_NE(centreBefore & 0xFFFFFF, 0u);
    EXPECT_EQ(centreAfter, centreBefore) << "the screen is drawn again after the reset";
}

// --- The window mode from the profile ---------------------------------------------

struct ProfileCase
{
    const char* name;
    const char* gameProfile; // inside the current profile; null: no "profiles.xml"
    bool windowed;
};

void PrintTo(const ProfileCase& c, std::ostream* out)
{
    *out << c.name;
}

class WindowPreference : public GameApplicationTest, public ::testing::WithParamInterface<ProfileCase>
{
};

TEST_P(WindowPreference, IsWindowedOnlyWhenTheProfileSaysExactlyOne)
{
    const ProfileCase& c = GetParam();
    GameRun run({L"--data_path", bwtest::SourceDir()});
    run.WriteProfiles(c.gameProfile ? std::string("<?xml version=\"1.0\"?><Profiles currentProfile=\"P\">"
                                                  "<Profile name=\"P\">") +
                                          c.gameProfile + "</Profile></Profiles>"
                                    : std::string());
    bool preference = !c.windowed;
    run.Game().mOnInitData = [&] {
        EXPECT_TRUE(run.Game().GetWindowedPreference()) << "windowed until a profile says otherwise";
        return BW_OK;
    };
    // Seen before the window runs; start-up ends there.
    run.Game().mOnInitGame = [&] {
        preference = run.Game().GetWindowedPreference();
        return BW_FAIL;
    };
    run.Run();
    EXPECT_EQ(preference, c.windowed);
}

INSTANTIATE_TEST_SUITE_P(Profiles, WindowPreference,
                         ::testing::Values(ProfileCase{"One", "<GameProfile is_windowed=\"1\"/>", true},
                                           ProfileCase{"Zero", "<GameProfile is_windowed=\"0\"/>", false},
                                           ProfileCase{"True", "<GameProfile is_windowed=\"true\"/>", false},
                                           ProfileCase{"NoAttribute", "<GameProfile/>", false},
                                           ProfileCase{"NoRecord", "", false},
                                           ProfileCase{"NoFile", nullptr, false}),
                         [](const ::testing::TestParamInfo<ProfileCase>& info) { return std::string(info.param.name); });

// --- Activation and screens ---------------------------------------------------

TEST_F(GameApplicationTest, MinimisingPausesTheSoundAndTheGameAndRestoringResumesTheSound)
{
    // Activation follows the focus, which other tests' windows would take.
    if (!bwtest::UsePrivateDisplay(1366, 768))
        GTEST_SKIP() << "no private display";
    GameRun run({L"--data_path", bwtest::SourceDir()});
    std::vector<std::string> seen;
    run.Game().mOnFrame = [&](ScriptedGame& g, int frame) {
        SoundSystem* sound = SoundSystem::Instance();
        HWND window = g.GetWindow()->GetHandle();
        if (frame == 3)
            bwtest::PushWindowEvent(window, bwtest::WindowEvent::Minimized);
        if (frame > 3 && seen.empty() && sound->IsPaused())
        {
            seen.push_back(g.IsPaused() ? "paused" : "sound only");
            bwtest::PushWindowEvent(window, bwtest::WindowEvent::Restored);
            bwtest::PushWindowEvent(window, bwtest::WindowEvent::FocusGained);
        }
        if (seen.size() == 1 && !sound->IsPaused())
        {
            seen.push_back("resumed");
            g.Stop();
        }
    };
    run.Game().mFrameLimit = 300;
    EXPECT_EQ(run.Run(), 0);
    EXPECT_EQ(seen, (std::vector<std::string>{"paused", "resumed"}));
}

// Writes down that it was deleted; its Load answers as told.
class CountedDialog : public widget::Dialog
{
public:
    CountedDialog(BWResultEnum load, bool* deleted) : mLoad(load), mDeleted(deleted) {}
    ~CountedDialog() override { *mDeleted = true; }
    BWResultEnum Load() override { return mLoad; }
    BWResultEnum mLoad;
    bool* mDeleted;
};

TEST_F(GameApplicationTest, SetScreenReplacesTheScreenAndDeletesWhatItTookOffOrCouldNotLoad)
{
    GameRun run({L"--data_path", bwtest::SourceDir()});
    bool firstDeleted = false, failedDeleted = false, lastDeleted = false, againDeleted = false;
    CountedDialog* first = nullptr;
    CountedDialog* again = nullptr;
    run.Game().mOnFrame = [&](ScriptedGame& g, int frame) {
        if (frame == 2)
        {
            first = new CountedDialog(BW_OK, &firstDeleted);
            EXPECT_EQ(g.SetScreen(first), BW_OK);
            EXPECT_EQ(first->GetHitRect()[0], -171.0f) << "screens cover the layout rectangle";
            EXPECT_EQ(first->GetHitRect()[2], 1366.0f);
        }
        if (frame == 4)
        {
            EXPECT_EQ(g.GetFrameManager()->GetStack().back().frame, first);
            EXPECT_EQ(g.SetScreen(new CountedDialog(BW_FAIL, &failedDeleted)), BW_FAIL);
            EXPECT_EQ(g.GetScreen(), nullptr);
            EXPECT_EQ(g.SetScreen(nullptr), BW_FAIL);
        }
        if (frame == 6)
        {
            EXPECT_TRUE(firstDeleted);
            EXPECT_TRUE(failedDeleted);
            EXPECT_TRUE(g.GetFrameManager()->GetStack().empty());
            again = new CountedDialog(BW_OK, &againDeleted);
            EXPECT_EQ(g.SetScreen(again), BW_OK);
            EXPECT_EQ(g.SetScreen(again), BW_OK) << "the current screen again changes nothing";
        }
        if (frame == 8)
        {
            EXPECT_FALSE(againDeleted);
            EXPECT_EQ(g.GetScreen(), again);
            ASSERT_EQ(g.GetFrameManager()->GetStack().size(), 1u);
            EXPECT_EQ(g.GetFrameManager()->GetStack()[0].frame, again);
            // The screen closes itself; the application forgets it once deleted.
            g.GetFrameManager()->RemoveFrame(again, true, true);
        }
        if (frame == 10)
        {
            EXPECT_TRUE(againDeleted);
            EXPECT_EQ(g.GetScreen(), nullptr);
            EXPECT_EQ(g.SetScreen(new CountedDialog(BW_OK, &lastDeleted)), BW_OK);
            g.Stop();
        }
    };
    EXPECT_EQ(run.Run(), 0);
    EXPECT_FALSE(lastDeleted);
}

// --- Services for the game ------------------------------------------------------

TEST_F(GameApplicationTest, FontsAreSharedTexturesAreOwnImagesAndFailuresLeaveNothing)
{
    GameRun run({L"--data_path", bwtest::SourceDir()});
    run.Game().mOnFrame = [](ScriptedGame& g, int) {
        g.Stop();
        render::BMFont* font = g.GetFont(0);
        ASSERT_NE(font, nullptr);
        const std::vector<render::ImageRect*> pages = font->GetPages();
        resource::ResourceHandle again;
        ASSERT_EQ(g.LoadFont(L"data/font/24", -9.0f, &again), BW_OK);
        EXPECT_EQ(again.Get(), font);
        EXPECT_EQ(*again.GetCount(), 2);
        EXPECT_EQ(font->GetPages(), pages) << "not loaded a second time";
        EXPECT_EQ(font->mAdjust, -9.0f);
        again.Reset();
        EXPECT_TRUE(font->IsLoaded()) << "the game's handle keeps it";
        resource::ResourceHandle missing;
        EXPECT_EQ(g.LoadFont(L"data/font/none", 0.0f, &missing), BW_FAIL);
        EXPECT_EQ(missing.Get(), nullptr);
        EXPECT_EQ(resource::ResourceManager::Instance()->GetBMFontMap().count(L"data/font/none"), 0u)
            << "a later call tries again";

        std::unique_ptr<render::ImageRect> first(g.GetTexture(L"data/images/quadrants.png", nullptr));
        std::unique_ptr<render::ImageRect> second(g.GetTexture(L"data/images/quadrants.png", nullptr));
        ASSERT_NE(first, nullptr);
        ASSERT_NE(second, nullptr);
        EXPECT_NE(first, second);
        EXPECT_EQ(first->GetTexture(), second->GetTexture()) << "one texture for the name";
        EXPECT_EQ(g.GetTexture(L"data/images/none.png", nullptr), nullptr);

        g.ShowCursor(true);
        EXPECT_TRUE(g.GetWindow()->IsSystemCursorForced());
        EXPECT_EQ(GetCursor(), LoadCursorW(nullptr, IDC_ARROW));
        g.ShowCursor(false);
        EXPECT_FALSE(g.GetWindow()->IsSystemCursorForced());
    };
    EXPECT_EQ(run.Run(), 0);
}

// --- Full screen on other display sizes -----------------------------------------

struct DisplayCase
{
    const char* name;
    uint32_t width, height;
    bool bars;
    uint32_t targetWidth;
    float scale;   // layout units to pixels
    float originX; // the pixel of layout x = 0
    float originY; // the pixel of layout y = 0
};

void PrintTo(const DisplayCase& c, std::ostream* out)
{
    *out << c.name;
}

class FullScreenDisplay : public GameApplicationTest, public ::testing::WithParamInterface<DisplayCase>
{
};

TEST_P(FullScreenDisplay, DrawsThroughTheOffScreenTargetBetweenBlackBars)
{
    const DisplayCase& c = GetParam();
    if (!bwtest::UsePrivateDisplay(int(c.width), int(c.height)))
        GTEST_SKIP() << "no private display";
    GameRun run({L"--data_path", bwtest::SourceDir()});
    run.SeedProfile(false);
    std::vector<uint32_t> shot;
    uint32_t width = 0, height = 0;
    KeepFirstFrame(run, &shot, &width, &height);
    ASSERT_EQ(run.Run(), 0);
    ASSERT_EQ(width, c.width);
    ASSERT_EQ(height, c.height);
    ScriptedGame& game = run.Game();
    ASSERT_NE(game.GetOffscreenTarget(), nullptr);
    EXPECT_EQ(uint32_t(game.GetOffscreenTarget()->GetWidth()), c.targetWidth);
    EXPECT_EQ(game.GetOffscreenTarget()->GetHeight(), 768);
    EXPECT_EQ(game.GetDisplayLayout().mBarsNeeded != 0, c.bars);

    auto at = [&](float x, float y) { return shot[size_t(y) * width + size_t(x)] & 0xFFFFFF; };
    if (c.bars)
    {
        for (float x : {0.0f, 640.0f, 1279.0f})
        {
            EXPECT_EQ(at(x, 0), 0u);
            EXPECT_EQ(at(x, c.originY - 1), 0u) << "the top bar ends where the layout starts";
            EXPECT_EQ(at(x, c.height - c.originY), 0u);
            EXPECT_EQ(at(x, c.height - 1), 0u);
        }
    }
    else
    {
        EXPECT_EQ(at(10, 500), 0u) << "left of the 1024-wide design";
        EXPECT_EQ(at(c.width - 10, 500), 0u);
    }
    // Flat parts of the background, scaled with the layout.
    Composite layout = ComposeStartLayout();
    for (auto point : {std::make_pair(100.0f, 400.0f), std::make_pair(500.0f, 620.0f), std::make_pair(950.0f, 60.0f)})
    {
        const uint32_t expected = layout.color[size_t(point.second) * 1024 + size_t(point.first)];
        const float x = c.originX + point.first * c.scale;
        const float y = c.originY + point.second * c.scale;
        EXPECT_LE(Difference(at(x, y), expected), 3) << point.first << ", " << point.second;
    }
}

INSTANTIATE_TEST_SUITE_P(Sizes, FullScreenDisplay,
                         ::testing::Values(DisplayCase{"Display1280x1024", 1280, 1024, true, 1024, 1.25f, 0.0f, 32.0f},
                                           DisplayCase{"Display1920x1080", 1920, 1080, false, 1365, 1.40625f,
                                                       170.5f * 1.40625f, 0.0f}),
                         [](const ::testing::TestParamInfo<DisplayCase>& info) { return std::string(info.param.name); });

} // namespace
