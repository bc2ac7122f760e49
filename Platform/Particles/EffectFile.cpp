#include "Platform/Particles/EffectFile.h"

#include "Platform/Particles/Magic.h"

#include <tinyxml2.h>

#include <charconv>
#include <cmath>
#include <cstring>
#include <initializer_list>

namespace particles
{

namespace
{

// Reads one element's attributes, each checked against a range; the first
// problem becomes the error and every later read is skipped.
class AttributeReader
{
public:
    AttributeReader(const tinyxml2::XMLElement* element, std::string* error) : mElement(element), mError(error) {}

    bool Ok() const { return mError->empty(); }

    // Fails on any attribute that is not one of names.
    void AllowOnly(std::initializer_list<const char*> names)
    {
        for (const tinyxml2::XMLAttribute* a = mElement->FirstAttribute(); a && Ok(); a = a->Next())
        {
            bool known = false;
            for (const char* name : names)
                known = known || std::strcmp(name, a->Name()) == 0;
            if (!known)
                Fail(std::string("unknown attribute \"") + a->Name() + "\"");
        }
    }

    const char* Text(const char* name) const { return mElement->Attribute(name); }

    void Name(const char* attribute, size_t maxBytes, std::string* out)
    {
        const char* text = Text(attribute);
        if (!Ok())
            return;
        if (!text)
            return Fail(std::string("attribute \"") + attribute + "\" is missing");
        const size_t length = std::strlen(text);
        if (length == 0 || length > maxBytes)
            return Fail(std::string("attribute \"") + attribute + "\" must hold 1 to " + std::to_string(maxBytes) +
                        " bytes");
        *out = text;
    }

    // A folder or emitter name: no '/', not "." or "..".
    void EntryName(std::string* out)
    {
        Name("name", kMaxNameBytes, out);
        if (Ok() && (out->find('/') != std::string::npos || *out == "." || *out == ".."))
            Fail("name \"" + *out + "\" may not hold '/' nor be \".\" or \"..\"");
    }

    template <class T>
    void Number(const char* attribute, double min, double max, T* out)
    {
        const char* text = Text(attribute);
        if (!text || !Ok())
            return;
        double value = 0.0;
        if (!ParseDouble(text, &value))
            return Fail(std::string("attribute \"") + attribute + "\": \"" + text + "\" is not a number");
        if (!(value >= min && value <= max))
            return Fail(std::string("attribute \"") + attribute + "\": " + text + " is outside " + Show(min) +
                        " to " + Show(max));
        *out = static_cast<T>(value);
    }

    template <class T>
    void Integer(const char* attribute, int64_t min, int64_t max, T* out)
    {
        const char* text = Text(attribute);
        if (!text || !Ok())
            return;
        int64_t value = 0;
        const char* end = text + std::strlen(text);
        auto [next, status] = std::from_chars(text, end, value);
        if (status != std::errc() || next != end || next == text)
            return Fail(std::string("attribute \"") + attribute + "\": \"" + text + "\" is not a whole number");
        if (value < min || value > max)
            return Fail(std::string("attribute \"") + attribute + "\": " + text + " is outside " +
                        std::to_string(min) + " to " + std::to_string(max));
        *out = static_cast<T>(value);
    }

    void Flag(const char* attribute, bool* out)
    {
        const char* text = Text(attribute);
        if (!text || !Ok())
            return;
        if (std::strcmp(text, "1") == 0 || std::strcmp(text, "true") == 0)
            *out = true;
        else if (std::strcmp(text, "0") == 0 || std::strcmp(text, "false") == 0)
            *out = false;
        else
            Fail(std::string("attribute \"") + attribute + "\": \"" + text + "\" is not 0 or 1");
    }

    // Index of the attribute's text in choices; the default stays when absent.
    int Choice(const char* attribute, std::initializer_list<const char*> choices, int value)
    {
        const char* text = Text(attribute);
        if (!text || !Ok())
            return value;
        int index = 0;
        for (const char* choice : choices)
        {
            if (std::strcmp(choice, text) == 0)
                return index;
            ++index;
        }
        Fail(std::string("attribute \"") + attribute + "\": \"" + text + "\" is not one of the known values");
        return value;
    }

