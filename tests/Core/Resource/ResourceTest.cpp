#include "Core/Resource/ResourceManager.h"

#include "tests/Support/LogCapture.h"

#include <gtest/gtest.h>

namespace
{

// A resource kind that counts its loader and unloader calls.
class CountingResource : public resource::Resource
{
public:
    // Handed back through whichever map holds it.
    BWResultEnum Release() override
    {
        resource::ResourceManager* manager = resource::ResourceManager::Instance();
        for (const auto& entry : manager->GetAnimDataMap())
            if (entry.second.resource == this)
                return manager->ReleaseCounted(manager->GetAnimDataMap(), this);
        return manager->ReleaseCounted(Map(), this);
    }
    BWResultEnum DoLoad() override
    {
        ++loads;
        return failLoad ? BW_FAIL : BW_OK;
    }
    BWResultEnum DoUnLoad() override
    {
        ++unloads;
        ++sUnloadsEverywhere;
        return BW_OK;
    }

    static resource::ResourceManager::CountedMap& Map()
    {
        return resource::ResourceManager::Instance()->GetMap<CountingResource, resource::CountedResource>();
    }

    int loads = 0;
    int unloads = 0;
    bool failLoad = false;
    static int sUnloadsEverywhere;
};

int CountingResource::sUnloadsEverywhere = 0;

TEST(Resource, AFailedLoadIsTriedAgainAndASecondLoadOrUnloadOnlyWarns)
{
    testing_support::LogCapture log;
    CountingResource r;
    r.SetName(L"gui/menu");
    r.failLoad = true;
    EXPECT_EQ(r.Load(), BW_FAIL);
    EXPECT_FALSE(r.IsLoaded());
    r.failLoad = false;
    EXPECT_EQ(r.Load(), BW_OK);
    EXPECT_EQ(r.Load(), BW_OK);
    EXPECT_EQ(r.loads, 2);
    EXPECT_TRUE(log.Contains(L"Trying to Load already loaded resource 'gui/menu'.\n"));
    EXPECT_EQ(r.UnLoad(), BW_OK);
    EXPECT_EQ(r.UnLoad(), BW_OK);
    EXPECT_EQ(r.unloads, 1);
    EXPECT_TRUE(log.Contains(L"Trying to UnLoad already unloaded resource 'gui/menu'.\n"));
}

TEST(ResourceManager, CountedResourceIsSharedAndReleasedWithItsLastHandle)
{
    resource::ResourceManager* manager = resource::ResourceManager::Instance();
    resource::ResourceHandle first = manager->GetAnimData<CountingResource>(L"anim/intro");
    ASSERT_TRUE(first.Get());
    EXPECT_EQ(first.Get()->GetName(), L"anim/intro");
    EXPECT_FALSE(first.Get()->IsLoaded());
    {
        resource::ResourceHandle second = manager->GetAnimData<CountingResource>(L"anim/intro");
        EXPECT_EQ(second.Get(), first.Get());
        EXPECT_EQ(*first.GetCount(), 2);
        resource::ResourceHandle third = second;
        EXPECT_EQ(*first.GetCount(), 3);
    }
    EXPECT_EQ(*first.GetCount(), 1);
    first.Get()->Load();

    // The test kind keeps its own map; the animation-data map stays untouched.
    resource::ResourceHandle other = manager->GetCounted<CountingResource>(CountingResource::Map(), L"x");
    EXPECT_EQ(CountingResource::Map().size(), 1u);
    EXPECT_EQ(manager->GetAnimDataMap().size(), 1u);
    int before = CountingResource::sUnloadsEverywhere;
    other.Reset();
    EXPECT_TRUE(CountingResource::Map().empty());
    EXPECT_EQ(CountingResource::sUnloadsEverywhere, before); // never loaded: nothing to unload
    EXPECT_EQ(other.Get(), nullptr);

    // The last handle of the loaded animation data unloads and deletes it.
    EXPECT_EQ(manager->GetAnimDataMap().at(L"anim/intro").resource, first.Get());
    first.Reset();
    EXPECT_TRUE(manager->GetAnimDataMap().empty());
    EXPECT_EQ(CountingResource::sUnloadsEverywhere, before + 1);
}

} // namespace
