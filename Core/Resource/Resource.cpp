#include "Core/Resource/Resource.h"

#include "Core/Base/Log.h"

namespace resource
{

Resource::Resource() : mLoaded(0)
{
}

Resource::~Resource() = default;

BWResultEnum Resource::OnNameSet()
{
    return BW_OK;
}

BWResultEnum Resource::Load()
{
    if (mLoaded)
    {
        BW_LOG_BLOCK_FUNC("enum BWResultEnum __thiscall resource::Resource::Load(void)",
                          L"Trying to Load already loaded resource '%s'.\n")
            % mName;
        return BW_OK;
    }
    BWResultEnum result = DoLoad();
    if (result == BW_OK)
        mLoaded = 1;
    return result;
}

BWResultEnum Resource::UnLoad()
{
    if (!mLoaded)
    {
        BW_LOG_BLOCK_FUNC("enum BWResultEnum __thiscall resource::Resource::UnLoad(void)",
                          L"Trying to UnLoad already unloaded resource '%s'.\n")
            % mName;
        return BW_OK;
    }
    BWResultEnum result = DoUnLoad();
    if (result == BW_OK)
        mLoaded = 0;
    return result;
}

BWResultEnum Resource::SetName(const std::wstring& name)
{
    mName = name;
    return OnNameSet();
}

} // namespace resource
