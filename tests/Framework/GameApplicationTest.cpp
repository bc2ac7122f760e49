// The game application run for real in the test's process: start-up order,
// the ways start-up fails, the first frame's pixels, screen modes and device loss.

#include "Core/File/FileManager.h"
#include "Core/Psd/PsdFile.h"
#include "Core/Render/BMFont.h"
#include "Core/Render/Image.h"
#include "Core/Render/ImageRect.h"
#include "Core/Render/ParticleEmitter.h"
#include "Core/Render/ParticleSystem.h"
#include "Core/Resource/ResourceHandle.h"
#include "Core/Resource/ResourceManager.h"
#include "Core/Widget/Dialog.h"
#include "Core/Widget/FrameManager.h"
#include "Framework/GameWindow.h"
#include "Game/Audio/SoundSystem.h"
#include "Platform/Win32/Win32User.h"
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
using testing_support::ReadFile;
using testing_support::TempFolder;

namespace
{

// A data root with the language table, the game's fonts, sounds, cursor and
// particle effects and an empty start layout; the file a case names is left
// out, or replaced when it gives a content.
void WriteMinimalData(const TempFolder& root, const std::string& gameXml, const std::string& omit, const char* content)
{
    std::vector<std::pair<std::string, std::string>> files = {
        {"data/ru_lang.xml", "<?xml version=\"1.0\"?><Lang><Window><T id=\"Caption\">T</T></Window></Lang>"},
        {"data/game.xml", gameXml},
        {"data/gui/start/layers.xml", "<Layers/>"},
        {"data/sounds.ini", ReadFile(BW_SOURCE_DIR "/data/sounds.ini")},
        {"data/gui/cursor.png", ReadFile(BW_SOURCE_DIR "/data/gui/cursor.png")}};
    for (const std::string folder : {"data/font/", "data/fx/", "data/sound/"})
        if (DIR* listing = opendir((BW_SOURCE_DIR "/" + folder).c_str()))
        {
            while (dirent* entry = readdir(listing))
                if (entry->d_name[0] != '.')
                    files.emplace_back(folder + entry->d_name, ReadFile(BW_SOURCE_DIR "/" + folder + entry->d_name));
            closedir(listing);
        }
    for (const auto& file : files)
        if (file.first != omit || content)
            root.Write(file.first, file.first != omit ? file.second : content);
}

// The start layout composed from its PSD as the first screen shows it (the
// markers and pressed states left out): the colour where a picture covers a
// pixel fully, else 0 (not compared).
std::vector<uint32_t> ComposeStartLayout()
{
    std::vector<uint32_t> out(1024 * 768, 0);
    file::PsdFile psd(bwtest::SourceDir() + L"/data/gui/start.psd", file::FileManager::Instance());
    std::vector<const base::ImageInfo*> layers;
    for (uint32_t i = 0; i < psd.GetLayerCount(); ++i)
    {
        const std::wstring& name = psd.GetLayer(i)->mName;
        if (name.find(L'|') == std::wstring::npos && (name.size() < 3 || name.substr(name.size() - 3) != L"/in"))
            layers.push_back(psd.GetLayer(i));
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
                const uint32_t argb = pixels[size_t(y) * layer->mWidth + x];
                if (px >= 0 && py >= 0 && px < 1024 && py < 768 && (argb >> 24) != 0 && layer->mOpacity != 0)
                    out[size_t(py) * 1024 + px] = (argb >> 24) == 255 && layer->mOpacity == 255 ? argb : 0;
            }
    }
    return out;
}