    // count numbers separated by spaces, each within [-limit, limit].
    void Numbers(const char* attribute, size_t count, double limit, float* out)
    {
        const char* text = Text(attribute);
        if (!text || !Ok())
            return;
        float values[4] = {};
        const char* p = text;
        const char* end = text + std::strlen(text);
        for (size_t i = 0; i < count; ++i)
        {
            while (p < end && *p == ' ')
                ++p;
            const char* start = p;
            while (p < end && *p != ' ')
                ++p;
            double value = 0.0;
            if (!ParseDouble(std::string(start, p), &value) || !(std::fabs(value) <= limit))
                return Fail(std::string("attribute \"") + attribute + "\": \"" + text + "\" is not " +
                            std::to_string(count) + " numbers within +-" + Show(limit));
            values[i] = static_cast<float>(value);
        }
        while (p < end && *p == ' ')
            ++p;
        if (p != end)
            return Fail(std::string("attribute \"") + attribute + "\": \"" + text + "\" holds more than " +
                        std::to_string(count) + " numbers");
        std::memcpy(out, values, count * sizeof(float));
    }

    // "AARRGGBB", or "RRGGBB" for an opaque colour.
    void Color(const char* attribute, uint32_t* out)
    {
        const char* text = Text(attribute);
        if (!text || !Ok())
            return;
        const size_t length = std::strlen(text);
        uint32_t value = 0;
        auto [next, status] = std::from_chars(text, text + length, value, 16);
        if ((length != 6 && length != 8) || status != std::errc() || next != text + length)
            return Fail(std::string("attribute \"") + attribute + "\": \"" + text +
                        "\" is not a colour AARRGGBB or RRGGBB");
        *out = length == 6 ? (value | 0xFF000000u) : value;
    }

    void Fail(const std::string& what)
    {
        if (Ok())
            *mError = "line " + std::to_string(mElement->GetLineNum()) + ": <" + mElement->Name() + ">: " + what;
    }

private:
    static bool ParseDouble(const std::string& text, double* out)
    {
        const char* begin = text.c_str();
        const char* end = begin + text.size();
        if (begin != end && *begin == '+')
            ++begin;
        auto [next, status] = std::from_chars(begin, end, *out);
        return status == std::errc() && next == end && next != begin && std::isfinite(*out);
    }

    static std::string Show(double value)
    {
        char buffer[32];
        auto [end, status] = std::to_chars(buffer, buffer + sizeof(buffer), value, std::chars_format::fixed);
        return status == std::errc() ? std::string(buffer, end) : std::string("?");
    }

    const tinyxml2::XMLElement* mElement;
    std::string* mError;
};

class FileReader
{
public:
    FileReader(EffectFile* file, std::string* error) : mFile(file), mError(error) {}

    bool Read(const tinyxml2::XMLElement* root)
    {
        if (std::strcmp(root->Name(), "ptc") != 0)
            return Fail(root, "the top element is not <ptc>");
        AttributeReader attributes(root, mError);
        attributes.AllowOnly({"name"});
        if (const char* name = attributes.Text("name"))
        {
            if (std::strlen(name) > kMaxAtlasFileBytes)
                attributes.Fail("the name is longer than 1023 bytes");
            mFile->hasName = true;
            mFile->name = name;
        }
        if (!attributes.Ok())
            return false;
        // Atlases first: particle kinds are checked against their count.
        for (const tinyxml2::XMLElement* child = root->FirstChildElement(); child;
             child = child->NextSiblingElement())
            if (std::strcmp(child->Name(), "atlas") == 0 && !ReadAtlas(child))
                return false;
        mFile->folders.push_back(Folder());
        return ReadFolderContents(root, 0, 0);
    }

private:
    bool ReadAtlas(const tinyxml2::XMLElement* element)
    {
        if (mFile->atlases.size() >= kMaxAtlases)
            return Fail(element, "more than 256 atlases");
        AtlasDesc atlas;
        AttributeReader attributes(element, mError);
        attributes.AllowOnly({"file", "width", "height"});
        attributes.Name("file", kMaxAtlasFileBytes, &atlas.file);
        if (attributes.Ok() && (!attributes.Text("width") || !attributes.Text("height")))
            attributes.Fail("width and height are required");
        attributes.Integer("width", 1, 16384, &atlas.width);
        attributes.Integer("height", 1, 16384, &atlas.height);
        if (element->FirstChildElement())
            attributes.Fail("holds elements");
        if (!attributes.Ok())
            return false;
        mFile->atlases.push_back(atlas);
        return true;
    }

