#pragma once

// Told to subscribers after a switch between window and full screen that
// changed the mode (the options dialog shows the new state).
//
//   framework::SwitchScreenModeHandlers::Subscribe(
//       this, new base::MemberDelegate1<OptionsDialog, const framework::SwitchScreenModeMessage&>(
//                 this, &OptionsDialog::OnSwitchScreenMode));
//   ...
//   framework::SwitchScreenModeHandlers::Unsubscribe(this);

#include "Core/Base/Delegate.h"

#include <cstddef>

namespace framework
{

struct SwitchScreenModeMessage
{
    bool mWindowed;
};

typedef base::Delegate1<const SwitchScreenModeMessage&> SwitchScreenModeHandler;

// The process-wide handler registry, keyed by subscriber (usually the
// subscriber's address); delivery follows key order.
class SwitchScreenModeHandlers
{
public:
    // The registry owns the handler; one handler per key (a second replaces
    // the first).
    static void Subscribe(const void* key, SwitchScreenModeHandler* handler);
    static void Unsubscribe(const void* key);
    static size_t GetCount();
    // Calls every handler registered when delivery began and still registered
    // when its turn comes, so that handlers may unsubscribe while it runs.
    static void Send(const SwitchScreenModeMessage& message);
};

} // namespace framework
