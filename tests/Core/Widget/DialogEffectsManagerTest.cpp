#include "Core/Widget/DialogEffectsManager.h"

#include <gtest/gtest.h>
#include <tinyxml2.h>

namespace
{

BWResultEnum Load(widget::DialogEffectsManager& manager, const std::string& xml)
{
    tinyxml2::XMLDocument document;
    document.Parse(xml.c_str());
    return manager.Load(document.FirstChildElement("DialogEffects"));
}

// Each effect under its name with its parameters; a bad entry answers one
// and keeps the entries before it.
TEST(DialogEffectsManager, KeepsEachEffectUnderItsNameAndRefusesABadEntryKeepingTheEntriesBefore)
{
    widget::DialogEffectsManager manager;
    ASSERT_EQ(Load(manager, "<DialogEffects><Effect name='popup' type='scale' duration='0.25' from='0.5'/>"
                            "<!-- a comment --><Effect name='появление' type='fade'/></DialogEffects>"),
              BW_OK);
    EXPECT_EQ(manager.GetCount(), 2u);
    const widget::DialogEffect* popup = manager.Find(L"popup");
    ASSERT_NE(popup, nullptr);
    EXPECT_EQ(popup->mType, L"scale");
    EXPECT_EQ(popup->mParameters.size(), 2u);
    EXPECT_EQ(popup->mParameters.at(L"duration"), L"0.25");
    EXPECT_NE(manager.Find(L"появление"), nullptr);
    EXPECT_EQ(manager.Find(L"missing"), nullptr);
    EXPECT_EQ(Load(manager, "<DialogEffects/>"), BW_OK);
    EXPECT_EQ(manager.GetCount(), 0u) << "a new section replaces the effects";
    EXPECT_EQ(manager.Load(nullptr), BW_OK);
    for (const char* bad : {"<Effect type='fade'/>", "<Effect name='' type='fade'/>", "<Effect name='x'/>",
                            "<Effekt name='x' type='fade'/>", "<Effect name='first' type='scale'/>",
                            "<Effect name='\xff\xfe' type='fade'/>", "<Effect name='x' type='fade' speed='\xc3'/>"})
    {
        SCOPED_TRACE(bad);
        widget::DialogEffectsManager fresh;
        EXPECT_EQ(Load(fresh, std::string("<DialogEffects><Effect name='first' type='fade'/>") + bad +
                                  "<Effect name='after' type='fade'/></DialogEffects>"),
                  BW_FAIL);
        EXPECT_NE(fresh.Find(L"first"), nullptr);
        EXPECT_EQ(fresh.Find(L"after"), nullptr);
    }
}

} // namespace
