#include "Core/Lightwave/MeshLibraryFile.h"

#include <tinyxml2.h>

#include <charconv>
#include <cmath>
#include <cstring>
#include <initializer_list>

namespace lightwave
{

namespace
{

// Reads one element; the first problem becomes the error and every later
// read is skipped.
class ElementReader
{
public:
    ElementReader(const tinyxml2::XMLElement* element, std::string* error) : mElement(element), mError(error) {}

    bool Ok() const { return mError->empty(); }

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

    void Text(const char* attribute, size_t maxBytes, std::string* out)
    {
        const char* text = mElement->Attribute(attribute);
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

    // A required whole number within [min, max].
    void Count(const char* attribute, uint32_t min, uint32_t max, uint32_t* out)
    {
        const char* text = mElement->Attribute(attribute);
        if (!Ok())
            return;
        if (!text)
            return Fail(std::string("attribute \"") + attribute + "\" is missing");
        uint32_t value = 0;
        const char* end = text + std::strlen(text);
        auto [next, status] = std::from_chars(text, end, value);
        if (status != std::errc() || next != end || next == text || value < min || value > max)
            return Fail(std::string("attribute \"") + attribute + "\" must be a whole number from " +
                        std::to_string(min) + " to " + std::to_string(max));
        *out = value;
    }

    // A decimal within +-limit; the default stays when absent unless required.
    void Number(const char* attribute, double limit, bool required, float* out)
    {
        const char* text = mElement->Attribute(attribute);
        if (!Ok())
            return;
        if (!text)
        {
            if (required)
                Fail(std::string("attribute \"") + attribute + "\" is missing");
            return;
        }
        const char* begin = text;
        const char* end = text + std::strlen(text);
        if (begin != end && *begin == '+')
            ++begin;
        double value = 0.0;
        auto [next, status] = std::from_chars(begin, end, value);
        if (status != std::errc() || next != end || next == begin || !(std::fabs(value) <= limit))
            return Fail(std::string("attribute \"") + attribute + "\" must be a number within +-" +
                        std::to_string(static_cast<long>(limit)));
        *out = static_cast<float>(value);
    }

    // "AARRGGBB", or "RRGGBB" for an opaque colour.
    void Color(const char* attribute, uint32_t* out)
    {
        const char* text = mElement->Attribute(attribute);
        if (!text || !Ok())
            return;
        const size_t length = std::strlen(text);
        uint32_t value = 0;
        auto [next, status] = std::from_chars(text, text + length, value, 16);
        if ((length != 6 && length != 8) || status != std::errc() || next != text + length)
            return Fail(std::string("attribute \"") + attribute + "\" must be a colour AARRGGBB or RRGGBB");
        *out = length == 6 ? (value | 0xFF000000u) : value;
    }

    void Fail(const std::string& what)
    {
        if (Ok())
            *mError = "line " + std::to_string(mElement->GetLineNum()) + ": <" + mElement->Name() + ">: " + what;
    }

private:
    const tinyxml2::XMLElement* mElement;
    std::string* mError;
};

bool IsNamed(const tinyxml2::XMLElement* element, const char* name)
{
    return element && std::strcmp(element->Name(), name) == 0;
}

bool IsSpace(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\r';
}

class LibraryReader
{
public:
    LibraryReader(MeshLibraryFile* file, std::string* error) : mFile(file), mError(error) {}

    void Read(const tinyxml2::XMLElement* root)
    {
        ElementReader reader(root, mError);
        if (!IsNamed(root, "meshlib"))
            return reader.Fail("the file must start with <meshlib>");
        reader.AllowOnly({"texture"});
        reader.Text("texture", kMaxMeshTextureBytes, &mFile->texture);
        for (const tinyxml2::XMLElement* child = root->FirstChildElement(); child && Ok();
             child = child->NextSiblingElement())
        {
            if (!IsNamed(child, "mesh"))
                return ElementReader(child, mError).Fail("unknown element; <meshlib> holds <mesh> only");
            if (mFile->meshes.size() >= kMaxMeshes)
                return ElementReader(child, mError).Fail("more than " + std::to_string(kMaxMeshes) + " meshes");
            ReadMesh(child);
        }
        if (Ok() && mFile->meshes.empty())
            reader.Fail("the library holds no <mesh>");
    }

private:
    bool Ok() const { return mError->empty(); }

    void ReadMesh(const tinyxml2::XMLElement* element)
    {
        ElementReader reader(element, mError);
        reader.AllowOnly({"name"});
        MeshEntry entry;
        reader.Text("name", kMaxMeshNameBytes, &entry.name);
        for (const MeshEntry& other : mFile->meshes)
        {
            if (Ok() && other.name == entry.name)
                reader.Fail("a mesh of this name comes earlier in the file");
        }
        const tinyxml2::XMLElement* vertices = element->FirstChildElement();
        const tinyxml2::XMLElement* indices = vertices ? vertices->NextSiblingElement() : nullptr;
        if (Ok() && (!IsNamed(vertices, "vertices") || !IsNamed(indices, "indices") || indices->NextSiblingElement()))
            reader.Fail("a mesh holds one <vertices> and then one <indices>");
        if (!Ok())
            return;
        ReadVertices(vertices, &entry.mesh);
        ReadIndices(indices, &entry.mesh);
        if (Ok())
            mFile->meshes.push_back(std::move(entry));
    }

