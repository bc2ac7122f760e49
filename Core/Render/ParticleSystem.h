#pragma once

// The registry of particle effects: template emitters by name, loaded from
// effect files, and the images of the files' texture pages. Game code makes
// its own emitters from the templates.
//
//   render::ParticleSystem* particles = render::ParticleSystem::Instance();
//   particles->mFolder = "data/fx/";
//   particles->LoadFile("fx2.ptc", render);
//   std::unique_ptr<render::ParticleEmitter> sparkle(particles->CreateEmitter("sparkle"));
//   ...
//   particles->ClearAtlasImages();   // at shut-down, while the renderer lives

#include "Core/Base/Singletone.h"
#include "Platform/Particles/Magic.h"

#include <cstdint>
#include <map>
#include <string>
#include <vector>

namespace render
{

class ImageRect;
class ParticleEmitter;
class Render;

class ParticleSystem : public base::Singletone<ParticleSystem>
{
public:
    ParticleSystem();
    // Destroys the templates; the atlas images are ClearAtlasImages' to
    // delete, since the renderer may be gone by now.
    ~ParticleSystem() override;

    // Loads mFolder + name (or with ".ptc" appended) through the file
    // manager: every emitter of the file becomes a template, and each of its
    // texture pages an image made by render. A file that is missing or not
    // an effect file is skipped.
    void LoadFile(const std::string& name, Render* render);
    // Registers every emitter of the folder and its subfolders.
    void LoadFolder(HM_FILE file, const char* folder);
    // A new emitter copied from the named template, stopped; the caller owns
    // it. Null for a name no file has given.
    ParticleEmitter* CreateEmitter(const std::string& name);
    // Deletes the atlas images.
    void ClearAtlasImages();

    std::string mFolder;
    std::map<std::string, ParticleEmitter*> mEmitters;
    // By texture id: entries of pages that could not be loaded are null.
    std::vector<ImageRect*> mAtlasImages;
    // 0 keeps the file's setting, 1 turns interpolation on, others off.
    uint32_t mInterpolation;
    uint32_t mLoopMode;

private:
    void Register(HM_FILE file, HM_EMITTER handle, const char* name);
    void LoadAtlases(HM_FILE file, Render* render);

    // The first texture id of the file being loaded.
    uint32_t mFileAtlasBase;
};

} // namespace render
