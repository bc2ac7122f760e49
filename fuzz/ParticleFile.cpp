#include "Platform/Particles/EffectFile.h"
#include "Platform/Particles/Magic.h"

#include <cstdint>
#include <string>
#include <vector>

namespace
{

// Loads every emitter of the current folder and below, as the engine does.
void LoadFolder(HM_FILE file, std::vector<HM_EMITTER>* emitters, int depth)
{
    MAGIC_FIND_DATA find;
    for (const char* name = Magic_FindFirst(file, &find, MAGIC_FOLDER | MAGIC_EMITTER); name;
         name = Magic_FindNext(file, &find))
    {
        if (find.type == MAGIC_FOLDER && depth < 40)
        {
            if (Magic_SetCurrentFolder(file, name) == MAGIC_SUCCESS)
            {
                LoadFolder(file, emitters, depth + 1);
                Magic_SetCurrentFolder(file, "..");
            }
        }
        else if (HM_EMITTER emitter = Magic_LoadEmitter(file, name))
        {
            emitters->push_back(emitter);
        }
    }
}

void DrawAll(HM_EMITTER emitter)
{
    MAGIC_RENDERING list;
    for (Magic_CreateFirstRenderedParticlesList(emitter, &list); list.count;
         Magic_CreateNextRenderedParticlesList(&list))
    {
        MAGIC_PARTICLE_VERTEXES quad;
        while (Magic_GetNextParticleVertexes(&quad) == MAGIC_SUCCESS)
        {
        }
    }
}

} // namespace

// Effect files from outside: any bytes parse or fail, and whatever parses
// loads, plays and draws within the library's bounds.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    particles::EffectFile parsed;
    std::string error;
    particles::ParseEffectFile(reinterpret_cast<const char*>(data), size, &parsed, &error);

    const std::string text(reinterpret_cast<const char*>(data), size);
    const HM_FILE file = Magic_OpenFileInMemory(text.c_str());
    if (!file)
        return 0;
    Magic_GetFileName(file);
    Magic_HasTextures(file);
    MAGIC_STATIC_ATLAS atlas;
    for (int i = 0; i < Magic_GetStaticAtlasCount(file); ++i)
        Magic_GetStaticAtlas(file, i, &atlas);
    std::vector<HM_EMITTER> emitters;
    LoadFolder(file, &emitters, 0);
    Magic_CloseFile(file);

    // Playing is bounded per emitter; two are enough to reach every path.
    for (size_t i = 0; i < emitters.size() && i < 2; ++i)
    {
        const HM_EMITTER copy = Magic_DuplicateEmitter(emitters[i]);
        const MAGIC_POSITION at = {10.0f, 20.0f};
        Magic_SetEmitterPositionMode(copy, MAGIC_POSITION_ALL_PARTICLES);
        Magic_SetEmitterPosition(copy, &at);
        if (i == 0)
            Magic_EmitterToInterval1(copy, 1.0f, nullptr);
        else
            Magic_Restart(copy);
        for (double ms : {16.7, 0.0, 250.0})
        {
            Magic_Update(copy, ms);
            DrawAll(copy);
        }
        Magic_SetLoopMode(copy, MAGIC_LOOP_REPEAT);
        Magic_SetInterrupt(copy, true);
        Magic_Update(copy, 1000.0);
        DrawAll(copy);
        Magic_UnloadEmitter(copy);
    }
    for (HM_EMITTER emitter : emitters)
        Magic_UnloadEmitter(emitter);
    return 0;
}
