#pragma once

// Our particle library, in the shapes the engine calls it: effect files are
// opened from memory, walked folder by folder, and their emitters loaded as
// handles that are updated, placed and drawn as lists of quads.
//
//   HM_FILE file = Magic_OpenFileInMemory(text);         // zero-terminated
//   MAGIC_FIND_DATA find;
//   for (const char* name = Magic_FindFirst(file, &find, MAGIC_FOLDER | MAGIC_EMITTER); name;
//        name = Magic_FindNext(file, &find))
//       if (find.type == MAGIC_EMITTER)
//           emitter = Magic_LoadEmitter(file, name);
//   Magic_EmitterToInterval1(emitter, 1.0f, nullptr);      // start, pre-warmed
//   Magic_Update(emitter, 16.7);                           // milliseconds
//   MAGIC_RENDERING list;
//   for (Magic_CreateFirstRenderedParticlesList(emitter, &list); list.count;
//        Magic_CreateNextRenderedParticlesList(&list))
//       for (int i = 0; i < list.count; ++i)
//           Magic_GetNextParticleVertexes(&quad);            // 4 corners, colour
//
// The effect-file format is described in Platform/Particles/EffectFile.h.
//
// Handles are positive ids that are never reused, so a stale or forged handle
// fails instead of reaching freed memory; 0 means failure. Calls that answer
// with a status give MAGIC_SUCCESS or MAGIC_ERROR. Everything runs on the
// caller's thread, and the library keeps one rendering cursor for the whole
// process: call it from one thread only.
//
// Times are milliseconds, distances are the caller's units (the engine's
// layout pixels, y down), angles are degrees, colours are ARGB words.

#include <cstdint>

typedef int32_t HM_FILE;
typedef int32_t HM_EMITTER;

#define MAGIC_SUCCESS 0
#define MAGIC_ERROR -1

// Entry kinds of MAGIC_FIND_DATA, and bits of the find mode.
#define MAGIC_FOLDER 1
#define MAGIC_EMITTER 2

// Loop modes: as the effect file says, play the interval again and again, or
// play it once and end when the last particle has gone.
#define MAGIC_LOOP_AS_FILE 0
#define MAGIC_LOOP_REPEAT 1
#define MAGIC_LOOP_ONCE 2

// Random modes: every restart replays the file's seed, or takes a fresh seed
// from the C runtime's rand (so srand makes a run repeatable).
#define MAGIC_RANDOM_FIXED 0
#define MAGIC_RANDOM_FRESH 1

// Position modes: a new position moves only where particles are born, or the
// particles already alive with it.
#define MAGIC_POSITION_NEW_PARTICLES 0
#define MAGIC_POSITION_ALL_PARTICLES 1

// One entry of a folder. The last three fields are the cursor of the walk and
// belong to the library: the walk stays in the folder that was current at
// Magic_FindFirst even when the caller changes folders in between.
struct MAGIC_FIND_DATA
{
    int type;          // MAGIC_FOLDER or MAGIC_EMITTER
    const char* name;  // valid while the file is open
    HM_FILE file;
    int folder;
    int position;
    int mode;
};

struct MAGIC_POSITION
{
    float x;
    float y;
};

// A texture page the file's particles take their pictures from; file names
// the image relative to the effect file's folder.
struct MAGIC_STATIC_ATLAS
{
    const char* file;  // valid while the file is open
    int width;
    int height;
};

// One list of particles drawn with one texture and one blend: count is 0 when
// there are no more lists; texture_id is the index of the file's atlas;
// intense asks for additive blending.
struct MAGIC_RENDERING
{
    int count;
    int texture_id;
    bool intense;
};

// One particle: corners top-left, top-right, bottom-right, bottom-left (so
// that the triangles 1-2-3 and 1-3-4 cover it), texture coordinates within
// the atlas page, and its colour.
struct MAGIC_PARTICLE_VERTEXES
{
    float x1, y1, u1, v1;
    float x2, y2, u2, v2;
    float x3, y3, u3, v3;
    float x4, y4, u4, v4;
    uint32_t color;
};

// --- Effect files ---------------------------------------------------------------------

