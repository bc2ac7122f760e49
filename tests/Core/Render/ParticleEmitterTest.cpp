// Particle emitters: the play state over the library emitter, restarts,
// updates, and what they pass to the library.

#include "tests/Core/Render/ParticleFixture.h"

#include <gtest/gtest.h>

namespace
{

using particle_tests::LiveParticles;
using render::ParticleEmitter;

class ParticleEmitterTest : public particle_tests::ParticleTest
{
protected:
    void SetUp() override
    {
        particle_tests::ParticleTest::SetUp();
        Load(particle_tests::kEffects);
        Load(R"(<ptc><atlas file="white.tga" width="4" height="4"/>
          <emitter name="stepped" interval2="1000">
            <particles emit_from="20" burst="1" life="5000"/>
          </emitter>
          <emitter name="stream" interval2="100000"><particles rate="1000" life="30"/></emitter>
        </ptc>)",
             "more.ptc");
    }

    // A playing emitter with live particles.
    ParticleEmitter* Playing(const char* name = "one")
    {
        ParticleEmitter* e = Make(name);
        e->SetState(ParticleEmitter::StatePlaying);
        e->Update(0.01);
        EXPECT_GT(LiveParticles(e->mHandle), 0);
        return e;
    }
};

TEST_F(ParticleEmitterTest, PlayingAStoppedEmitterStartsItAtInterval1)
{
    ParticleEmitter* late = Make("late");
    EXPECT_FALSE(Magic_InInterval(late->mHandle));
    late->SetState(ParticleEmitter::StatePlaying);
    EXPECT_EQ(late->mState, ParticleEmitter::StatePlaying);
    EXPECT_TRUE(Magic_InInterval(late->mHandle));
    EXPECT_TRUE(Magic_Update(late->mHandle, 0.0));
}

TEST_F(ParticleEmitterTest, TheSameStateAgainChangesNothing)
{
    ParticleEmitter* e = Playing();
    e->SetState(ParticleEmitter::StatePlaying);
    EXPECT_EQ(LiveParticles(e->mHandle), 1);  // not rewound
}

TEST_F(ParticleEmitterTest, StoppingAPlayingEmitterStopsTheLibraryOneButAnInterruptedOneIsLeftToRunOut)
{
    ParticleEmitter* playing = Playing();
    playing->SetState(ParticleEmitter::StateStopped);
    EXPECT_EQ(playing->mState, ParticleEmitter::StateStopped);
    EXPECT_EQ(LiveParticles(playing->mHandle), 0);

    ParticleEmitter* interrupted = Playing();
    interrupted->SetState(ParticleEmitter::StateInterrupted);
    interrupted->SetState(ParticleEmitter::StateStopped);
    EXPECT_EQ(interrupted->mState, ParticleEmitter::StateStopped);
    EXPECT_EQ(LiveParticles(interrupted->mHandle), 1);  // no library call
}

TEST_F(ParticleEmitterTest, InterruptingStopsBirthsAndPlayingAgainResumesWithoutRewinding)
{
    ParticleEmitter* e = Playing("stream");
    e->SetState(ParticleEmitter::StateInterrupted);
    EXPECT_TRUE(Magic_IsInterrupt(e->mHandle));
    const int alive = LiveParticles(e->mHandle);
    e->Update(0.025);  // the oldest die, none is born
    EXPECT_LT(LiveParticles(e->mHandle), alive);
    e->SetState(ParticleEmitter::StatePlaying);
    EXPECT_FALSE(Magic_IsInterrupt(e->mHandle));
    EXPECT_GT(LiveParticles(e->mHandle), 0);  // not rewound
    e->Update(0.03);
    EXPECT_GT(LiveParticles(e->mHandle), alive);

    // From stopped, interrupting first starts the effect.
    ParticleEmitter* stopped = Make("late");
    stopped->SetState(ParticleEmitter::StateInterrupted);
    EXPECT_TRUE(Magic_InInterval(stopped->mHandle));
    EXPECT_TRUE(Magic_IsInterrupt(stopped->mHandle));
}

TEST_F(ParticleEmitterTest, APendingRestartKeepsSetStateFromRewinding)
{
    ParticleEmitter* e = Playing();
    e->SetState(ParticleEmitter::StateInterrupted);
    e->SetState(ParticleEmitter::StateStopped);  // the particle lives on
    e->mRestartPending = 1;
    e->SetState(ParticleEmitter::StatePlaying);
    EXPECT_EQ(LiveParticles(e->mHandle), 1);
    // The next update restarts it instead.
    e->Update(0.0);
    EXPECT_EQ(e->mRestartPending, 0);
    EXPECT_EQ(LiveParticles(e->mHandle), 0);

    ParticleEmitter* plain = Playing();
    plain->SetState(ParticleEmitter::StateInterrupted);
    plain->SetState(ParticleEmitter::StateStopped);
    plain->SetState(ParticleEmitter::StatePlaying);
    EXPECT_EQ(LiveParticles(plain->mHandle), 0);
}

TEST_F(ParticleEmitterTest, OtherStatesAreStoredWithoutEffect)
{
    ParticleEmitter* e = Playing();
    e->SetState(7);
    EXPECT_EQ(e->mState, 7);
    EXPECT_EQ(LiveParticles(e->mHandle), 1);
    e->Update(10.0);  // not playing: nothing happens
    EXPECT_EQ(LiveParticles(e->mHandle), 1);
}

