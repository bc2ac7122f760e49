#pragma once

// A particle system over effect files and texture pages written to a
// temporary folder.

#include "Core/Render/ParticleEmitter.h"
#include "Core/Render/ParticleSystem.h"
#include "tests/Support/ImageFiles.h"
#include "tests/Support/RecordingRender.h"
#include "tests/Support/TempFolder.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace particle_tests
{

// Three pages, the second of which is never written; emitters at the top and
// in a folder.
inline std::string Effects()
{
    return testing_support::ReadFile(BW_SOURCE_DIR "/tests/Core/Render/fixtures/effects.ptc");
}

// Effect files and texture pages in a temporary folder, loaded into a
// particle system that is the instance while it lives.
class EffectFolder
{
public:
    EffectFolder()
    {
        render::ParticleSystem::SetInstance(system);
        system->mFolder = folder.Path() + "fx/";
        WritePage("white.tga", 0xFFFFFFFFu);
        WritePage("grey.tga", 0xFF808080u);
    }

    ~EffectFolder()
    {
        emitters.clear();
        system->ClearAtlasImages();
        delete system;
    }

    void WritePage(const std::string& name, uint32_t argb)
    {
        const std::vector<uint8_t> tga =
            testing_support::MakeTga(testing_support::MakePixels(4, 4, [argb](uint32_t, uint32_t) { return argb; }),
                                     false);
        folder.Write("fx/" + name, std::string(tga.begin(), tga.end()));
    }

    void LoadInto(render::Render* render, const std::string& text, const std::string& name)
    {
        folder.Write("fx/" + name, text);
        system->LoadFile(name, render);
    }

    // A new emitter the fixture owns; null for an unknown name.
    render::ParticleEmitter* Make(const std::string& name)
    {
        render::ParticleEmitter* emitter = system->CreateEmitter(name);
        if (emitter)
            emitters.emplace_back(emitter);
        return emitter;
    }

    // A new emitter at (x, y), played for the given seconds.
    render::ParticleEmitter* Playing(const char* name, double seconds = 0.01, float x = 0.0f, float y = 0.0f)
    {
        render::ParticleEmitter* e = Make(name);
        const float at[2] = {x, y};
        e->SetPosition(at, MAGIC_POSITION_NEW_PARTICLES);
        e->SetState(render::ParticleEmitter::StatePlaying);
        e->Update(seconds);
        return e;
    }

    testing_support::TempFolder folder;
    render::ParticleSystem* system = new render::ParticleSystem;
    std::vector<std::unique_ptr<render::ParticleEmitter>> emitters;
};

// The effect folder drawing into a recording renderer.
class ParticleTest : public testing::Test, public EffectFolder
{
protected:
    void SetUp() override { ASSERT_EQ(r.Init(800, 600), BW_OK); }

    void TearDown() override
    {
        emitters.clear();
        system->ClearAtlasImages();
    }

    void Load(const std::string& text = Effects(), const std::string& name = "effects.ptc") { LoadInto(&r, text, name); }

    bwtest::RecordingRender r;
};

// Particles alive in a library emitter.
inline int LiveParticles(HM_EMITTER emitter)
{
    int count = 0;
    MAGIC_RENDERING list;
    for (Magic_CreateFirstRenderedParticlesList(emitter, &list); list.count;
         Magic_CreateNextRenderedParticlesList(&list))
        count += list.count;
    return count;
}

} // namespace particle_tests