    void ReadVertices(const tinyxml2::XMLElement* element, render::Mesh2D* mesh)
    {
        ElementReader reader(element, mError);
        reader.AllowOnly({"count"});
        uint32_t count = 0;
        reader.Count("count", 1, kMaxMeshVertices, &count);
        if (!Ok())
            return;
        mesh->mVertices.reserve(count);
        for (const tinyxml2::XMLElement* v = element->FirstChildElement(); v && Ok(); v = v->NextSiblingElement())
        {
            ElementReader vertex(v, mError);
            if (!IsNamed(v, "v"))
                return vertex.Fail("unknown element; <vertices> holds <v> only");
            if (mesh->mVertices.size() >= count)
                return vertex.Fail("more vertices than the count " + std::to_string(count));
            vertex.AllowOnly({"x", "y", "z", "u", "v", "color"});
            render::SVertex2D out = {0.0f, 0.0f, 0.0f, 1.0f, 0xFFFFFFFFu, 0x000000FFu, 0.0f, 0.0f};
            vertex.Number("x", kMaxMeshCoordinate, true, &out.x);
            vertex.Number("y", kMaxMeshCoordinate, true, &out.y);
            vertex.Number("z", kMaxMeshCoordinate, false, &out.z);
            vertex.Number("u", kMaxMeshTexCoord, false, &out.tu);
            vertex.Number("v", kMaxMeshTexCoord, false, &out.tv);
            vertex.Color("color", &out.diffuse);
            mesh->mVertices.push_back(out);
        }
        if (Ok() && mesh->mVertices.size() != count)
            reader.Fail("holds " + std::to_string(mesh->mVertices.size()) + " vertices, not the count " +
                        std::to_string(count));
    }

    void ReadIndices(const tinyxml2::XMLElement* element, render::Mesh2D* mesh)
    {
        ElementReader reader(element, mError);
        reader.AllowOnly({"count"});
        uint32_t count = 0;
        reader.Count("count", 3, kMaxMeshIndices, &count);
        if (Ok() && count % 3 != 0)
            reader.Fail("count " + std::to_string(count) + " is not a multiple of 3");
        if (Ok() && element->FirstChildElement())
            reader.Fail("holds numbers only, no elements");
        if (!Ok())
            return;
        const char* p = element->GetText() ? element->GetText() : "";
        const char* end = p + std::strlen(p);
        const size_t vertices = mesh->mVertices.size();
        mesh->mIndices.reserve(count);
        while (Ok())
        {
            while (p < end && IsSpace(*p))
                ++p;
            if (p == end)
                break;
            if (mesh->mIndices.size() >= count)
                return reader.Fail("more indices than the count " + std::to_string(count));
            uint32_t value = 0;
            auto [next, status] = std::from_chars(p, end, value);
            if (status != std::errc() || next == p || (next != end && !IsSpace(*next)))
                return reader.Fail("index " + std::to_string(mesh->mIndices.size()) + " is not a whole number");
            if (value >= vertices)
                return reader.Fail("index " + std::to_string(mesh->mIndices.size()) + " is " +
                                   std::to_string(value) + ", past the " + std::to_string(vertices) + " vertices");
            mesh->mIndices.push_back(static_cast<unsigned short>(value));
            p = next;
        }
        if (Ok() && mesh->mIndices.size() != count)
            reader.Fail("holds " + std::to_string(mesh->mIndices.size()) + " indices, not the count " +
                        std::to_string(count));
    }

    MeshLibraryFile* mFile;
    std::string* mError;
};

} // namespace

bool ParseMeshLibraryFile(const char* text, size_t length, MeshLibraryFile* out, std::string* error)
{
    *out = MeshLibraryFile();
    error->clear();
    if (!text || length == 0)
        *error = "the file is empty";
    else if (length > kMaxMeshFileBytes)
        *error = "the file is larger than " + std::to_string(kMaxMeshFileBytes) + " bytes";
    if (!error->empty())
        return false;
    tinyxml2::XMLDocument document;
    if (document.Parse(text, length) != tinyxml2::XML_SUCCESS)
    {
        *error = std::string("not XML: ") + document.ErrorStr();
        return false;
    }
    MeshLibraryFile file;
    if (!document.RootElement())
        *error = "the file holds no element";
    else
        LibraryReader(&file, error).Read(document.RootElement());
    if (!error->empty())
        return false;
    *out = std::move(file);
    return true;
}

} // namespace lightwave
