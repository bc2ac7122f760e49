#pragma once

// The engine's game-shaped application. It owns the window, the renderer, the
// input object and the frame manager, brings them up in a fixed order at
// start-up, runs one frame per update of its window, switches between window
// and full screen, hands every input event to the frame manager and keeps the
// objects queued for deferred deletion. The game derives from it and supplies
// its data (InitData), its own start (InitGame) and its per-frame update
// (Update).

#include "Core/App/Application.h"
#include "Core/App/Win32/MonitorInfo.h"
#include "Core/Base/DeferredDeleteManager.h"
#include "Core/Input/CoordConverter.h"
#include "Core/Input/InputListener.h"
#include "Core/Math/Matrix4.h"
#include "Core/Render/Render.h"
#include "Framework/DisplaySettings.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace tinyxml2
{
class XMLDocument;
}
namespace input
{
class InputWin32;
}
namespace render
{
class Graphics;
class Image;
class ImageRect;
}
namespace resource
{
class ResourceHandle;
}
namespace base
{
class ImageInfo;
}
namespace file
{
class Container;
}
namespace layer
{
class ImageLayer;
}
namespace widget
{
class Dialog;
class FrameManager;
}

namespace framework
{

class GameWindow;

class GameApplication : public app::Application,
                        public input::InputListener,
                        public input::CoordConverter,
                        public base::DeferredDeleteManager
{
public:
    GameApplication();
    // Deletes what waits for deletion, the off-screen target, the input
    // object, the frame manager, the renderer and the window, in that order.
    ~GameApplication() override;

    // The start-up sequence: data root, user folder, log file, InitData, the
    // window and the renderer, the frame manager, then the pack-building
    // screen ("--pack") or InitGame. Any failure ends it with its code; a
    // failure once the window runs also stops the application.
    BWResultEnum Start() override;
    using app::Application::Start;

    virtual BWResultEnum DrawOverlay(render::Graphics* graphics);
    // One frame: input, game and screen updates, deferred deletions, drawing,
    // present. Skipped while the device cannot render.
    virtual BWResultEnum Frame(float dt);
    virtual void OnActivate();
    virtual void OnDeactivate();
    // Between window and full screen; subscribers are told the new mode.
    virtual BWResultEnum SwitchScreenMode();
    virtual BWResultEnum InitGame() = 0;
    virtual BWResultEnum Update(float dt) = 0;
    virtual BWResultEnum InitData();

    // Display settings for a mode (the record and this object's layout,
    // conversion, bar and target values), and the off-screen target they ask for.
    BWResultEnum ComputeDisplaySettings(bool windowed, DisplaySettings& settings);
    BWResultEnum SetupOffscreenTarget(const DisplaySettings& settings);

    // Takes the current screen off the frame manager (deleted), then loads the
    // new one and shows it, deferred, at the layout rectangle. The current
    // screen again changes nothing.
    BWResultEnum SetScreen(widget::Dialog* screen);
    // A layer showing the named image of the container (or of the file
    // system); placed at the image's offset when asked.
    BWResultEnum CreateImageLayer(const std::wstring& name, file::Container* container, layer::ImageLayer** out,
                                  bool placeAtImageOffset, base::ImageInfo* info);
    // The bitmap font of that path ("<path>.fnt"), shared by everyone who
    // asks for the path and loaded by the first; adjust is where its pen
    // starts vertically. out gets a handle of its own; 1 when the font
    // cannot be loaded.
    BWResultEnum LoadFont(const std::wstring& path, float adjust, resource::ResourceHandle* out);
    // A new image of the named picture (of the container, else of the file
    // system), the caller's to delete; null when it cannot be made.
    render::ImageRect* GetTexture(const std::wstring& name, file::Container* container);
    // The system arrow over the game (true) or the game's own cursor.
    void ShowCursor(bool show);

    // input::InputListener: everything goes to the frame manager.
    BWResultEnum OnMouseDown(const input::Point& position, uint32_t button) override;
    BWResultEnum OnMouseUp(const input::Point& position, uint32_t button) override;
    BWResultEnum OnMouseDoubleClick(const input::Point& position, uint32_t button) override;
    BWResultEnum OnMouseMove(const input::Point& position) override;
    BWResultEnum OnMouseDrag(const input::Point& position) override;
    BWResultEnum OnMouseWheel(const input::Point& position, int delta) override;
    BWResultEnum OnMouseLeave(const input::Point& position) override;
    BWResultEnum OnKeyDown(int key) override;
    BWResultEnum OnKeyUp(int key) override;
    BWResultEnum OnChar(wchar_t character) override;
    BWResultEnum OnPointerDown(const input::PointerEvent* events, int count) override;
    BWResultEnum OnPointerMove(const input::PointerEvent* events, int count) override;
    BWResultEnum OnPointerUp(const input::PointerEvent* events, int count) override;
    BWResultEnum OnPointerCancel(const input::PointerEvent* events, int count) override;

    // input::CoordConverter.
    input::Point& ConvertPoint(input::Point& out, const input::Point& windowPoint) override;
    input::Point& RotatePoint(input::Point& out, const input::Point& point, int mode) override;

    GameWindow* GetWindow() const { return mWindow; }
    render::Render* GetRender() const { return mRender; }
    widget::FrameManager* GetFrameManager() const { return mFrameManager; }
    input::InputWin32* GetInput() const { return mInput; }
    widget::Dialog* GetScreen() const { return mCurrentScreen; }
    render::Image* GetOffscreenTarget() const { return mOffscreenTarget; }
    tinyxml2::XMLDocument* GetGameDocument() const { return mGameDocument.get(); }
    const std::vector<app::MonitorInfo>& GetMonitors() const { return mMonitors; }
    const std::wstring& GetCompanyName() const { return mCompanyName; }
    const std::wstring& GetProductName() const { return mProductName; }
    const std::wstring& GetCaption() const { return mCaption; }
    uint32_t GetBaseWidth() const { return mBaseWidth; }
    uint32_t GetBaseHeight() const { return mBaseHeight; }
    uint32_t GetWideWidth() const { return mWideWidth; }
    bool GetWindowedPreference() const { return mWindowed != 0; }
    // x, y, width, height.
    const float* GetLayoutRect() const { return mLayoutRect; }
    const DisplayLayout& GetDisplayLayout() const { return mDisplay; }

protected:
    GameWindow* mWindow = nullptr;
    render::Render* mRender = nullptr;
    widget::FrameManager* mFrameManager = nullptr;
    input::InputWin32* mInput = nullptr;
    std::wstring mCompanyName;
    std::wstring mProductName;
    std::wstring mCaption;
    uint32_t mBaseWidth = 0;
    uint32_t mBaseHeight = 0;
    uint32_t mWideWidth = 0;
    uint8_t mWindowed = 1;
    std::vector<app::MonitorInfo> mMonitors;
    std::unique_ptr<tinyxml2::XMLDocument> mGameDocument;
    render::Image* mOffscreenTarget = nullptr;
    // Shown layout, point conversion, bars, and how the target is drawn.
    DisplayLayout mDisplay;
    float mLayoutRect[4] = {0.0f, 0.0f, 0.0f, 0.0f};
    widget::Dialog* mCurrentScreen = nullptr;

private:
    BWResultEnum RunStartUp();
    void ReleaseOffscreenTarget();
};

// The game application, set by its constructor.
extern GameApplication* gGameApplication;

} // namespace framework