    bool ReadFolderContents(const tinyxml2::XMLElement* parent, int folder, int depth)
    {
        for (const tinyxml2::XMLElement* child = parent->FirstChildElement(); child;
             child = child->NextSiblingElement())
        {
            const char* kind = child->Name();
            if (std::strcmp(kind, "folder") == 0)
            {
                if (!ReadFolder(child, folder, depth + 1))
                    return false;
            }
            else if (std::strcmp(kind, "emitter") == 0)
            {
                if (!ReadEmitter(child, folder))
                    return false;
            }
            else if (!(folder == 0 && std::strcmp(kind, "atlas") == 0))
            {
                return Fail(child, "unknown element here");
            }
        }
        return true;
    }

    bool ReadFolder(const tinyxml2::XMLElement* element, int parent, int depth)
    {
        if (depth > kMaxFolderDepth)
            return Fail(element, "folders nest more than 32 deep");
        if (mFile->folders.size() >= kMaxFolders)
            return Fail(element, "more than 4096 folders");
        Folder folder;
        folder.parent = parent;
        AttributeReader attributes(element, mError);
        attributes.AllowOnly({"name"});
        attributes.EntryName(&folder.name);
        if (attributes.Ok() && FindEntry(*mFile, parent, MAGIC_FOLDER, folder.name.c_str()) >= 0)
            attributes.Fail("a folder \"" + folder.name + "\" is already in this folder");
        if (!attributes.Ok())
            return false;
        const int index = static_cast<int>(mFile->folders.size());
        mFile->folders.push_back(folder);
        mFile->folders[parent].entries.push_back({MAGIC_FOLDER, index});
        return ReadFolderContents(element, index, depth);
    }

    bool ReadEmitter(const tinyxml2::XMLElement* element, int folder)
    {
        if (mFile->emitters.size() >= kMaxEmitters)
            return Fail(element, "more than 4096 emitters");
        auto emitter = std::make_shared<EmitterDesc>();
        AttributeReader attributes(element, mError);
        attributes.AllowOnly({"name", "interval1", "interval2", "loop", "update_time", "interpolation", "random",
                              "seed"});
        attributes.EntryName(&emitter->name);
        if (attributes.Ok() && FindEntry(*mFile, folder, MAGIC_EMITTER, emitter->name.c_str()) >= 0)
            attributes.Fail("an emitter \"" + emitter->name + "\" is already in this folder");
        attributes.Number("interval2", 1.0, 3600000.0, &emitter->interval2);
        attributes.Number("interval1", 0.0, emitter->interval2 - 1.0, &emitter->interval1);
        emitter->loop = attributes.Choice("loop", {"once", "repeat"}, 0) == 1 ? LoopKind::Repeat : LoopKind::Once;
        attributes.Number("update_time", 1.0, 1000.0, &emitter->updateTime);
        attributes.Flag("interpolation", &emitter->interpolation);
        emitter->freshSeed = attributes.Choice("random", {"fixed", "fresh"}, 1) == 1;
        attributes.Integer("seed", 0, 0xFFFFFFFFll, &emitter->seed);
        if (!attributes.Ok())
            return false;
        for (const tinyxml2::XMLElement* child = element->FirstChildElement(); child;
             child = child->NextSiblingElement())
        {
            if (std::strcmp(child->Name(), "particles") != 0)
                return Fail(child, "unknown element here");
            if (emitter->kinds.size() >= kMaxKindsPerEmitter)
                return Fail(child, "more than 64 kinds of particles in one emitter");
            ParticleKind kind;
            if (!ReadParticles(child, *emitter, &kind))
                return false;
            emitter->kinds.push_back(kind);
        }
        const int index = static_cast<int>(mFile->emitters.size());
        mFile->emitters.push_back(emitter);
        mFile->folders[folder].entries.push_back({MAGIC_EMITTER, index});
        return true;
    }

