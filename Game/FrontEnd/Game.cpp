#include "Game/FrontEnd/Game.h"

#include "Core/File/FileManager.h"
#include "Core/File/Profiles.h"
#include "Core/Lang/Lang.h"
#include "Game/Audio/SoundSystem.h"
#include "Game/FrontEnd/StartScreen.h"
#include "Game/Play/GameProfile.h"

#include <new>

Game* gGame = nullptr;

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
    if (SoundSystem* sound = SoundSystem::Instance())
        sound->SetMusicVolume(GameProfile(file::Profiles::Instance()).GetMusicVolume());
    return SetScreen(new (std::nothrow) StartScreen);
}

BWResultEnum Game::Update(float)
{
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
}

void Game::OnDeactivate()
{
    if (SoundSystem* sound = SoundSystem::Instance())
        sound->Pause();
    mPaused = true;
}
