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
          <emitter name="stream" interval2="100000"><particles rate="1000" life="30"/></emitter></ptc>)",
             "more.ptc");
    }
};

// A sequence of calls on an emitter and where it leaves it. "one" bursts one
// long-lived particle at once; "late" starts at 200 ms and ends at 400.
enum Op
{
    Play,
    Interrupt,
    Stop,
    OtherState,
    Restart,
    Update10ms,
    Update300ms,
};

struct StateCase
{
    const char* name;
    const char* emitter;
    std::vector<Op> ops;
    int32_t state;
    int live;
    int inInterval = -1; // -1: not asked
    int interrupted = -1;
};

class EmitterStates : public ParticleEmitterTest, public testing::WithParamInterface<StateCase>
{
};

TEST_P(EmitterStates, EndWhereExpected)
{
    const StateCase& c = GetParam();
    ParticleEmitter* e = Make(c.emitter);
    for (Op op : c.ops)
    {
        switch (op)
        {
        case Play: e->SetState(ParticleEmitter::StatePlaying); break;
        case Interrupt: e->SetState(ParticleEmitter::StateInterrupted); break;
        case Stop: e->SetState(ParticleEmitter::StateStopped); break;
        case OtherState: e->SetState(7); break;
        case Restart: e->Restart(); break;
        case Update10ms: e->Update(0.01); break;
        case Update300ms: for (int i = 0; i < 30; ++i) e->Update(0.01); break;
        }
    }
    EXPECT_EQ(e->mState, c.state);
    EXPECT_EQ(LiveParticles(e->mHandle), c.live);
    if (c.inInterval >= 0)
    {
        EXPECT_EQ(Magic_InInterval(e->mHandle), c.inInterval == 1);
    }
    if (c.interrupted >= 0)
    {
        EXPECT_EQ(Magic_IsInterrupt(e->mHandle), c.interrupted == 1);
    }
}

const int32_t kPlaying = ParticleEmitter::StatePlaying, kStopped = ParticleEmitter::StateStopped,
              kInterrupted = ParticleEmitter::StateInterrupted;

INSTANTIATE_TEST_SUITE_P(
    Sequences, EmitterStates,
    testing::Values(
        StateCase{"PlayingAStoppedOneStartsItAtInterval1", "late", {Play}, kPlaying, 0, 1},
        StateCase{"InterruptingAStoppedOneStartsIt", "late", {Interrupt}, kInterrupted, 0, 1, 1},
        StateCase{"StoppingStopsTheLibraryEmitter", "one", {Play, Update10ms, Stop}, kStopped, 0},
        StateCase{"AnInterruptedOneIsLeftToRunOut", "one", {Play, Update10ms, Interrupt, Stop}, kStopped, 1},
        StateCase{"PlayingAfterARunOutRewinds", "one", {Play, Update10ms, Interrupt, Stop, Play}, kPlaying, 0},
        StateCase{"PlayingAnInterruptedOneResumesIt", "one", {Play, Update10ms, Interrupt, Play}, kPlaying, 1, -1, 0},
        StateCase{"OtherStatesAreStoredAndNotUpdated", "one", {Play, Update10ms, OtherState, Update300ms}, 7, 1},
        StateCase{"RestartRewindsAndPlays", "one", {Play, Update10ms, Restart}, kPlaying, 0},
        StateCase{"RestartEndsAnInterrupt", "one", {Play, Update10ms, Interrupt, Restart}, kPlaying, 0, -1, 0},
        StateCase{"RestartPlaysAStoppedOneToInterval1", "late", {Restart}, kPlaying, 0, 1},
        StateCase{"AnEffectEndingWhilePlayingIsStopped", "late", {Play, Update300ms}, kStopped, 0, 0},
        StateCase{"AnEffectEndingInterruptedIsLeftWhereItEnded", "late", {Interrupt, Update300ms}, kStopped, 0, 1}),
    [](const testing::TestParamInfo<StateCase>& info) { return std::string(info.param.name); });

TEST_F(ParticleEmitterTest, APendingRestartKeepsSetStateFromRewindingUntilTheNextUpdate)
{
    ParticleEmitter* e = Playing("one");
    e->SetState(ParticleEmitter::StateInterrupted);
    e->SetState(ParticleEmitter::StateStopped); // the particle lives on
    e->mRestartPending = 1;
    e->SetState(ParticleEmitter::StatePlaying);
    EXPECT_EQ(LiveParticles(e->mHandle), 1);
    e->Update(0.0);
    EXPECT_EQ(e->mRestartPending, 0);
    EXPECT_EQ(LiveParticles(e->mHandle), 0);
    e->mRestartPending = 1;
    e->Restart();
    EXPECT_EQ(e->mRestartPending, 0);
}

TEST_F(ParticleEmitterTest, UpdatesStepBySecondsWithInterpolationAndByTheUpdateTimeWithout)
{
    system->mInterpolation = 0; // as the file says: off
    Load(R"(<ptc><atlas file="white.tga" width="4" height="4"/><emitter name="stepped" interval2="1000">
              <particles emit_from="20" burst="1" life="5000"/></emitter></ptc>)",
         "off.ptc");
    ParticleEmitter* e = Make("stepped");
    ASSERT_FALSE(Magic_IsInterpolationMode(e->mHandle));
    e->SetState(ParticleEmitter::StatePlaying);
    e->Update(5.0); // one step of 16.7 ms whatever the time given
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

TEST_F(ParticleEmitterTest, LoopModesOtherThanOneAndTwoMeanTheFilesMode)
{
    for (int32_t mode : {7, MAGIC_LOOP_REPEAT})
    {
        ParticleEmitter* e = Make("late");
        e->SetLoopMode(MAGIC_LOOP_REPEAT);
        e->SetLoopMode(mode);
        e->SetState(ParticleEmitter::StatePlaying);
        for (int i = 0; i < 30; ++i)
            e->Update(0.01);
        EXPECT_EQ(e->mState, mode == 7 ? ParticleEmitter::StateStopped : ParticleEmitter::StatePlaying) << mode;
    }
}

TEST_F(ParticleEmitterTest, PositionsReachTheLibraryWithTheirMode)
{
    ParticleEmitter* e = Playing("one");
    const float at[2] = {30.0f, -4.0f};
    e->SetPosition(at, MAGIC_POSITION_ALL_PARTICLES);
    MAGIC_RENDERING list;
    MAGIC_PARTICLE_VERTEXES quad;
    Magic_CreateFirstRenderedParticlesList(e->mHandle, &list);
    Magic_GetNextParticleVertexes(&quad);
    EXPECT_FLOAT_EQ((quad.x1 + quad.x3) / 2, 30.0f); // the live particle came along
}

} // namespace