    bool ReadParticles(const tinyxml2::XMLElement* element, const EmitterDesc& emitter, ParticleKind* kind)
    {
        const double kDistance = 100000.0;
        const double kAngle = 1000000.0;
        AttributeReader attributes(element, mError);
        attributes.AllowOnly({"texture", "uv", "intense", "emit_from", "emit_to", "rate", "burst", "max", "shape",
                              "radius", "width", "height", "life", "life_var", "speed", "speed_var", "angle",
                              "spread", "gravity", "drag", "size", "size_end", "size_var", "rotation",
                              "rotation_var", "spin", "spin_var", "color", "color_end"});
        const int atlases = static_cast<int>(mFile->atlases.size());
        if (attributes.Ok() && atlases == 0)
            attributes.Fail("the file has no <atlas> to take the texture from");
        attributes.Integer("texture", 0, atlases - 1, &kind->texture);
        attributes.Numbers("uv", 4, 10000.0, kind->uv);
        attributes.Flag("intense", &kind->intense);
        kind->emitTo = emitter.interval2;
        attributes.Number("emit_from", 0.0, 3600000.0, &kind->emitFrom);
        attributes.Number("emit_to", kind->emitFrom, 3600000.0, &kind->emitTo);
        attributes.Number("rate", 0.0, 100000.0, &kind->rate);
        attributes.Integer("burst", 0, kMaxParticlesPerKind, &kind->burst);
        attributes.Integer("max", 1, kMaxParticlesPerKind, &kind->max);
        kind->shape = static_cast<EmitShape>(
            attributes.Choice("shape", {"point", "circle", "ring", "rect"}, static_cast<int>(EmitShape::Point)));
        attributes.Number("radius", 0.0, kDistance, &kind->radius);
        attributes.Number("width", 0.0, kDistance, &kind->width);
        attributes.Number("height", 0.0, kDistance, &kind->height);
        attributes.Number("life", 1.0, 1000000.0, &kind->life);
        attributes.Number("life_var", 0.0, 1000000.0, &kind->lifeVar);
        attributes.Number("speed", -kDistance, kDistance, &kind->speed);
        attributes.Number("speed_var", 0.0, kDistance, &kind->speedVar);
        attributes.Number("angle", -kAngle, kAngle, &kind->angle);
        attributes.Number("spread", 0.0, 360.0, &kind->spread);
        attributes.Numbers("gravity", 2, 1000000.0, kind->gravity);
        attributes.Number("drag", 0.0, 1000.0, &kind->drag);
        attributes.Number("size", 0.0, kDistance, &kind->size);
        kind->sizeEnd = kind->size;
        attributes.Number("size_end", 0.0, kDistance, &kind->sizeEnd);
        attributes.Number("size_var", 0.0, 1.0, &kind->sizeVar);
        attributes.Number("rotation", -kAngle, kAngle, &kind->rotation);
        attributes.Number("rotation_var", 0.0, kAngle, &kind->rotationVar);
        attributes.Number("spin", -kAngle, kAngle, &kind->spin);
        attributes.Number("spin_var", 0.0, kAngle, &kind->spinVar);
        attributes.Color("color", &kind->color);
        kind->colorEnd = kind->color;
        attributes.Color("color_end", &kind->colorEnd);
        if (element->FirstChildElement())
            attributes.Fail("holds elements");
        return attributes.Ok();
    }

    bool Fail(const tinyxml2::XMLElement* element, const std::string& what)
    {
        AttributeReader(element, mError).Fail(what);
        return false;
    }

    EffectFile* mFile;
    std::string* mError;
};

} // namespace

bool ParseEffectFile(const char* text, size_t length, EffectFile* out, std::string* error)
{
    *out = EffectFile();
    error->clear();
    if (!text || length == 0)
    {
        *error = "the file is empty";
        return false;
    }
    if (length > kMaxFileBytes)
    {
        *error = "the file is larger than 16 MiB";
        return false;
    }
    tinyxml2::XMLDocument document;
    if (document.Parse(text, length) != tinyxml2::XML_SUCCESS)
    {
        *error = std::string("not XML: ") + document.ErrorStr();
        return false;
    }
    EffectFile file;
    FileReader reader(&file, error);
    if (!document.RootElement())
        *error = "the file holds no element";
    else if (!reader.Read(document.RootElement()) && error->empty())
        *error = "the file could not be read";
    if (!error->empty())
        return false;
    *out = std::move(file);
    return true;
}

int FindEntry(const EffectFile& file, int folder, int type, const char* name)
{
    if (folder < 0 || static_cast<size_t>(folder) >= file.folders.size() || !name)
        return -1;
    for (const FolderEntry& entry : file.folders[folder].entries)
    {
        if (entry.type != type)
            continue;
        const std::string& entryName =
            type == MAGIC_FOLDER ? file.folders[entry.index].name : file.emitters[entry.index]->name;
        if (entryName == name)
            return entry.index;
    }
    return -1;
}

} // namespace particles
