// The mesh-library reader: the sample library and the defaults, and bad
// files refused whole with a message naming the line and the fault.

#include "Core/Lightwave/MeshLibraryFile.h"

#include "tests/Support/TempFolder.h"

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

TEST(MeshLibraryFile, TheSampleLibraryReadsWithItsDefaults)
{
    lightwave::MeshLibraryFile file;
    std::string error;
    ASSERT_TRUE(Parse(testing_support::ReadFile(std::string(BW_SOURCE_DIR) + "/data/scene/sample.lib"), &file, &error))
        << error;
    EXPECT_EQ(file.texture, "sample.png");
    ASSERT_EQ(file.meshes.size(), 3u);
    EXPECT_EQ(file.meshes[2].name, "ring");
    EXPECT_EQ(file.meshes[2].mesh.mIndices.size(), 72u);

    const std::string colours = OneMesh(R"(<vertices count="3"><v x="1.5" y="-2" z="3" u="0.25" v="1" color="102030"/>
        <v x="0" y="0" color="80FF0000"/><v x="+4" y="5e2"/></vertices>)",
                                        "<indices count=\"3\">\n 2\t1 0 </indices>");
    ASSERT_TRUE(Parse(colours, &file, &error)) << error;
    const render::Mesh2D& mesh = file.meshes[0].mesh;
    const render::SVertex2D& v = mesh.mVertices[0];
    EXPECT_EQ(std::vector<float>({v.x, v.y, v.z, v.w, v.tu, v.tv}), std::vector<float>({1.5f, -2, 3, 1, 0.25f, 1}));
    EXPECT_EQ(v.diffuse, 0xFF102030u) << "six digits are opaque";
    EXPECT_EQ(mesh.mVertices[1].diffuse, 0x80FF0000u);
    EXPECT_EQ(mesh.mVertices[2].diffuse, 0xFFFFFFFFu);
    EXPECT_EQ(mesh.mVertices[2].y, 500.0f);
    EXPECT_EQ(mesh.mIndices, (std::vector<unsigned short>{2, 1, 0}));
}

struct BadLibrary
{
    const char* what;
    std::string text;
    const char* error;
};

class MeshLibraryFileRefused : public testing::TestWithParam<BadLibrary>
{
};

TEST_P(MeshLibraryFileRefused, WithAMessageAndNothingRead)
{
    const BadLibrary& c = GetParam();
    lightwave::MeshLibraryFile file;
    file.texture = "left from before";
    std::string error;
    EXPECT_FALSE(Parse(c.text, &file, &error));
    EXPECT_NE(error.find(c.error), std::string::npos) << error;
    EXPECT_TRUE(file.texture.empty());
    EXPECT_TRUE(file.meshes.empty());
}

std::string Repeat(const std::string& part, size_t times)
{
    std::string out;
    for (size_t i = 0; i < times; ++i)
        out += part;
    return out;
}

std::string Meshes(size_t count)
{
    std::string out = "<meshlib texture=\"t\">";
    for (size_t i = 0; i < count; ++i)
        out += "<mesh name=\"m" + std::to_string(i) + "\">" + kTriangle + kIndices + "</mesh>";
    return out + "</meshlib>";
}

