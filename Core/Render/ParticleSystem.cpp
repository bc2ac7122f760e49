#include "Core/Render/ParticleSystem.h"

#include "Core/Base/Encoding.h"
#include "Core/Base/Log.h"
#include "Core/Base/Stream.h"
#include "Core/File/FileInfo.h"
#include "Core/File/FileManager.h"
#include "Core/Render/ImageRect.h"
#include "Core/Render/ParticleEmitter.h"
#include "Core/Render/Render.h"

#include <memory>
#include <vector>

namespace render
{

namespace
{

// No effect file comes near this; larger ones are not read into memory.
const uint32_t kMaxEffectFileBytes = 16u << 20;

// Names in effect files are UTF-8; false for text that is not.
bool Widen(const std::string& text, std::wstring* out)
{
    try
    {
        *out = base::ToWideString(text, base::EncodingUtf8);
        return true;
    }
    catch (...)
    {
        return false;
    }
}

} // namespace

ParticleSystem::ParticleSystem() : mInterpolation(1), mLoopMode(0), mFileAtlasBase(0)
{
}

ParticleSystem::~ParticleSystem()
{
    for (auto& entry : mEmitters)
        delete entry.second;
    mEmitters.clear();
    std::vector<ImageRect*>().swap(mAtlasImages);
}

void ParticleSystem::LoadFile(const std::string& name, Render* render)
{
    std::wstring path;
    file::FileManager* files = file::FileManager::Instance();
    if (!files || !Widen(mFolder + name, &path))
        return;
    const wchar_t* const extensions[] = {L"", L".ptc"};
    std::unique_ptr<file::FileInfo> info(files->GetFileInfo(path, extensions, 2));
    std::unique_ptr<base::Stream> stream(info ? info->Open() : nullptr);
    if (!stream)
        return;
    // The library reads up to the terminating zero.
    const uint32_t size = stream->GetSize();
    std::vector<char> text;
    std::string error;
    if (size > kMaxEffectFileBytes)
        error = "the file is larger than 16 MiB";
    else
    {
        text.assign(static_cast<size_t>(size) + 1, '\0');
        if (size != 0 && stream->Read(text.data(), size) != size)
            error = "the file could not be read whole";
    }
    const HM_FILE file = error.empty() ? Magic_OpenFileInMemory(text.data()) : 0;
    if (file <= 0)
    {
        // The parser's own reason names the line at fault.
        if (error.empty())
            error = Magic_GetOpenFileError();
        std::wstring reason;
        if (!Widen(error, &reason))
            reason = base::ToWideString(error, base::EncodingBytes);
        BW_LOG(L"Can't read particle file '%s': %s\n") % info->GetFullPath() % reason;
        return;
    }
    mFileAtlasBase = static_cast<uint32_t>(mAtlasImages.size());
    LoadFolder(file, "");
    LoadAtlases(file, render);
    Magic_CloseFile(file);
}

void ParticleSystem::LoadFolder(HM_FILE file, const char* folder)
{
    Magic_SetCurrentFolder(file, folder);
    MAGIC_FIND_DATA find;
    for (const char* name = Magic_FindFirst(file, &find, MAGIC_FOLDER | MAGIC_EMITTER); name;
         name = Magic_FindNext(file, &find))
    {
        if (find.type == MAGIC_FOLDER)
        {
            LoadFolder(file, name);
        }
        else
        {
            const HM_EMITTER handle = Magic_LoadEmitter(file, name);
            if (handle > 0)
                Register(file, handle, name);
        }
    }
    Magic_SetCurrentFolder(file, "..");
}

void ParticleSystem::Register(HM_FILE file, HM_EMITTER handle, const char* name)
{
    ParticleEmitter* emitter = new ParticleEmitter(handle);
    const char* fileName = Magic_GetFileName(file);
    if (fileName && Magic_HasTextures(file))
        emitter->mName = fileName;
    emitter->mAtlasBase = mFileAtlasBase;
    // A later emitter of the same name takes the entry; the one it replaces
    // goes, with its library emitter.
    ParticleEmitter*& entry = mEmitters[name];
    delete entry;
    entry = emitter;
    if (mInterpolation != 0)
        Magic_SetInterpolationMode(handle, mInterpolation == 1);
    Magic_SetLoopMode(handle, static_cast<int>(mLoopMode));
    emitter->mHasAtlas = Magic_GetStaticAtlasCount(file) > 0 ? 1 : 0;
}

void ParticleSystem::LoadAtlases(HM_FILE file, Render* render)
{
    const int count = Magic_GetStaticAtlasCount(file);
    for (int i = 0; i < count; ++i)
    {
        // Every page takes its place, loaded or not, so that indices stay
        // texture ids.
        ImageRect* image = nullptr;
        MAGIC_STATIC_ATLAS atlas;
        std::wstring name;
        if (render && Magic_GetStaticAtlas(file, i, &atlas) == MAGIC_SUCCESS && Widen(mFolder + atlas.file, &name))
            render->CreateImage(name, nullptr, &image, nullptr);
        mAtlasImages.push_back(image);
    }
}

ParticleEmitter* ParticleSystem::CreateEmitter(const std::string& name)
{
    auto found = mEmitters.find(name);
    if (found == mEmitters.end())
        return nullptr;
    ParticleEmitter* emitter = new ParticleEmitter(*found->second);
    if (emitter->mHandle <= 0)
    {
        delete emitter;
        return nullptr;
    }
    return emitter;
}

void ParticleSystem::ClearAtlasImages()
{
    for (ImageRect* image : mAtlasImages)
        delete image;
    mAtlasImages.clear();
}

} // namespace render
