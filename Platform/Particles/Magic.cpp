#include "Platform/Particles/Magic.h"

#include "Platform/Particles/EffectFile.h"
#include "Platform/Particles/Emitter.h"

#include <cmath>
#include <cstring>
#include <memory>
#include <string>
#include <unordered_map>

namespace
{

struct OpenFile
{
    particles::EffectFile content;
    int folder = 0;
};

// Which list Magic_GetNextParticleVertexes reads from.
struct RenderCursor
{
    HM_EMITTER emitter = 0;
    // The emitter itself, while it is loaded: unloading it clears the cursor.
    const particles::Emitter* object = nullptr;
    size_t kind = 0;
    size_t particle = 0;
    size_t count = 0;
};

struct Library
{
    std::unordered_map<HM_FILE, std::unique_ptr<OpenFile>> files;
    std::unordered_map<HM_EMITTER, std::unique_ptr<particles::Emitter>> emitters;
    int32_t nextFile = 1;
    int32_t nextEmitter = 1;
    RenderCursor cursor;
    std::string openError;
};

// Never destroyed: singletons torn down at exit still unload their emitters.
Library& GetLibrary()
{
    static Library* library = new Library;
    return *library;
}

OpenFile* FindFile(HM_FILE file)
{
    Library& library = GetLibrary();
    auto found = library.files.find(file);
    return found == library.files.end() ? nullptr : found->second.get();
}

particles::Emitter* FindEmitter(HM_EMITTER emitter)
{
    Library& library = GetLibrary();
    auto found = library.emitters.find(emitter);
    return found == library.emitters.end() ? nullptr : found->second.get();
}

HM_EMITTER AddEmitter(std::unique_ptr<particles::Emitter> emitter)
{
    Library& library = GetLibrary();
    if (library.nextEmitter <= 0)
        return 0;  // every id has been given out
    const HM_EMITTER handle = library.nextEmitter++;
    library.emitters[handle] = std::move(emitter);
    return handle;
}

int Status(bool ok)
{
    return ok ? MAGIC_SUCCESS : MAGIC_ERROR;
}

// The next entry of the walk's folder whose kind is in its mode.
const char* NextEntry(HM_FILE handle, MAGIC_FIND_DATA* data)
{
    OpenFile* file = FindFile(handle);
    if (!file || data->file != handle || data->folder < 0 ||
        static_cast<size_t>(data->folder) >= file->content.folders.size() || data->position < 0)
        return nullptr;
    const particles::Folder& folder = file->content.folders[data->folder];
    while (static_cast<size_t>(data->position) < folder.entries.size())
    {
        const particles::FolderEntry& entry = folder.entries[data->position++];
        if (!(entry.type & data->mode))
            continue;
        data->type = entry.type;
        data->name = entry.type == MAGIC_FOLDER ? file->content.folders[entry.index].name.c_str()
                                                : file->content.emitters[entry.index]->name.c_str();
        return data->name;
    }
    return nullptr;
}

// Fills the record from the cursor's kind, or the first kind after it with
// particles.
int FillList(MAGIC_RENDERING* rendering, size_t firstKind)
{
    RenderCursor& cursor = GetLibrary().cursor;
    rendering->count = 0;
    rendering->texture_id = 0;
    rendering->intense = false;
    cursor.count = 0;
    const particles::Emitter* emitter = cursor.object;
    if (!emitter)
        return MAGIC_ERROR;
    for (size_t kind = firstKind; kind < emitter->GetKindCount(); ++kind)
    {
        const size_t count = emitter->GetParticleCount(kind);
        if (count == 0)
            continue;
        cursor.kind = kind;
        cursor.particle = 0;
        cursor.count = count;
        rendering->count = static_cast<int>(count);
        rendering->texture_id = emitter->GetKind(kind).texture;
        rendering->intense = emitter->GetKind(kind).intense;
        return MAGIC_SUCCESS;
    }
    cursor.kind = emitter->GetKindCount();
    return MAGIC_ERROR;
}

} // namespace

// --- Effect files ---------------------------------------------------------------------

HM_FILE Magic_OpenFileInMemory(const char* text)
{
    Library& library = GetLibrary();
    std::string& error = library.openError;
    error.clear();
    if (!text)
    {
        error = "no text";
        return 0;
    }
    const size_t length = strnlen(text, particles::kMaxFileBytes + 1);
    auto file = std::make_unique<OpenFile>();
    if (!particles::ParseEffectFile(text, length, &file->content, &error))
        return 0;
    if (library.nextFile <= 0)
    {
        error = "too many files opened";
        return 0;
    }
    const HM_FILE handle = library.nextFile++;
    library.files[handle] = std::move(file);
    return handle;
}

