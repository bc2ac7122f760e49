// The particle system: loading effect files into named templates and their
// texture pages into images, and making emitters from the templates.

#include "tests/Core/Render/ParticleFixture.h"

#include "Core/Render/ImageRect.h"
#include "Core/Resource/ResourceTexture.h"
#include "tests/Support/LogCapture.h"

#include <gtest/gtest.h>

namespace
{

using ParticleSystemTest = particle_tests::ParticleTest;

TEST_F(ParticleSystemTest, EveryEmitterOfEveryFolderBecomesATemplateAndPagesImagesByTextureId)
{
    folder.Write("fx/effects.ptc", particle_tests::Effects());
    system->LoadFile("effects", &r); // tried as given, then with the extension
    ASSERT_EQ(system->mEmitters.size(), 4u);
    for (const char* name : {"one", "lists", "rain", "late"})
    {
        ASSERT_EQ(system->mEmitters.count(name), 1u) << name;
        const render::ParticleEmitter* e = system->mEmitters[name];
        EXPECT_GT(e->mHandle, 0);
        EXPECT_EQ(e->mName, "effects.ptc"); // the file has pages of its own
        EXPECT_EQ(e->mHasAtlas, 1);
    }

    // A hole where a page is missing keeps the indices texture ids.
    const std::vector<render::ImageRect*>& images = system->mAtlasImages;
    ASSERT_EQ(images.size(), 3u);
    EXPECT_EQ(images[1], nullptr);
    ASSERT_TRUE(images[0] && images[2]);
    EXPECT_NE(images[0]->GetTexture(), images[2]->GetTexture());
    system->ClearAtlasImages();
    EXPECT_TRUE(resource::ResourceTexture::GetMap().empty());
}

TEST_F(ParticleSystemTest, AMissingFileIsSkippedQuietlyAndABrokenOneWithTheParsersReason)
{
    testing_support::LogCapture log;
    system->LoadFile("nothing.ptc", &r);
    EXPECT_TRUE(log.Messages().empty());
    Load("<ptc><emitter name=\"half\"", "broken.ptc");
    Load("", "empty.ptc");
    Load("<ptc>\n\n  <emitter name=\"a\" interval2=\"soon\"/>\n</ptc>", "bad.ptc");
    EXPECT_TRUE(system->mEmitters.empty());
    EXPECT_TRUE(system->mAtlasImages.empty());
    EXPECT_EQ(log.Count(L"Can't read particle file"), 3u);
    EXPECT_TRUE(log.Contains(L"broken.ptc': not XML"));
    EXPECT_TRUE(log.Contains(L"empty.ptc': the file is empty"));
    EXPECT_TRUE(log.Contains(L"bad.ptc': line 3: <emitter>: attribute \"interval2\": \"soon\" is not a number"));
}

TEST_F(ParticleSystemTest, ALaterEmitterOfTheSameNameReplacesAndUnloadsTheEarlier)
{
    Load();
    const HM_EMITTER first = system->mEmitters["one"]->mHandle;
    Load("<ptc><emitter name=\"one\"/></ptc>", "again.ptc");
    ASSERT_EQ(system->mEmitters.size(), 4u);
    const render::ParticleEmitter* now = system->mEmitters["one"];
    EXPECT_EQ(Magic_DuplicateEmitter(first), 0); // gone from the library
    EXPECT_TRUE(now->mName.empty());             // that file has no pages
    EXPECT_EQ(now->mHasAtlas, 0);
}

} // namespace
