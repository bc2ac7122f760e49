#include "Framework/SwitchScreenModeMessage.h"

#include <map>
#include <memory>
#include <vector>

namespace framework
{
namespace
{

typedef std::map<const void*, std::shared_ptr<SwitchScreenModeHandler>> HandlerMap;

// Heap-held: subscribers may leave while the singletons are torn down at
// exit, after function-local statics are gone.
HandlerMap& Handlers()
{
    static HandlerMap* handlers = new HandlerMap;
    return *handlers;
}

} // namespace

void SwitchScreenModeHandlers::Subscribe(const void* key, SwitchScreenModeHandler* handler)
{
    if (!handler)
        return;
    Handlers()[key] = std::shared_ptr<SwitchScreenModeHandler>(handler);
}

void SwitchScreenModeHandlers::Unsubscribe(const void* key)
{
    Handlers().erase(key);
}

size_t SwitchScreenModeHandlers::GetCount()
{
    return Handlers().size();
}

void SwitchScreenModeHandlers::Send(const SwitchScreenModeMessage& message)
{
    std::vector<const void*> keys;
    for (const auto& entry : Handlers())
        keys.push_back(entry.first);
    for (const void* key : keys)
    {
        auto found = Handlers().find(key);
        if (found == Handlers().end())
            continue;
        // Held while it runs: it may unsubscribe itself.
        std::shared_ptr<SwitchScreenModeHandler> handler = found->second;
        handler->Invoke(message);
    }
}

} // namespace framework