TEST_F(ParticleEmitterTest, RestartRewindsAndPlaysFromAnyState)
{
    ParticleEmitter* e = Playing();
    e->mRestartPending = 1;
    e->Restart();
    EXPECT_EQ(e->mRestartPending, 0);
    EXPECT_EQ(e->mState, ParticleEmitter::StatePlaying);
    EXPECT_EQ(LiveParticles(e->mHandle), 0);

    e->SetState(ParticleEmitter::StateInterrupted);
    e->Restart();
    EXPECT_EQ(e->mState, ParticleEmitter::StatePlaying);
    EXPECT_FALSE(Magic_IsInterrupt(e->mHandle));

    ParticleEmitter* late = Make("late");
    late->Restart();
    EXPECT_EQ(late->mState, ParticleEmitter::StatePlaying);
    EXPECT_TRUE(Magic_InInterval(late->mHandle));  // played up to interval 1
}

TEST_F(ParticleEmitterTest, UpdatesStepBySecondsWithInterpolationAndByTheUpdateTimeWithout)
{
    system->mInterpolation = 0;  // as the file says: off
    Load(R"(<ptc><atlas file="white.tga" width="4" height="4"/><emitter name="stepped" interval2="1000">
              <particles emit_from="20" burst="1" life="5000"/></emitter></ptc>)",
         "off.ptc");
    ParticleEmitter* e = Make("stepped");
    ASSERT_FALSE(Magic_IsInterpolationMode(e->mHandle));
    e->SetState(ParticleEmitter::StatePlaying);
    e->Update(5.0);  // one step of 16.7 ms whatever the time given
    EXPECT_EQ(LiveParticles(e->mHandle), 0);
    e->Update(0.0);
    EXPECT_EQ(LiveParticles(e->mHandle), 1);

    ParticleEmitter* smooth = Make("one");
    ASSERT_TRUE(Magic_IsInterpolationMode(smooth->mHandle));
    smooth->SetState(ParticleEmitter::StatePlaying);
    smooth->Update(0.0);
    EXPECT_EQ(LiveParticles(smooth->mHandle), 0);
    smooth->Update(0.002);
    EXPECT_EQ(LiveParticles(smooth->mHandle), 1);
}

TEST_F(ParticleEmitterTest, AnEffectThatEndsWhilePlayingIsStoppedInTheLibrary)
{
    ParticleEmitter* e = Make("late");
    e->SetState(ParticleEmitter::StatePlaying);
    for (int i = 0; i < 30 && e->mState != ParticleEmitter::StateStopped; ++i)
        e->Update(0.01);
    EXPECT_EQ(e->mState, ParticleEmitter::StateStopped);
    EXPECT_FALSE(Magic_InInterval(e->mHandle));  // stopped: back at time 0
}

TEST_F(ParticleEmitterTest, AnEffectThatEndsWhileInterruptedIsNotStoppedAgain)
{
    ParticleEmitter* e = Make("late");
    e->SetState(ParticleEmitter::StateInterrupted);
    for (int i = 0; i < 30 && e->mState != ParticleEmitter::StateStopped; ++i)
        e->Update(0.01);
    EXPECT_EQ(e->mState, ParticleEmitter::StateStopped);
    EXPECT_TRUE(Magic_InInterval(e->mHandle));  // left where it ended
}

TEST_F(ParticleEmitterTest, LoopModesOtherThanOneAndTwoMeanTheFilesMode)
{
    ParticleEmitter* e = Make("late");
    e->SetLoopMode(MAGIC_LOOP_REPEAT);
    e->SetLoopMode(7);
    e->SetState(ParticleEmitter::StatePlaying);
    for (int i = 0; i < 30; ++i)
        e->Update(0.01);
    EXPECT_EQ(e->mState, ParticleEmitter::StateStopped);  // played once

    ParticleEmitter* repeating = Make("late");
    repeating->SetLoopMode(MAGIC_LOOP_REPEAT);
    repeating->SetState(ParticleEmitter::StatePlaying);
    for (int i = 0; i < 30; ++i)
        repeating->Update(0.01);
    EXPECT_EQ(repeating->mState, ParticleEmitter::StatePlaying);
}

TEST_F(ParticleEmitterTest, PositionsReachTheLibraryWithTheirMode)
{
    ParticleEmitter* e = Playing();
    const float at[2] = {30.0f, -4.0f};
    e->SetPosition(at, MAGIC_POSITION_ALL_PARTICLES);
    float read[2] = {};
    e->GetPosition(read);
    EXPECT_EQ(read[0], 30.0f);
    EXPECT_EQ(read[1], -4.0f);
    MAGIC_RENDERING list;
    MAGIC_PARTICLE_VERTEXES quad;
    Magic_CreateFirstRenderedParticlesList(e->mHandle, &list);
    Magic_GetNextParticleVertexes(&quad);
    EXPECT_FLOAT_EQ((quad.x1 + quad.x3) / 2, 30.0f);  // the live particle came along
}

TEST_F(ParticleEmitterTest, ACopyTakesBindingNameAndFlagsAndPlaysOnItsOwn)
{
    ParticleEmitter* e = Playing();
    e->mRestartPending = 1;
    e->mHasAtlas = 0;
    ParticleEmitter copy(*e);
    EXPECT_NE(copy.mHandle, e->mHandle);
    EXPECT_EQ(copy.mName, e->mName);
    EXPECT_EQ(copy.mRestartPending, 1);
    EXPECT_EQ(copy.mHasAtlas, 0);
    EXPECT_EQ(copy.mState, ParticleEmitter::StateStopped);
    EXPECT_EQ(LiveParticles(copy.mHandle), 0);
}

} // namespace
