#include "tests/Support/ScriptedGame.h"

#include "Core/File/Profiles.h"
#include "Core/Render/DX9/RenderDX9.h"
#include "Platform/D3D9/D3D9TestHooks.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <unistd.h>

namespace bwtest
{

BWResultEnum ScriptedGame::InitData()
{
    if (BWResultEnum result = mOnInitData ? mOnInitData() : BW_OK)
        return result;
    // A run before this one in the same process read another user folder.
    if (file::Profiles* profiles = file::Profiles::Instance())
        if (profiles->GetDocument())
            profiles->Load();
    BWResultEnum result = ::Game::InitData();
    // Another test's game with the same caption would pass for a running copy.
    if (result == BW_OK)
        mCaption += L" " + std::to_wstring(getpid());
    return result;
}

BWResultEnum ScriptedGame::InitGame()
{
    BWResultEnum result = mOnInitGame ? mOnInitGame() : BW_OK;
    return result ? result : ::Game::InitGame();
}

BWResultEnum ScriptedGame::Update(float dt)
{
    ++mUpdates;
    return ::Game::Update(dt);
}

BWResultEnum ScriptedGame::Frame(float dt)
{
    ++mFrameCalls;
    if (mOnFrame)
        mOnFrame(*this, mFrameCalls);
    if (mFrameCalls == 1)
        mStartTime = std::chrono::steady_clock::now();
    // After 2000 frames, or a minute, the run is stopped (a failure) whatever the script does.
    if (mFrameCalls >= 2000 || std::chrono::steady_clock::now() - mStartTime > std::chrono::seconds(60))
    {
        ADD_FAILURE() << "the run was stopped after " << mFrameCalls << " frames";
        Stop();
    }
    const int updates = mUpdates;
    BWResultEnum result = ::Game::Frame(dt);
    if (result == BW_OK && mUpdates != updates)
        ++mPresented;
    return result;
}

IDirect3DDevice9* ScriptedGame::GetDevice() const
{
    auto* render = dynamic_cast<render::RenderDX9*>(mRender);
    return render ? render->GetDevice() : nullptr;
}

std::vector<uint32_t> ScriptedGame::ReadBackBuffer(uint32_t* width, uint32_t* height) const
{
    std::vector<D3DCOLOR> pixels;
    UINT w = 0, h = 0;
    if (!GetDevice() || !d3d9::test::ReadRenderTarget(GetDevice(), nullptr, &pixels, &w, &h))
        pixels.clear();
    *width = w;
    *height = h;
    return std::vector<uint32_t>(pixels.begin(), pixels.end());
}

GameRun::GameRun(std::vector<std::wstring> arguments) : mArguments(std::move(arguments)), mGame(new ScriptedGame)
{
    base::Singletone<app::Application>::SetInstance(mGame);
    SeedProfile(true);
}

GameRun::~GameRun()
{
    delete mGame;
    base::Singletone<app::Application>::SetInstance(nullptr);
}

std::string GameRun::UserFolder() const
{
    return mHome.Path() + "Brightwork/Orvane/";
}

void GameRun::SeedProfile(bool windowed) const
{
    WriteProfiles(std::string("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<Profiles currentProfile=\"Tester\">"
                              "<Profile name=\"Tester\"><GameProfile is_windowed=\"") +
                  (windowed ? "1" : "0") + "\"/></Profile></Profiles>\n");
}

void GameRun::WriteProfiles(const std::string& xml) const
{
    if (xml.empty())
        std::remove((UserFolder() + "profiles.xml").c_str());
    else
        mHome.Write("Brightwork/Orvane/profiles.xml", xml);
}

int GameRun::Run()
{
    setenv("XDG_DATA_HOME", mHome.Path().c_str(), 1);
    mGame->SetArguments(mArguments);
    if (mGame->InitApplication() != BW_OK)
        return 1;
    mGame->RunApplication();
    return mGame->GetExitCode();
}

std::wstring SourceDir()
{
    return testing_support::Widen(BW_SOURCE_DIR);
}

} // namespace bwtest