INSTANTIATE_TEST_SUITE_P(
    Files, MeshLibraryFileRefused,
    testing::Values(
        BadLibrary{"empty", "", "the file is empty"},
        BadLibrary{"truncated", OneMesh(kTriangle, kIndices).substr(0, 60), "not XML"},
        BadLibrary{"not a library", "<ptc/>", "line 1: <ptc>: the file must start with <meshlib>"},
        BadLibrary{"no texture", "<meshlib><mesh/></meshlib>", "attribute \"texture\" is missing"},
        BadLibrary{"no mesh", "<meshlib texture=\"t\"/>", "the library holds no <mesh>"},
        BadLibrary{"vertices past their data", OneMesh(R"(<vertices count="4"><v x="0" y="0"/></vertices>)", kIndices),
                   "<vertices>: holds 1 vertices, not the count 4"},
        BadLibrary{"indices past their data", OneMesh(kTriangle, R"(<indices count="6">0 1 2</indices>)"),
                   "<indices>: holds 3 indices, not the count 6"},
        BadLibrary{"more vertices than counted",
                   OneMesh(R"(<vertices count="1"><v x="0" y="0"/><v x="0" y="0"/></vertices>)", kIndices),
                   "<v>: more vertices than the count 1"},
        BadLibrary{"more indices than counted", OneMesh(kTriangle, R"(<indices count="3">0 1 2 0</indices>)"),
                   "more indices than the count 3"},
        BadLibrary{"index past the vertices", OneMesh(kTriangle, R"(<indices count="3">0 1 3</indices>)"),
                   "index 2 is 3, past the 3 vertices"},
        BadLibrary{"negative index", OneMesh(kTriangle, R"(<indices count="3">0 -1 2</indices>)"),
                   "index 1 is not a whole number"},
        BadLibrary{"index past 16 bits", OneMesh(kTriangle, R"(<indices count="3">0 65536 2</indices>)"),
                   "index 1 is 65536, past the 3 vertices"},
        BadLibrary{"part triangle", OneMesh(kTriangle, R"(<indices count="4">0 1 2 0</indices>)"),
                   "count 4 is not a multiple of 3"},
        BadLibrary{"huge vertex count", OneMesh(R"(<vertices count="4294967296"/>)", kIndices),
                   "<vertices>: attribute \"count\" must be a whole number from 1 to 10240"},
        BadLibrary{"too many indices", OneMesh(kTriangle, R"(<indices count="1024">0</indices>)"),
                   "attribute \"count\" must be a whole number from 3 to 1023"},
        BadLibrary{"coordinate out of range",
                   OneMesh(R"(<vertices count="1"><v x="1e7" y="0"/></vertices>)", kIndices),
                   "<v>: attribute \"x\" must be a number within +-1000000"},
        BadLibrary{"not a number", OneMesh(R"(<vertices count="1"><v x="0" y="nan"/></vertices>)", kIndices),
                   "attribute \"y\" must be a number"},
        BadLibrary{"texture coordinate out of range",
                   OneMesh(R"(<vertices count="1"><v x="0" y="0" u="1025"/></vertices>)", kIndices),
                   "attribute \"u\" must be a number within +-1024"},
        BadLibrary{"bad colour", OneMesh(R"(<vertices count="1"><v x="0" y="0" color="FFGG00"/></vertices>)", kIndices),
                   "attribute \"color\" must be a colour"},
        BadLibrary{"missing coordinate", OneMesh(R"(<vertices count="1"><v x="0"/></vertices>)", kIndices),
                   "attribute \"y\" is missing"},
        BadLibrary{"unknown attribute", OneMesh(R"(<vertices count="1"><v x="0" y="0" w="1"/></vertices>)", kIndices),
                   "unknown attribute \"w\""},
        BadLibrary{"unknown element", "<meshlib texture=\"t\"><group/></meshlib>",
                   "<group>: unknown element; <meshlib> holds <mesh> only"},
        BadLibrary{"indices before vertices", OneMesh(kIndices, kTriangle),
                   "a mesh holds one <vertices> and then one <indices>"},
        BadLibrary{"element among the indices", OneMesh(kTriangle, R"(<indices count="3">0 1 2<v/></indices>)"),
                   "holds numbers only"},
        BadLibrary{"same name twice",
                   "<meshlib texture=\"t\"><mesh name=\"a\">" + kTriangle + kIndices + "</mesh><mesh name=\"a\">" +
                       kTriangle + kIndices + "</mesh></meshlib>",
                   "line 1: <mesh>: a mesh of this name comes earlier"},
        BadLibrary{"too many meshes", Meshes(257), "more than 256 meshes"},
        BadLibrary{"deep nesting", "<meshlib texture=\"t\">" + Repeat("<a>", 5000) + Repeat("</a>", 5000) + "</meshlib>",
                   "not XML"},
        BadLibrary{"huge file", "<meshlib texture=\"t\">" + std::string(4u << 20, ' ') + "</meshlib>",
                   "the file is larger than 4194304 bytes"}));

} // namespace
