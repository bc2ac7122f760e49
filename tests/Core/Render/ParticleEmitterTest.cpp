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
        Load();
    }
};

// A sequence of calls on an emitter and where it leaves it. "one" bursts one
// long-lived particle at once; "late" starts at 200 ms and ends at 400.
// Calls: p play, i interrupt, s stop, o another state, r restart, u 10 ms, U 300 ms.
TEST_F(ParticleEmitterTest, PlayStatesEndWhereExpected)
{
    const int32_t kPlaying = ParticleEmitter::StatePlaying, kStopped = ParticleEmitter::StateStopped;
    const struct
    {
        const char* emitter;
        const char* calls;
        int32_t state;
        int live;
        int inInterval; // -1: not asked
        int interrupted;
    } cases[] = {
        {"late", "p", kPlaying, 0, 1, -1},   {"late", "i", ParticleEmitter::StateInterrupted, 0, 1, 1},
        {"one", "pus", kStopped, 0, -1, -1}, {"one", "puis", kStopped, 1, -1, -1}, // left to run out
        {"one", "puisp", kPlaying, 0, -1, -1}, {"one", "puip", kPlaying, 1, -1, 0}, // resumed, not rewound
        {"one", "puoU", 7, 1, -1, -1},       {"one", "pur", kPlaying, 0, -1, -1},
        {"one", "puir", kPlaying, 0, -1, 0}, {"late", "r", kPlaying, 0, 1, -1},
        {"late", "pU", kStopped, 0, 0, -1},  {"late", "iU", kStopped, 0, 1, -1}, // left where it ended
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(std::string(c.emitter) + " " + c.calls);
        ParticleEmitter* e = Make(c.emitter);
        for (const char* call = c.calls; *call; ++call)
        {
            switch (*call)
            {
            case 'p': e->SetState(ParticleEmitter::StatePlaying); break;
            case 'i': e->SetState(ParticleEmitter::StateInterrupted); break;
            case 's': e->SetState(ParticleEmitter::StateStopped); break;
            case 'o': e->SetState(7); break;
            case 'r': e->Restart(); break;
            case 'u': e->Update(0.01); break;
            default: for (int i = 0; i < 30; ++i) e->Update(0.01);
            }
        }
        EXPECT_EQ(e->mState, c.state);
        EXPECT_EQ(LiveParticles(e->mHandle), c.live);
        EXPECT_TRUE(c.inInterval < 0 || Magic_InInterval(e->mHandle) == (c.inInterval == 1));
        EXPECT_TRUE(c.interrupted < 0 || Magic_IsInterrupt(e->mHandle) == (c.interrupted == 1));
    }
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

} // namespace
