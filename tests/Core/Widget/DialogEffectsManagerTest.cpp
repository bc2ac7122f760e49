#include "Core/Widget/DialogEffectsManager.h"

#include <gtest/gtest.h>
#include <tinyxml2.h>

namespace
{

class DialogEffectsManagerTest : public ::testing::Test
{
protected:
    BWResultEnum Load(const char* xml)
    {
        mDocument.Parse(xml);
        return mManager.Load(mDocument.FirstChildElement("DialogEffects"));
    }

    tinyxml2::XMLDocument mDocument;
    widget::DialogEffectsManager mManager;
};

TEST_F(DialogEffectsManagerTest, KeepsEachEffectUnderItsNameWithItsParameters)
{
    ASSERT_EQ(Load("<DialogEffects>"
                   "  <Effect name='popup' type='scale' duration='0.25' from='0.5'/>"
                   "  <!-- a comment -->"
                   "  <Effect name='появление' type='fade'/>"
                   "</DialogEffects>"),
              BW_OK);
    EXPECT_EQ(mManager.GetCount(), 2u);
    const widget::DialogEffect* popup = mManager.Find(L"popup");
    ASSERT_NE(popup, nullptr);
    EXPECT_EQ(popup->mType, L"scale");
    EXPECT_EQ(popup->mParameters.size(), 2u);
    EXPECT_EQ(popup->mParameters.at(L"duration"), L"0.25");
    ASSERT_NE(mManager.Find(L"появление"), nullptr);
    EXPECT_EQ(mManager.Find(L"missing"), nullptr);
}

TEST_F(DialogEffectsManagerTest, AnEmptyOrMissingSectionLeavesNoEffects)
{
    ASSERT_EQ(Load("<DialogEffects><Effect name='a' type='fade'/></DialogEffects>"), BW_OK);
    EXPECT_EQ(Load("<DialogEffects/>"), BW_OK);
    EXPECT_EQ(mManager.GetCount(), 0u);
    EXPECT_EQ(mManager.Load(nullptr), BW_OK);
}

class DialogEffectsRejected : public DialogEffectsManagerTest, public ::testing::WithParamInterface<const char*>
{
};

TEST_P(DialogEffectsRejected, AnswersOneAndKeepsTheEntriesBefore)
{
    std::string xml = std::string("<DialogEffects><Effect name='first' type='fade'/>") + GetParam() +
                      "<Effect name='after' type='fade'/></DialogEffects>";
    EXPECT_EQ(Load(xml.c_str()), BW_FAIL);
    EXPECT_NE(mManager.Find(L"first"), nullptr);
    EXPECT_EQ(mManager.Find(L"after"), nullptr);
}

INSTANTIATE_TEST_SUITE_P(BadEntries, DialogEffectsRejected,
                         ::testing::Values("<Effect type='fade'/>", "<Effect name='' type='fade'/>",
                                           "<Effect name='x'/>", "<Effekt name='x' type='fade'/>",
                                           "<Effect name='first' type='scale'/>",
                                           "<Effect name='\xff\xfe' type='fade'/>",
                                           "<Effect name='x' type='fade' speed='\xc3'/>"));

} // namespace
