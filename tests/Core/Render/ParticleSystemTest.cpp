// The particle system: loading effect files into named templates and their
// texture pages into images, and making emitters from the templates.

#include "tests/Core/Render/ParticleFixture.h"

#include "Core/Render/ImageRect.h"
#include "Core/Resource/ResourceTexture.h"
#include "tests/Support/LogCapture.h"

#include <gtest/gtest.h>

namespace
{

using particle_tests::kEffects;
using ParticleSystemTest = particle_tests::ParticleTest;

TEST_F(ParticleSystemTest, EveryEmitterOfEveryFolderBecomesATemplateAndPagesImagesByTextureId)
{
    folder.Write("fx/effects.ptc", kEffects);
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

TEST_F(ParticleSystemTest, InterpolationIsForcedOnOrOffOrLeftAsTheFileSaysAndTheLoopModeGoesToEveryTemplate)
{
    const std::string text = "<ptc><emitter name=\"plain\"/><emitter name=\"smooth\" interpolation=\"1\"/></ptc>";
    for (int32_t mode : {1, 2, 0})
    {
        system->mInterpolation = mode;
        Load(text);
        EXPECT_EQ(Magic_IsInterpolationMode(system->mEmitters["plain"]->mHandle), mode == 1) << mode;
        EXPECT_EQ(Magic_IsInterpolationMode(system->mEmitters["smooth"]->mHandle), mode != 2) << mode;
    }

    system->mLoopMode = MAGIC_LOOP_REPEAT;
    Load();
    render::ParticleEmitter* late = Make("late"); // plays once by its file
    late->SetState(render::ParticleEmitter::StatePlaying);
    for (int i = 0; i < 100; ++i)
        late->Update(0.01);
    EXPECT_EQ(late->mState, render::ParticleEmitter::StatePlaying);
}

TEST_F(ParticleSystemTest, TheDestructorUnloadsTheTemplatesButLeavesTheImages)
{
    HM_EMITTER handle = 0;
    std::vector<render::ImageRect*> images;
    {
        render::ParticleSystem other;
        other.mFolder = system->mFolder;
        folder.Write("fx/effects.ptc", kEffects);
        other.LoadFile("effects.ptc", &r);
        handle = other.mEmitters["one"]->mHandle;
        images = other.mAtlasImages;
    }
    render::ParticleSystem::SetInstance(system);
    EXPECT_EQ(Magic_DuplicateEmitter(handle), 0);
    // Still alive: this system deletes them (twice would be caught).
    ASSERT_EQ(images.size(), 3u);
    EXPECT_EQ(images[0]->GetWidth(), 4);
    system->mAtlasImages = images;
}

} // namespace
