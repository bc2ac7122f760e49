#pragma once

// Effect files (".ptc") are UTF-8 XML:
//
//   <ptc name="fx2.ptc">
//     <atlas file="fx2_atlas.png" width="256" height="256"/>
//     <folder name="chips">
//       <emitter name="chip_burst" interval2="900" loop="once">
//         <particles texture="0" uv="0 0 0.25 0.25" intense="1"
//                    burst="24" life="500" life_var="150" speed="160" speed_var="60"
//                    spread="360" gravity="0 300" size="20" size_end="4"
//                    color="FFFFE080" color_end="00FF6000"/>
//       </emitter>
//     </folder>
//   </ptc>
//
// <ptc>: the file. name (optional) is the name the file gives itself.
// Children: <atlas>, <folder> and <emitter>, in any order.
//
// <atlas>: one texture page; the n-th <atlas> is texture 0-based n.
//   file    image file name, relative to the effect file's folder (required)
//   width, height   its size in pixels, 1 to 16384 (required)
//
// <folder>: name (required); children <folder> and <emitter>. Folders nest at
// most 32 deep. Names within one folder are unique, are 1 to 255 bytes, hold
// no '/', and are not "." or "..".
//
// <emitter>: one effect. name (required), and
//   interval1   ms; play starts here, the time before it is played quickly
//               when the emitter starts (default 0)
//   interval2   ms; the end of the timeline (default 1000, at most 3600000,
//               at least interval1 + 1)
//   loop        "once": the effect ends at interval2 once its particles have
//               gone; "repeat": time goes back to interval1 (default "once")
//   update_time ms per step when the caller steps without interpolation
//               (1 to 1000, default 16.667)
//   interpolation "1": the caller's times are followed exactly (default "0")
//   random      "fixed": every start replays seed; "fresh": every start takes
//               a new seed (default "fresh")
//   seed        the fixed seed (default 1)
// Children: up to 64 <particles>, drawn in document order (later on top).
//
// <particles>: one kind of particle, drawn as one list of textured quads.
//   texture     index of an <atlas> of the file (default 0; must exist)
//   uv          u v width height of the picture within the page (default 0 0 1 1)
//   intense     "1": additive blending (default "0")
//   emit_from, emit_to   ms; particles are born in this part of the timeline
//               (default 0 and interval2)
//   rate        particles born per second (0 to 100000, default 0)
//   burst       particles born at once at emit_from (0 to 20000, default 0)
//   max         most particles of this kind alive at once (1 to 20000,
//               default 5000); an emitter never holds more than 20000
//   shape       where they are born around the emitter: "point", "circle"
//               (inside radius), "ring" (on radius), "rect" (width x height,
//               centred) (default "point"); radius, width, height
//   life, life_var       ms, each particle's life is life +- life_var (life
//               1 to 1000000, default 1000; at least 1 ms in the end)
//   speed, speed_var     units per second at birth (default 0)
//   angle, spread        direction in degrees, 0 along +x, 90 along +y (down);
//               each particle goes within angle +- spread / 2 (spread 0 to 360)
//   gravity     "x y", units per second squared (default 0 0)
//   drag        share of the speed lost per second (0 to 1000, default 0)
//   size, size_end       the quad's side at birth and at death (default 16,
//               size_end = size); size_var: each particle's sizes are scaled by
//               1 +- size_var (0 to 1)
//   rotation, rotation_var   degrees at birth; spin, spin_var: degrees per second
//   color, color_end     ARGB in hex, "AARRGGBB" or "RRGGBB" (opaque), at birth
//               and at death, mixed linearly over the life (default FFFFFFFF,
//               color_end = color)
//
// Numbers are decimal; every value is checked, and any unknown element or
// attribute, value out of range, or text that is not XML makes the whole
// file fail with a message naming the line.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace particles
{

enum class EmitShape
{
    Point,
    Circle,
    Ring,
    Rect,
};

enum class LoopKind
{
    Once,
    Repeat,
};

struct ParticleKind
{
    int texture = 0;
    float uv[4] = {0.0f, 0.0f, 1.0f, 1.0f};
    bool intense = false;
    double emitFrom = 0.0;
    double emitTo = 0.0;
    double rate = 0.0;
    uint32_t burst = 0;
    uint32_t max = 5000;
    EmitShape shape = EmitShape::Point;
    float radius = 0.0f;
    float width = 0.0f;
    float height = 0.0f;
    float life = 1000.0f;
    float lifeVar = 0.0f;
    float speed = 0.0f;
    float speedVar = 0.0f;
    float angle = 0.0f;
    float spread = 0.0f;
    float gravity[2] = {0.0f, 0.0f};
    float drag = 0.0f;
    float size = 16.0f;
    float sizeEnd = 16.0f;
    float sizeVar = 0.0f;
    float rotation = 0.0f;
    float rotationVar = 0.0f;
    float spin = 0.0f;
    float spinVar = 0.0f;
    uint32_t color = 0xFFFFFFFFu;
    uint32_t colorEnd = 0xFFFFFFFFu;
};

struct EmitterDesc
{
    std::string name;
    double interval1 = 0.0;
    double interval2 = 1000.0;
    LoopKind loop = LoopKind::Once;
    double updateTime = 1000.0 / 60.0;
    bool interpolation = false;
    bool freshSeed = true;
    uint32_t seed = 1;
    std::vector<ParticleKind> kinds;
};

struct AtlasDesc
{
    std::string file;
    int width = 0;
    int height = 0;
};

struct FolderEntry
{
    int type;   // MAGIC_FOLDER or MAGIC_EMITTER
    int index;  // into EffectFile::folders or EffectFile::emitters
};

struct Folder
{
    std::string name;
    int parent = -1;  // -1 for the top folder
    std::vector<FolderEntry> entries;
};

struct EffectFile
{
    bool hasName = false;
    std::string name;
    std::vector<AtlasDesc> atlases;
    std::vector<Folder> folders;  // folders[0] is the top
    // Shared with the emitters made from them, which outlive the file.
    std::vector<std::shared_ptr<const EmitterDesc>> emitters;
};

// Limits that keep outside data from taking unbounded memory or time.
const size_t kMaxFileBytes = 16u << 20;
const int kMaxFolderDepth = 32;
const size_t kMaxEmitters = 4096;
const size_t kMaxFolders = 4096;
const size_t kMaxKindsPerEmitter = 64;
const size_t kMaxAtlases = 256;
const size_t kMaxNameBytes = 255;
const size_t kMaxAtlasFileBytes = 1023;
const uint32_t kMaxParticlesPerKind = 20000;
// Kinds beyond it wait until particles die.
const size_t kMaxParticlesPerEmitter = 20000;

// Reads length bytes of text (no terminator needed). False, with out emptied
// and error saying why, when the text is not a valid effect file.
bool ParseEffectFile(const char* text, size_t length, EffectFile* out, std::string* error);

// Index of the named entry of that kind in folder, or -1.
int FindEntry(const EffectFile& file, int folder, int type, const char* name);

} // namespace particles
