#include "Game/FrontEnd/Game.h"

#include "Core/Base/Log.h"
#include "Core/File/FileInfo.h"
#include "Core/File/FileManager.h"
#include "Core/File/Profiles.h"
#include "Core/Lang/Lang.h"
#include "Core/Render/BMFont.h"
#include "Core/Layer/ImageLayer.h"
#include "Core/Render/ParticleSystem.h"
#include "Core/Widget/FrameManager.h"
#include "Core/Widget/Widget.h"
#include "Game/Audio/SoundSystem.h"
#include "Game/FrontEnd/FirstProfileDialog.h"
#include "Game/FrontEnd/StartScreen.h"
#include "Game/Play/GameProfile.h"

#include <algorithm>
#include <memory>
#include <new>

Game* gGame = nullptr;

const wchar_t* const Game::kCursorImage = L"data/gui/cursor.png";

namespace
{

struct GameFont
{
    const wchar_t* path;
    // Where the pen starts vertically.
    float adjust;
};

const GameFont kFonts[Game::kFontCount] = {
    {L"data/font/24", -2.0f},
    {L"data/font/32", -3.0f},
    {L"data/font/42", -4.0f},
};

const char* const kParticleFolder = "data/fx/";
const char* const kParticleFile = "fx2.ptc";

} // namespace

Game::Game()
{
    mBaseWidth = 1024;
    mBaseHeight = 768;
    mWideWidth = 1366;
    mCompanyName = L"Brightwork";
    mProductName = L"Orvane";
    gGame = this;
}

Game::~Game()
{
    // The images belong to the renderer, which goes with the application.
    if (render::ParticleSystem* particles = render::ParticleSystem::GetInstance())
        particles->ClearAtlasImages();
    if (gGame == this)
        gGame = nullptr;
}

app::Application* Game::CreateInstance()
{
    return new (std::nothrow) Game;
}

BWResultEnum Game::InitData()
{
    return InitResources();
}

BWResultEnum Game::InitResources()
{
    file::FileManager* files = file::FileManager::Instance();
    lang::Lang* table = lang::Lang::Instance();
    file::Profiles* profiles = file::Profiles::Instance();
    if (!files || !table || !profiles)
        return BW_FAIL;
    files->GetMountTable()[L"data/"] = L"data.dat";
    table->Load(L"data/ru_lang.xml");
    mCaption = table->GetText(L"Window", L"Caption");

    if (!profiles->GetDocument())
        profiles->Load();
    // Without a current profile the window mode stays as it was: windowed.
    if (profiles->GetCurrentProfile())
        mWindowed = GameProfile(profiles).IsWindowed() ? 1 : 0;
    return BW_OK;
}

BWResultEnum Game::InitGame()
{
    for (size_t i = 0; i < kFontCount; ++i)
    {
        if (BWResultEnum result = LoadFont(kFonts[i].path, kFonts[i].adjust, &mFonts[i]))
            return result;
    }
    if (BWResultEnum result = LoadParticles())
        return result;
    if (BWResultEnum result = LoadSounds())
        return result;

    GameProfile profile(file::Profiles::Instance());
    mSoundsVolume = profile.GetSoundsVolume();
    mSounds.SetVolume(mSoundsVolume);
    if (SoundSystem* sound = SoundSystem::Instance())
        sound->SetMusicVolume(profile.GetMusicVolume());

    if (BWResultEnum result = SetUpCursor())
        return result;
    if (BWResultEnum result = SetScreen(new (std::nothrow) StartScreen))
        return result;
    if (GetPlayerNames().empty())
        return OpenDialog(new (std::nothrow) FirstProfileDialog);
    return BW_OK;
}

BWResultEnum Game::LoadSounds()
{
    // The samples need the audio output, which the sound system opens.
    if (!SoundSystem::Instance())
        return BW_FAIL;
    return mSounds.Load(SoundRegistry::kPath);
}

BWResultEnum Game::SetUpCursor()
{
    layer::ImageLayer* image = nullptr;
    if (!mFrameManager || CreateImageLayer(kCursorImage, nullptr, &image, false, nullptr) != BW_OK || !image)
    {
        BW_LOG(L"The cursor image '%s' cannot be loaded.\n") % std::wstring(kCursorImage);
        return BW_FAIL;
    }
    widget::Widget* cursor = new (std::nothrow) widget::Widget;
    if (!cursor)
    {
        delete image;
        return BW_FAIL;
    }
    cursor->SetLayer(image, true);
    mFrameManager->SetCursorWidget(cursor);
    // The game draws its own pointer from here on.
    ShowCursor(false);
    return BW_OK;
}

std::vector<std::wstring> Game::GetPlayerNames()
{
    file::Profiles* profiles = file::Profiles::Instance();
    if (!profiles)
        return {};
    std::vector<std::wstring> names = profiles->GetProfileNames();
    names.erase(std::remove(names.begin(), names.end(), std::wstring(file::Profiles::kPlaceholderName)), names.end());
    return names;
}

BWResultEnum Game::OpenDialog(LayoutDialog* dialog)
{
    if (!dialog || !mFrameManager)
    {
        delete dialog;
        return BW_FAIL;
    }
    dialog->SetHitRect(mLayoutRect[0], mLayoutRect[1], mLayoutRect[2], mLayoutRect[3]);
    if (BWResultEnum result = dialog->Load())
    {
        delete dialog;
        return result;
    }
    return mFrameManager->ShowFrame(dialog, true, true, true);
}

bool Game::PlaySound(const std::string& name)
{
    return mSounds.Play(name);
}

BWResultEnum Game::LoadParticles()
{
    render::ParticleSystem* particles = render::ParticleSystem::Instance();
    file::FileManager* files = file::FileManager::Instance();
    if (!particles || !files)
        return BW_FAIL;
    // The game deletes the atlases, so it goes first at exit.
    base::SingletonRegistry::AddPair(this, particles);
    particles->mFolder = kParticleFolder;
    // The particle system skips a file it cannot find or read; the game
    // needs its effects, so it looks first and checks after.
    const std::string name = std::string(kParticleFolder) + kParticleFile;
    const std::wstring path(name.begin(), name.end());
    const wchar_t* const extensions[] = {L"", L".ptc"};
    std::unique_ptr<file::FileInfo> info(files->GetFileInfo(path, extensions, 2));
    if (!info)
    {
        BW_LOG(L"The particle effects '%s' are missing.\n") % path;
        return BW_FAIL;
    }
    particles->LoadFile(kParticleFile, mRender);
    if (particles->mEmitters.empty())
    {
        BW_LOG(L"The particle effects '%s' hold no effect.\n") % path;
        return BW_FAIL;
    }
    return BW_OK;
}

render::BMFont* Game::GetFont(size_t index) const
{
    return index < kFontCount ? static_cast<render::BMFont*>(mFonts[index].Get()) : nullptr;
}

BWResultEnum Game::Update(float dt)
{
    if (!IsPaused())
        mSounds.Tick(dt);
    return BW_OK;
}

BWResultEnum Game::Frame(float dt)
{
    return framework::GameApplication::Frame(dt);
}

void Game::OnActivate()
{
    if (SoundSystem* sound = SoundSystem::Instance())
        sound->Resume();
    mPaused = false;
}

void Game::OnDeactivate()
{
    if (SoundSystem* sound = SoundSystem::Instance())
        sound->Pause();
    mPaused = true;
}