const char* Magic_GetOpenFileError()
{
    return GetLibrary().openError.c_str();
}

int Magic_CloseFile(HM_FILE file)
{
    return Status(GetLibrary().files.erase(file) == 1);
}

const char* Magic_GetFileName(HM_FILE handle)
{
    OpenFile* file = FindFile(handle);
    return file && file->content.hasName ? file->content.name.c_str() : nullptr;
}

bool Magic_HasTextures(HM_FILE handle)
{
    OpenFile* file = FindFile(handle);
    return file && !file->content.atlases.empty();
}

int Magic_SetCurrentFolder(HM_FILE handle, const char* path)
{
    OpenFile* file = FindFile(handle);
    if (!file || !path)
        return MAGIC_ERROR;
    int folder = file->folder;
    const char* p = path;
    if (*p == '/')
    {
        folder = 0;
        ++p;
    }
    while (*p)
    {
        const char* slash = std::strchr(p, '/');
        const std::string name = slash ? std::string(p, slash) : std::string(p);
        p = slash ? slash + 1 : p + name.size();
        if (name.empty() || name == ".")
            continue;
        if (name == "..")
        {
            const int parent = file->content.folders[folder].parent;
            folder = parent < 0 ? folder : parent;
            continue;
        }
        folder = particles::FindEntry(file->content, folder, MAGIC_FOLDER, name.c_str());
        if (folder < 0)
            return MAGIC_ERROR;
    }
    file->folder = folder;
    return MAGIC_SUCCESS;
}

const char* Magic_FindFirst(HM_FILE handle, MAGIC_FIND_DATA* data, int mode)
{
    OpenFile* file = FindFile(handle);
    if (!data)
        return nullptr;
    data->type = 0;
    data->name = nullptr;
    data->file = handle;
    data->folder = file ? file->folder : -1;
    data->position = 0;
    data->mode = mode;
    return NextEntry(handle, data);
}

const char* Magic_FindNext(HM_FILE handle, MAGIC_FIND_DATA* data)
{
    return data ? NextEntry(handle, data) : nullptr;
}

HM_EMITTER Magic_LoadEmitter(HM_FILE handle, const char* name)
{
    OpenFile* file = FindFile(handle);
    if (!file)
        return 0;
    const int index = particles::FindEntry(file->content, file->folder, MAGIC_EMITTER, name);
    if (index < 0)
        return 0;
    return AddEmitter(std::make_unique<particles::Emitter>(file->content.emitters[index]));
}

int Magic_GetStaticAtlasCount(HM_FILE handle)
{
    OpenFile* file = FindFile(handle);
    return file ? static_cast<int>(file->content.atlases.size()) : 0;
}

int Magic_GetStaticAtlas(HM_FILE handle, int index, MAGIC_STATIC_ATLAS* atlas)
{
    OpenFile* file = FindFile(handle);
    if (!file || !atlas || index < 0 || static_cast<size_t>(index) >= file->content.atlases.size())
        return MAGIC_ERROR;
    const particles::AtlasDesc& desc = file->content.atlases[index];
    atlas->file = desc.file.c_str();
    atlas->width = desc.width;
    atlas->height = desc.height;
    return MAGIC_SUCCESS;
}

// --- Emitters -------------------------------------------------------------------------

HM_EMITTER Magic_DuplicateEmitter(HM_EMITTER handle)
{
    particles::Emitter* emitter = FindEmitter(handle);
    if (!emitter)
        return 0;
    return AddEmitter(std::make_unique<particles::Emitter>(emitter->Duplicate()));
}

int Magic_UnloadEmitter(HM_EMITTER handle)
{
    Library& library = GetLibrary();
    if (library.cursor.emitter == handle)
        library.cursor = RenderCursor();
    return Status(library.emitters.erase(handle) == 1);
}

int Magic_SetInterpolationMode(HM_EMITTER handle, bool on)
{
    particles::Emitter* emitter = FindEmitter(handle);
    if (emitter)
        emitter->SetInterpolation(on);
    return Status(emitter != nullptr);
}

bool Magic_IsInterpolationMode(HM_EMITTER handle)
{
    particles::Emitter* emitter = FindEmitter(handle);
    return emitter && emitter->IsInterpolation();
}

double Magic_GetUpdateTime(HM_EMITTER handle)
{
    particles::Emitter* emitter = FindEmitter(handle);
    return emitter ? emitter->GetUpdateTime() : 0.0;
}

