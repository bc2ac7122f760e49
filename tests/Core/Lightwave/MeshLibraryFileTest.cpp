// The mesh-library reader: what a vertex leaves out takes its default, and
// bad files are refused whole with a message naming the line and the fault.
// The sample library is read by the resource tests.

#include "Core/Lightwave/MeshLibraryFile.h"

#include <gtest/gtest.h>

#include <string>

namespace
{

bool Parse(const std::string& text, lightwave::MeshLibraryFile* out, std::string* error)
{
    return lightwave::ParseMeshLibraryFile(text.data(), text.size(), out, error);
}

// A library of one mesh whose vertices and indices elements are given.
std::string OneMesh(const std::string& vertices, const std::string& indices)
{
    return "<meshlib texture=\"t\"><mesh name=\"m\">" + vertices + indices + "</mesh></meshlib>";
}

const std::string kTriangle = R"(<vertices count="3"><v x="0" y="0"/><v x="1" y="0"/><v x="0" y="1"/></vertices>)";
const std::string kIndices = R"(<indices count="3">0 1 2</indices>)";

// One vertex, for a vertex's attributes, with the triangle's indices.
std::string OneVertex(const std::string& attributes)
{
    return OneMesh("<vertices count=\"1\"><v " + attributes + "/></vertices>", kIndices);
}

std::string Indices(const std::string& count, const std::string& indices)
{
    return OneMesh(kTriangle, "<indices count=\"" + count + "\">" + indices + "</indices>");
}

TEST(MeshLibraryFile, VerticesTakeTheirDefaultsAndColoursOfSixDigitsAreOpaque)
{
    lightwave::MeshLibraryFile file;
    std::string error;
    const std::string colours = OneMesh(R"(<vertices count="3"><v x="1.5" y="-2" z="3" u="0.25" v="1" color="102030"/>
        <v x="0" y="0" color="80FF0000"/><v x="+4" y="5e2"/></vertices>)",
                                        "<indices count=\"3\">\n 2\t1 0 </indices>");
    ASSERT_TRUE(Parse(colours, &file, &error)) << error;
    const render::Mesh2D& mesh = file.meshes[0].mesh;
    const render::SVertex2D& v = mesh.mVertices[0];
    EXPECT_EQ(std::vector<float>({v.x, v.y, v.z, v.w, v.tu, v.tv}), std::vector<float>({1.5f, -2, 3, 1, 0.25f, 1}));
    EXPECT_EQ(std::vector<uint32_t>({v.diffuse, mesh.mVertices[1].diffuse, mesh.mVertices[2].diffuse}),
              std::vector<uint32_t>({0xFF102030u, 0x80FF0000u, 0xFFFFFFFFu}));
    EXPECT_EQ(mesh.mVertices[2].y, 500.0f);
    EXPECT_EQ(mesh.mIndices, (std::vector<unsigned short>{2, 1, 0}));
}

TEST(MeshLibraryFile, BadFilesAreRefusedWithAMessageAndNothingRead)
{
    // 257 meshes, and 5000 levels of nesting.
    std::string meshes = "<meshlib texture=\"t\">", open, close;
    for (int i = 0; i < 5000; ++i)
    {
        open += "<a>";
        close += "</a>";
        if (i < 257)
            meshes += "<mesh name=\"m" + std::to_string(i) + "\">" + kTriangle + kIndices + "</mesh>";
    }
    const std::pair<std::string, const char*> cases[] = {
        {"", "the file is empty"},
        {OneMesh(kTriangle, kIndices).substr(0, 60), "not XML"},
        {"<ptc/>", "line 1: <ptc>: the file must start with <meshlib>"},
        {"<meshlib><mesh/></meshlib>", "attribute \"texture\" is missing"},
        {"<meshlib texture=\"t\"/>", "the library holds no <mesh>"},
        {OneMesh(R"(<vertices count="4"><v x="0" y="0"/></vertices>)", kIndices), "holds 1 vertices, not the count 4"},
        {Indices("6", "0 1 2"), "<indices>: holds 3 indices, not the count 6"},
        {OneMesh(R"(<vertices count="1"><v x="0" y="0"/><v x="0" y="0"/></vertices>)", kIndices),
         "<v>: more vertices than the count 1"},
        {Indices("3", "0 1 2 0"), "more indices than the count 3"},
        {Indices("3", "0 1 3"), "index 2 is 3, past the 3 vertices"},
        {Indices("3", "0 -1 2"), "index 1 is not a whole number"},
        {Indices("3", "0 65536 2"), "index 1 is 65536, past the 3 vertices"},
        {Indices("4", "0 1 2 0"), "count 4 is not a multiple of 3"},
        {OneMesh(R"(<vertices count="4294967296"/>)", kIndices), "\"count\" must be a whole number from 1 to 10240"},
        {Indices("1024", "0"), "attribute \"count\" must be a whole number from 3 to 1023"},
        {OneVertex(R"(x="1e7" y="0")"), "<v>: attribute \"x\" must be a number within +-1000000"},
        {OneVertex(R"(x="0" y="nan")"), "attribute \"y\" must be a number"},
        {OneVertex(R"(x="0" y="0" u="1025")"), "attribute \"u\" must be a number within +-1024"},
        {OneVertex(R"(x="0" y="0" color="FFGG00")"), "attribute \"color\" must be a colour"},
        {OneVertex(R"(x="0")"), "attribute \"y\" is missing"},
        {OneVertex(R"(x="0" y="0" w="1")"), "unknown attribute \"w\""},
        {"<meshlib texture=\"t\"><group/></meshlib>", "<group>: unknown element; <meshlib> holds <mesh> only"},
        {OneMesh(kIndices, kTriangle), "a mesh holds one <vertices> and then one <indices>"},
        {Indices("3", "0 1 2<v/>"), "holds numbers only"},
        {"<meshlib texture=\"t\"><mesh name=\"a\">" + kTriangle + kIndices + "</mesh><mesh name=\"a\">" + kTriangle +
             kIndices + "</mesh></meshlib>",
         "line 1: <mesh>: a mesh of this name comes earlier"},
        {meshes + "</meshlib>", "more than 256 meshes"},
        {"<meshlib texture=\"t\">" + open + close + "</meshlib>", "not XML"},
        {"<meshlib texture=\"t\">" + std::string(4u << 20, ' ') + "</meshlib>", "the file is larger than 4194304 bytes"}};
    for (const auto& c : cases)
    {
        lightwave::MeshLibraryFile file;
        file.texture = "left from before";
        std::string error;
        EXPECT_FALSE(Parse(c.first, &file, &error)) << c.second;
        EXPECT_NE(error.find(c.second), std::string::npos) << error;
        EXPECT_TRUE(file.texture.empty() && file.meshes.empty()) << c.second;
    }
}

} // namespace
