#pragma once

// The layer's side of the test hooks: forced results and the call log are
// applied around each public method through CallTrace; the adapter's
// configured answers are read by Direct3D9 and Device.

#include "Platform/D3D9/D3D9TestHooks.h"

#include <initializer_list>

namespace d3d9
{

class Device;

namespace hooks
{

// True while the call log is on or a forced result is pending, so untraced
// calls cost one test.
extern bool gTracing;

class CallTrace
{
public:
    CallTrace(test::Call call, const void* object, std::initializer_list<test::Arg> args,
              test::Call alsoForced = test::Call::Count)
    {
        if (gTracing)
            Begin(call, object, args, alsoForced);
    }

    // A failure is forced: the method returns Forced() without doing anything.
    bool Fails() const { return mForced && mForcedResult < 0; }
    HRESULT Forced() { return Finish(mForcedResult); }

    // Logs the call and returns what the caller gets: a forced success code
    // in place of D3D_OK. `out` is the object handed out, if any.
    HRESULT Finish(HRESULT result, const void* out = nullptr)
    {
        if (mForced && mForcedResult >= 0 && result == D3D_OK)
            result = mForcedResult;
        if (mLogged)
            End(result, out);
        return result;
    }

private:
    void Begin(test::Call call, const void* object, std::initializer_list<test::Arg> args, test::Call alsoForced);
    void End(HRESULT result, const void* out);

    bool mForced = false;
    bool mLogged = false;
    HRESULT mForcedResult = D3D_OK;
    size_t mRecord = 0;
};

// AddRef/Release records.
void LogReferenceCount(test::Call call, const void* object, ULONG count);

// Counts objects alive for test::LiveObjects(); a member of each class.
struct LiveToken
{
    LiveToken();
    ~LiveToken();
    LiveToken(const LiveToken&) = delete;
    LiveToken& operator=(const LiveToken&) = delete;
};

// Live devices, for the hooks that act on every device.
void RegisterDevice(Device* device);
void UnregisterDevice(Device* device);

// The adapter as configured.
const D3DCAPS9& Caps();
HRESULT FormatAnswer(D3DFORMAT format, DWORD usage, D3DRESOURCETYPE type);
D3DDISPLAYMODE DisplayMode();

} // namespace hooks
} // namespace d3d9
