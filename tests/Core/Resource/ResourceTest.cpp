#include "Core/Resource/Resource.h"

#include "tests/Support/LogCapture.h"

#include <gtest/gtest.h>

namespace
{

// A resource kind that counts its loader and unloader calls.
class CountingResource : public resource::Resource
{
public:
    BWResultEnum Release() override { return BW_OK; }
    BWResultEnum DoLoad() override
    {
        ++loads;
        return failLoad ? BW_FAIL : BW_OK;
    }
    BWResultEnum DoUnLoad() override
    {
        ++unloads;
        return BW_OK;
    }

    int loads = 0;
    int unloads = 0;
    bool failLoad = false;
};

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

} // namespace