int Magic_SetLoopMode(HM_EMITTER handle, int mode)
{
    particles::Emitter* emitter = FindEmitter(handle);
    return Status(emitter && emitter->SetLoopMode(mode));
}

int Magic_SetRandomMode(HM_EMITTER handle, int mode)
{
    particles::Emitter* emitter = FindEmitter(handle);
    return Status(emitter && emitter->SetRandomMode(mode));
}

int Magic_SetEmitterPositionMode(HM_EMITTER handle, int mode)
{
    particles::Emitter* emitter = FindEmitter(handle);
    return Status(emitter && emitter->SetPositionMode(mode));
}

int Magic_SetEmitterPosition(HM_EMITTER handle, const MAGIC_POSITION* position)
{
    particles::Emitter* emitter = FindEmitter(handle);
    if (!emitter || !position || !std::isfinite(position->x) || !std::isfinite(position->y))
        return MAGIC_ERROR;
    emitter->SetPosition(position->x, position->y);
    return MAGIC_SUCCESS;
}

int Magic_GetEmitterPosition(HM_EMITTER handle, MAGIC_POSITION* position)
{
    particles::Emitter* emitter = FindEmitter(handle);
    if (!emitter || !position)
        return MAGIC_ERROR;
    position->x = emitter->GetX();
    position->y = emitter->GetY();
    return MAGIC_SUCCESS;
}

// --- Timeline -------------------------------------------------------------------------

int Magic_Stop(HM_EMITTER handle)
{
    particles::Emitter* emitter = FindEmitter(handle);
    if (emitter)
        emitter->Stop();
    return Status(emitter != nullptr);
}

int Magic_Restart(HM_EMITTER handle)
{
    particles::Emitter* emitter = FindEmitter(handle);
    if (emitter)
        emitter->Restart();
    return Status(emitter != nullptr);
}

int Magic_EmitterToInterval1(HM_EMITTER handle, float speed, const void* reserved)
{
    particles::Emitter* emitter = FindEmitter(handle);
    if (!emitter || reserved)
        return MAGIC_ERROR;
    emitter->PlayToInterval1(speed);
    return MAGIC_SUCCESS;
}

bool Magic_IsInterval1(HM_EMITTER handle)
{
    particles::Emitter* emitter = FindEmitter(handle);
    return emitter && emitter->IsInterval1();
}

bool Magic_InInterval(HM_EMITTER handle)
{
    particles::Emitter* emitter = FindEmitter(handle);
    return emitter && emitter->InInterval();
}

int Magic_SetInterrupt(HM_EMITTER handle, bool interrupt)
{
    particles::Emitter* emitter = FindEmitter(handle);
    if (emitter)
        emitter->SetInterrupt(interrupt);
    return Status(emitter != nullptr);
}

bool Magic_IsInterrupt(HM_EMITTER handle)
{
    particles::Emitter* emitter = FindEmitter(handle);
    return emitter && emitter->IsInterrupt();
}

bool Magic_Update(HM_EMITTER handle, double milliseconds)
{
    particles::Emitter* emitter = FindEmitter(handle);
    return emitter && emitter->Update(milliseconds);
}

// --- Drawing --------------------------------------------------------------------------

int Magic_CreateFirstRenderedParticlesList(HM_EMITTER handle, MAGIC_RENDERING* rendering)
{
    if (!rendering)
        return MAGIC_ERROR;
    RenderCursor& cursor = GetLibrary().cursor;
    cursor = RenderCursor();
    cursor.emitter = handle;
    cursor.object = FindEmitter(handle);
    return FillList(rendering, 0);
}

int Magic_CreateNextRenderedParticlesList(MAGIC_RENDERING* rendering)
{
    if (!rendering)
        return MAGIC_ERROR;
    return FillList(rendering, GetLibrary().cursor.kind + 1);
}

int Magic_GetNextParticleVertexes(MAGIC_PARTICLE_VERTEXES* vertexes)
{
    if (!vertexes)
        return MAGIC_ERROR;
    RenderCursor& cursor = GetLibrary().cursor;
    const particles::Emitter* emitter = cursor.object;
    // The list may have changed since it was made (an update, an unload).
    if (!emitter || cursor.particle >= cursor.count || cursor.kind >= emitter->GetKindCount() ||
        cursor.particle >= emitter->GetParticleCount(cursor.kind))
    {
        std::memset(vertexes, 0, sizeof(*vertexes));
        return MAGIC_ERROR;
    }
    emitter->GetVertexes(cursor.kind, cursor.particle++, vertexes);
    return MAGIC_SUCCESS;
}