int Difference(uint32_t a, uint32_t b)
{
    int most = 0;
    for (int shift = 0; shift < 24; shift += 8)
        most = std::max(most, std::abs(int((a >> shift) & 255) - int((b >> shift) & 255)));
    return most;
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

// One run: the parts come up in order with the profile's volumes, the first
// frame shows the layout's pixels, the game's services work, and SetScreen
// replaces screens; fonts and particle atlases go while the renderer runs.
TEST(GameApplicationTest, ARunStartsInOrderDrawsTheLayoutServesTheGameAndReplacesItsScreen)
{
    resource::ResourceManager::CountedMap& fonts = resource::ResourceManager::Instance()->GetBMFontMap();
    render::ParticleSystem* particles = render::ParticleSystem::Instance();
    const wchar_t* const fontPaths[] = {L"data/font/24", L"data/font/32", L"data/font/42"};
    std::vector<uint32_t> shot;
    uint32_t width = 0, height = 0;
    input::Point cursor;
    {
        GameRun run({L"--data_path", bwtest::SourceDir()});
        run.WriteProfiles("<?xml version=\"1.0\"?><Profiles currentProfile=\"P\"><Profile name=\"P\"><GameProfile "
                          "is_windowed=\"1\" sounds_volume=\"0.25\" music_volume=\"0.75\"/></Profile></Profiles>");
        ScriptedGame& game = run.Game();
        bool sawInitData = false, sawInitGame = false;
        game.mOnInitData = [&] {
            sawInitData = true;
            char cwd[4096];
            EXPECT_EQ(testing_support::Widen(getcwd(cwd, sizeof(cwd))), bwtest::SourceDir()) << "the data root first";
            EXPECT_TRUE(testing_support::PathExists(run.UserFolder() + "log.html")) << "the log is open before the data";
            EXPECT_EQ(game.GetWindow(), nullptr);
            EXPECT_EQ(game.GetRender(), nullptr);
            return BW_OK;
        };
        game.mOnInitGame = [&] {
            sawInitGame = true;
            EXPECT_EQ(game.GetCaption().find(L"Орвейн "), 0u);
            EXPECT_TRUE(game.GetWindow()->IsCreated());
            EXPECT_NE(game.GetDevice(), nullptr) << "the renderer runs before the game starts";
            EXPECT_EQ(game.GetPendingCount(), 1u) << "the window has joined the task tree";
            EXPECT_NE(game.GetGameDocument()->FirstChildElement("Game"), nullptr);
            const float* rect = game.GetLayoutRect();
            EXPECT_EQ(std::vector<float>(rect, rect + 4), (std::vector<float>{-171, 0, 1366, 768}));
            return BW_OK;
        };
        bool firstDeleted = false, failedDeleted = false, againDeleted = false, lastDeleted = false;
        CountedDialog* first = nullptr;
        CountedDialog* again = nullptr;
        game.mOnFrame = [&](ScriptedGame& g, int frame) {
            widget::FrameManager* frames = g.GetFrameManager();
            if (frame == 2) // the first frame was presented
            {
                ASSERT_EQ(g.GetPresentedFrames(), 1);
                shot = g.ReadBackBuffer(&width, &height);
                cursor = frames->GetCursorPosition();
                ASSERT_EQ(frames->GetStack().size(), 1u);
                EXPECT_EQ(frames->GetStack()[0].frame, g.GetScreen());
                EXPECT_EQ(frames->GetActiveFrame(), g.GetScreen());
                for (size_t i = 0; i < Game::kFontCount; ++i)
                {
                    ASSERT_TRUE(g.GetFont(i) && g.GetFont(i)->IsLoaded()) << i;
                    EXPECT_EQ(fonts.at(fontPaths[i]).resource, g.GetFont(i));
                }
                EXPECT_NE(std::unique_ptr<render::ParticleEmitter>(particles->CreateEmitter("sparkle")), nullptr);
                EXPECT_FALSE(particles->mAtlasImages.empty());
                EXPECT_EQ(g.GetSounds().GetVolume(), 0.25f);
                EXPECT_EQ(SoundSystem::Instance()->GetMusicVolume(), 0.75f);

                // Fonts are shared resources; textures are the caller's own images of one texture.
                resource::ResourceHandle handle;
                ASSERT_EQ(g.LoadFont(L"data/font/24", -9.0f, &handle), BW_OK);
                EXPECT_EQ(handle.Get(), static_cast<resource::Resource*>(g.GetFont(0)));
                resource::ResourceHandle missing;
                EXPECT_EQ(g.LoadFont(L"data/font/none", 0.0f, &missing), BW_FAIL);
                EXPECT_EQ(missing.Get(), nullptr);
                EXPECT_EQ(resource::ResourceManager::Instance()->GetBMFontMap().count(L"data/font/none"), 0u);
                std::unique_ptr<render::ImageRect> a(g.GetTexture(L"data/images/quadrants.png", nullptr));
                std::unique_ptr<render::ImageRect> b(g.GetTexture(L"data/images/quadrants.png", nullptr));
                ASSERT_TRUE(a && b);
                EXPECT_NE(a, b);
                EXPECT_EQ(a->GetTexture(), b->GetTexture());
                EXPECT_EQ(g.GetTexture(L"data/images/none.png", nullptr), nullptr);
            }
            if (frame == 3)
            {
                first = new CountedDialog(BW_OK, &firstDeleted);
                EXPECT_EQ(g.SetScreen(first), BW_OK);
                EXPECT_EQ(first->GetHitRect()[0], -171.0f) << "screens cover the layout rectangle";
            }
            if (frame == 5)
            {
                EXPECT_EQ(frames->GetStack().back().frame, first);
                EXPECT_EQ(g.SetScreen(new CountedDialog(BW_FAIL, &failedDeleted)), BW_FAIL);
                EXPECT_EQ(g.GetScreen(), nullptr);
                EXPECT_EQ(g.SetScreen(nullptr), BW_FAIL);
            }
            if (frame == 7)
            {
                EXPECT_TRUE(firstDeleted && failedDeleted);
                EXPECT_TRUE(frames->GetStack().empty());
                again = new CountedDialog(BW_OK, &againDeleted);
                EXPECT_EQ(g.SetScreen(again), BW_OK);
                EXPECT_EQ(g.SetScreen(again), BW_OK) << "the current screen again changes nothing";
            }
            if (frame == 9)
            {
                EXPECT_FALSE(againDeleted);
                EXPECT_EQ(g.GetScreen(), again);
                ASSERT_EQ(frames->GetStack().size(), 1u);
                EXPECT_EQ(frames->GetStack()[0].frame, again);
                frames->RemoveFrame(again, true, true); // closes itself; forgotten once deleted
            }
            if (frame == 11)
            {
                EXPECT_TRUE(againDeleted);
                EXPECT_EQ(g.GetScreen(), nullptr);
                EXPECT_EQ(g.SetScreen(new CountedDialog(BW_OK, &lastDeleted)), BW_OK);
                g.Stop();
            }
        };
        ASSERT_EQ(run.Run(), 0);
        EXPECT_TRUE(sawInitData && sawInitGame);
        EXPECT_FALSE(lastDeleted);
    }
    for (const wchar_t* path : fontPaths)
        EXPECT_EQ(fonts.count(path), 0u);
    EXPECT_TRUE(particles->mAtlasImages.empty());
    ASSERT_EQ(width, 1366u);
    ASSERT_EQ(height, 768u);

    const std::vector<uint32_t> layout = ComposeStartLayout();
    size_t compared = 0, wrong = 0;
    for (uint32_t y = 0; y < 768; ++y)
        for (uint32_t x = 0; x < 1024; ++x)
        {
            // The game cursor, 32 pixels square, lies above the layout.
            const bool underCursor = x >= cursor.x && x < cursor.x + 32 && y >= cursor.y && y < cursor.y + 32;
            if (layout[size_t(y) * 1024 + x] == 0 || underCursor)
                continue;
            ++compared;
            // The 1024-wide screen sits at layout x = 0, 171 pixels into the window.
            wrong += Difference(shot[size_t(y) * 1366 + x + 171], layout[size_t(y) * 1024 + x]) > 1;
        }
    EXPECT_GT(compared, 1024u * 600u);
    EXPECT_EQ(wrong, 0u) << "of " << compared;
    // Beyond the 1024-wide design the wide layout is empty: cleared to black.
    EXPECT_EQ(shot[100 * 1366 + 50] & 0xFFFFFF, 0u);
    EXPECT_EQ(shot[700 * 1366 + 1300] & 0xFFFFFF, 0u);
}

// The profile rows also show the window mode chosen before the window runs:
// windowed only when the current profile says exactly "1".
TEST(GameApplicationTest, StartUpFailuresEndWithExitCodeOneAndNoFrame)
{
    const char* const badEffects = "<Game><DialogEffects><Effect type=\"fade\"/></DialogEffects></Game>";
    const struct
    {
        std::vector<std::wstring> arguments; // "<data>" stands for a data root of the case
        const char* gameXml;                 // for that data root; null: the bundled data
        int failIn;                          // 1: InitData, 2: InitGame
        bool windowJoined;                   // the failure comes after the window joined the task tree
        const char* omit;                    // the file of that data root left out or replaced
        const wchar_t* why;                  // what the log says went wrong
        const char* content = nullptr;       // the replacement
        const char* profile = nullptr;       // the current profile's record; "-": no "profiles.xml"
        int windowed = -1;                   // the window mode seen at InitGame, when checked
    } cases[] = {
        {{L"--data_path"}, nullptr, 0, false, "", L""},
        {{L"--data_path", L"/no/such/folder"}, nullptr, 0, false, "", L""},
        {{L"--data_path", L"<data>"}, nullptr, 1, false, "", L""},
        {{L"--pack", L"a.dat", L"b.dat"}, nullptr, 0, true, "", L""},
        {{L"--data_path", L"<data>"}, nullptr, 2, true, "", L"", nullptr, "<GameProfile is_windowed=\"1\"/>", 1},
        {{L"--data_path", L"<data>"}, nullptr, 2, true, "", L"", nullptr, "<GameProfile is_windowed=\"true\"/>", 0},
        {{L"--data_path", L"<data>"}, nullptr, 2, true, "", L"", nullptr, "", 0},
        {{L"--data_path", L"<data>"}, nullptr, 2, true, "", L"", nullptr, "-", 0},
        {{L"--data_path", L"<data>"}, "<Game/>", 0, true, "data/gui/start/layers.xml",
         L"The layout 'data/gui/start' cannot be opened."},
        {{L"--data_path", L"<data>"}, "<Game/>", 0, true, "data/font/32.fnt",
         L"The font 'data/font/32' cannot be loaded."},
        {{L"--data_path", L"<data>"}, "<Game/>", 0, true, "data/font/42_1.png",
         L"The font 'data/font/42' cannot be loaded."},
        {{L"--data_path", L"<data>"}, "<Game/>", 0, true, "data/fx/fx2.ptc",
         L"The particle effects 'data/fx/fx2.ptc' are missing."},
        {{L"--data_path", L"<data>"}, badEffects, 0, true, "", L""},
        {{L"--data_path", L"<data>"}, "<Game/>", 0, true, "data/sounds.ini", L"'data/sounds.ini' is missing"},
        {{L"--data_path", L"<data>"}, "<Game/>", 0, true, "data/sounds.ini", L"'data/sounds.ini', line 2",
         "click = click.wav, 0, 1\nboom: a.wav\n"},
        {{L"--data_path", L"<data>"}, "<Game/>", 0, true, "data/sound/type.wav", L"'data/sound/type.wav' is missing"},
        {{L"--data_path", L"<data>"}, "<Game/>", 0, true, "data/sound/type.wav",
         L"'data/sound/type.wav' cannot be decoded", "RIFF....WAVEjunk"},
        {{L"--data_path", L"<data>"}, "<Game/>", 0, true, "data/sound/click.wav",
         L"'data/sound/click.wav' cannot be decoded", ""},
        {{L"--data_path", L"<data>"}, "<Game/>", 0, true, "data/gui/cursor.png", L"'data/gui/cursor.png'"},
        {{L"--data_path", L"<data>"}, "<Game/>", 0, true, "data/gui/cursor.png", L"'data/gui/cursor.png'",
         "not a picture"},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(&c - cases);
        TempFolder data;
        std::vector<std::wstring> arguments;
        for (const std::wstring& argument : c.arguments)
            arguments.push_back(argument == L"<data>" ? (c.gameXml ? data.WidePath() : bwtest::SourceDir()) : argument);
        if (c.gameXml)
            WriteMinimalData(data, c.gameXml, c.omit, c.content);
        GameRun run(arguments);
        if (c.profile)
            run.WriteProfiles(*c.profile == '-' ? std::string()
                                                : std::string("<Profiles currentProfile=\"P\"><Profile name=\"P\">") +
                                                      c.profile + "</Profile></Profiles>");
        ScriptedGame& game = run.Game();
        bool windowed = false;
        game.mOnInitData = [&] {
            EXPECT_TRUE(game.GetWindowedPreference()) << "windowed until a profile says otherwise";
            return c.failIn == 1 ? BW_FAIL : BW_OK;
        };
        game.mOnInitGame = [&] {
            windowed = game.GetWindowedPreference();
            return c.failIn == 2 ? BW_FAIL : BW_OK;
        };
        testing_support::LogCapture log;
        EXPECT_EQ(run.Run(), 1);
        EXPECT_TRUE(log.Contains(c.why)) << "the failure is the case's own";
        EXPECT_TRUE(game.IsStopRequested()) << "the loop does not run";
        EXPECT_EQ(game.GetFrameCalls(), 0);
        // Once the window has joined, the stopped application still ends
        // without running a frame: no empty window is left open.
        EXPECT_EQ(game.GetPendingCount() + game.GetChildCount(), c.windowJoined ? 1u : 0u);
        EXPECT_TRUE(c.windowed < 0 || windowed == (c.windowed == 1)) << "windowed " << windowed;
        // A sound that failed leaves none behind; the cursor comes after the sounds.
        const std::string omitted = c.omit;
        const bool cursor = omitted == "data/gui/cursor.png";
        EXPECT_TRUE(omitted.find("sound") == std::string::npos || game.GetSounds().Has("click") == cursor);
        EXPECT_TRUE(!cursor || game.GetSounds().Has("click"));
    }
}

struct DisplayCase
{
    const char* name;
    uint32_t width, height;
    bool bars;
    uint32_t targetWidth;
    float scale, originX, originY; // layout units to pixels; the pixel of layout (0, 0)
};

class FullScreenDisplay : public ::testing::TestWithParam<DisplayCase>
{
};

TEST_P(FullScreenDisplay, DrawsThroughTheOffScreenTargetBetweenBlackBars)
{
    const DisplayCase& c = GetParam();
    if (!bwtest::UsePrivateDisplay(int(c.width), int(c.height)))
        GTEST_SKIP() << "no private display";
    // An unknown first argument is ignored: the data root is then the
    // executable's folder, and the run goes to the test's data.
    GameRun run({L"--windowed"});
    run.Game().mOnInitData = [] { return file::SetCurrentDirectory(bwtest::SourceDir()); };
    run.SeedProfile(false);
    std::vector<uint32_t> shot;
    uint32_t width = 0, height = 0;
    run.Game().mOnFrame = [&](ScriptedGame& g, int) {
        if (g.GetPresentedFrames() == 1)
            shot = g.ReadBackBuffer(&width, &height), g.Stop();
    };
    ASSERT_EQ(run.Run(), 0);
    ASSERT_EQ(width, c.width);
    ASSERT_EQ(height, c.height);
    ScriptedGame& game = run.Game();
    ASSERT_NE(game.GetOffscreenTarget(), nullptr);
    EXPECT_EQ(uint32_t(game.GetOffscreenTarget()->GetWidth()), c.targetWidth);
    EXPECT_EQ(game.GetOffscreenTarget()->GetHeight(), 768);
    EXPECT_EQ(game.GetDisplayLayout().mBarsNeeded != 0, c.bars);

    auto at = [&](float x, float y) { return shot[size_t(y) * width + size_t(x)] & 0xFFFFFF; };
    // Black bars above and below, or the sides beyond the 1024-wide design.
    for (float x : {0.0f, 640.0f, 1279.0f})
        for (float y : {0.0f, c.originY - 1, c.height - c.originY, c.height - 1.0f})
            EXPECT_EQ(c.bars ? at(x, y) : at(10, 500) | at(c.width - 10, 500), 0u) << x << ", " << y;
    // Flat parts of the background, scaled with the layout.
    const std::vector<uint32_t> layout = ComposeStartLayout();
    for (auto point : {std::make_pair(100.0f, 400.0f), std::make_pair(500.0f, 620.0f), std::make_pair(950.0f, 60.0f)})
    {
        const uint32_t expected = layout[size_t(point.second) * 1024 + size_t(point.first)];
        EXPECT_LE(Difference(at(c.originX + point.first * c.scale, c.originY + point.second * c.scale), expected), 3)
            << point.first << ", " << point.second;
    }
}

INSTANTIATE_TEST_SUITE_P(Sizes, FullScreenDisplay,
                         ::testing::Values(DisplayCase{"Display1280x1024", 1280, 1024, true, 1024, 1.25f, 0.0f, 32.0f},
                                           DisplayCase{"Display1920x1080", 1920, 1080, false, 1365, 1.40625f,
                                                       170.5f * 1.40625f, 0.0f}),
                         [](const ::testing::TestParamInfo<DisplayCase>& info) { return std::string(info.param.name); });

} // namespace