// Parses a zero-terminated effect file; the library copies what it needs, so
// the buffer may be freed at once. 0 when the text is not a valid effect file.
HM_FILE Magic_OpenFileInMemory(const char* text);
// Why the latest Magic_OpenFileInMemory gave 0, naming the line where it can;
// "" after one that succeeded.
const char* Magic_GetOpenFileError();
// Emitters loaded from the file stay usable.
int Magic_CloseFile(HM_FILE file);
// The name the file gives itself, or null when it gives none.
const char* Magic_GetFileName(HM_FILE file);
// True when the file lists texture pages of its own.
bool Magic_HasTextures(HM_FILE file);

// "" stays, ".." goes up (staying at the top), "/" goes to the top, and a
// name, or several joined by '/', goes down. On failure the folder stays.
int Magic_SetCurrentFolder(HM_FILE file, const char* path);
// The first entry of the current folder whose kind is in mode, or null.
const char* Magic_FindFirst(HM_FILE file, MAGIC_FIND_DATA* data, int mode);
const char* Magic_FindNext(HM_FILE file, MAGIC_FIND_DATA* data);
// An emitter of the current folder, stopped at the start; 0 when there is none.
HM_EMITTER Magic_LoadEmitter(HM_FILE file, const char* name);

int Magic_GetStaticAtlasCount(HM_FILE file);
int Magic_GetStaticAtlas(HM_FILE file, int index, MAGIC_STATIC_ATLAS* atlas);

// --- Emitters -------------------------------------------------------------------------

// A new emitter with the same effect, modes and position, stopped at the start.
HM_EMITTER Magic_DuplicateEmitter(HM_EMITTER emitter);
int Magic_UnloadEmitter(HM_EMITTER emitter);

// On, Magic_Update advances by exactly the time given; off, it advances in
// whole steps of Magic_GetUpdateTime and carries the rest to the next call.
int Magic_SetInterpolationMode(HM_EMITTER emitter, bool on);
bool Magic_IsInterpolationMode(HM_EMITTER emitter);
double Magic_GetUpdateTime(HM_EMITTER emitter);
int Magic_SetLoopMode(HM_EMITTER emitter, int mode);
int Magic_SetRandomMode(HM_EMITTER emitter, int mode);

int Magic_SetEmitterPositionMode(HM_EMITTER emitter, int mode);
int Magic_SetEmitterPosition(HM_EMITTER emitter, const MAGIC_POSITION* position);
int Magic_GetEmitterPosition(HM_EMITTER emitter, MAGIC_POSITION* position);

// --- Timeline -------------------------------------------------------------------------

// An emitter plays the interval [interval1, interval2] of its effect's
// timeline. Stopped: no particles, time 0, Magic_Update does nothing.
int Magic_Stop(HM_EMITTER emitter);
// Time 0, no particles, playing.
int Magic_Restart(HM_EMITTER emitter);
// Restarts and plays quickly up to interval1, in steps of the update time
// times speed, so that an effect that should be under way already is.
// reserved must be null.
int Magic_EmitterToInterval1(HM_EMITTER emitter, float speed, const void* reserved);
// True when the effect starts later than time 0 (it needs the quick play).
bool Magic_IsInterval1(HM_EMITTER emitter);
// True while the time lies within the interval.
bool Magic_InInterval(HM_EMITTER emitter);
// Interrupted: no particle is born any more, the live ones run out.
int Magic_SetInterrupt(HM_EMITTER emitter, bool interrupt);
bool Magic_IsInterrupt(HM_EMITTER emitter);
// Advances by milliseconds (negative or not a number counts as 0; more than a
// minute counts as a minute). False when the effect has ended: stopped, or
// interrupted or played once to the end, with no particle left.
bool Magic_Update(HM_EMITTER emitter, double milliseconds);

// --- Drawing --------------------------------------------------------------------------

// The emitter's particles come out as lists, one per particle kind that has
// particles now, in drawing order; a list's particles are read one by one
// with Magic_GetNextParticleVertexes, oldest first, and may be left unread.
// The cursor is the library's: a list belongs to the last emitter given to
// Magic_CreateFirstRenderedParticlesList. Both fill count 0 when there is no
// list (and answer MAGIC_ERROR).
int Magic_CreateFirstRenderedParticlesList(HM_EMITTER emitter, MAGIC_RENDERING* rendering);
int Magic_CreateNextRenderedParticlesList(MAGIC_RENDERING* rendering);
// MAGIC_ERROR, with a zeroed record, past the end of the current list.
int Magic_GetNextParticleVertexes(MAGIC_PARTICLE_VERTEXES* vertexes);
