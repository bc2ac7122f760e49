#include "Platform/Particles/EffectFile.h"
#include "Platform/Particles/Magic.h"
#include "tests/Platform/Particles/ParticleFiles.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using particles::EffectFile;
using particles::ParseEffectFile;

namespace
{

bool Parse(const std::string& text, EffectFile* file, std::string* error)
{
    return ParseEffectFile(text.data(), text.size(), file, error);
}

TEST(EffectFile, ValuesAreReadInEachOfTheirFormsAndOmittedOnesFollowOthers)
{
    const std::string text = particle_tests::EffectWith(R"(
      <emitter name="e" interval1="100" interval2="2000" loop="repeat" update_time="20"
               interpolation="1" random="fixed" seed="4000000000">
        <particles texture="1" uv="0.25 0.5 0.125 0.25" intense="1" emit_from="10" emit_to="900"
                   rate="300" burst="7" max="123" shape="ring" speed="-40" gravity="1.5 -2e2" size="+8"
                   size_end="2" spin="-720" color="80FF0000" color_end="00ff00"/>
      </emitter>
      <emitter name="d" interval2="700"><particles size="5" color="11223344"/></emitter>)");
    EffectFile file;
    std::string error;
    ASSERT_TRUE(Parse(text, &file, &error)) << error;
    ASSERT_EQ(file.emitters.size(), 2u);
    const particles::EmitterDesc& e = *file.emitters[0];
    EXPECT_TRUE(e.loop == particles::LoopKind::Repeat && e.interpolation && !e.freshSeed);
    const particles::ParticleKind& k = e.kinds.at(0);
    EXPECT_TRUE(k.intense && k.shape == particles::EmitShape::Ring);
    const double numbers[] = {e.interval1, e.updateTime, double(e.seed), double(k.texture), k.uv[3], k.emitTo,
                              k.rate, double(k.burst), double(k.max), k.speed, k.gravity[1], k.size, k.spin};
    EXPECT_EQ(std::vector<double>(numbers, numbers + 13),
              (std::vector<double>{100, 20, 4000000000.0, 1, 0.25, 900, 300, 7, 123, -40, -200, 8, -720}));
    EXPECT_EQ(k.color, 0x80FF0000u);
    EXPECT_EQ(k.colorEnd, 0xFF00FF00u); // six digits are opaque

    const particles::ParticleKind& d = file.emitters[1]->kinds.at(0);
    EXPECT_EQ(d.emitTo, 700.0); // the end of the timeline
    EXPECT_FLOAT_EQ(d.sizeEnd, 5.0f);
    EXPECT_EQ(d.colorEnd, 0x11223344u);
}

std::string One(const std::string& particles)
{
    return particle_tests::EffectWith("<emitter name=\"e\"><particles " + particles + "/></emitter>");
}

std::string Nested(int depth)
{
    std::string text = "<ptc>";
    for (int i = 0; i < depth; ++i)
        text += "<folder name=\"f\">";
    for (int i = 0; i < depth; ++i)
        text += "</folder>";
    return text + "</ptc>";
}

// The whole file is refused with a message naming the problem.
TEST(EffectFile, RefusesOutOfRangeValuesAndUnsafeNames)
{
    const struct
    {
        std::string text;
        const char* message; // part of the error
    } cases[] = {
        {"", "empty"},
        {"<ptc><emitter name=\"e\"></ptc>", "not XML"},
        {One("speed=\"inf\""), "is not a number"},
        {One("life=\"-1\""), "outside 1 to 1000000"},
        {One("emit_from=\"50\" emit_to=\"10\""), "\"emit_to\": 10 is outside 50"},
        {One("max=\"20001\""), "outside 1 to 20000"},
        {One("texture=\"2\""), "\"texture\": 2 is outside 0 to 1"},
        {"<ptc><emitter name=\"e\"><particles/></emitter></ptc>", "no <atlas>"},
        {particle_tests::EffectWith("<emitter name=\"e\" interval1=\"1000\"/>"), "\"interval1\": 1000 is outside 0 to 999"},
        {particle_tests::EffectWith("<emitter name=\"a/b\"/>"), "may not hold '/'"},
        {"<ptc><folder name=\"..\"/></ptc>", "may not hold '/'"},
        {"<ptc><atlas file=\"a.png\" width=\"16385\" height=\"1\"/></ptc>", "outside 1 to 16384"},
        {Nested(33), "more than 32 deep"},
        {One("rate=\"1\"><x/></particles><particles"), "holds elements"},
    };
    for (const auto& c : cases)
    {
        EffectFile file;
        file.name = "left over";
        std::string error;
        EXPECT_FALSE(Parse(c.text, &file, &error)) << c.message;
        EXPECT_NE(error.find(c.message), std::string::npos) << error;
        EXPECT_TRUE(file.emitters.empty() && file.name.empty()) << c.message;
    }
}

TEST(EffectFile, LimitsAndErrorLines)
{
    EffectFile file;
    std::string error;
    EXPECT_TRUE(Parse(Nested(32), &file, &error)) << error;
    EXPECT_EQ(file.folders.size(), 33u);

    // The error names the line of the faulty element.
    EXPECT_FALSE(Parse("<ptc>\n\n  <emitter name=\"\"/>\n</ptc>", &file, &error));
    EXPECT_EQ(error.rfind("line 3: <emitter>", 0), 0u) << error;

    // Too many emitters fail instead of growing without bound.
    std::string many = "<ptc>";
    for (size_t i = 0; i <= particles::kMaxEmitters; ++i)
        many += "<emitter name=\"e" + std::to_string(i) + "\"/>";
    EXPECT_FALSE(Parse(many + "</ptc>", &file, &error));
    EXPECT_NE(error.find("more than 4096 emitters"), std::string::npos) << error;

    // Only the given length is read.
    const std::string text = "<ptc/>garbage after the end";
    EXPECT_TRUE(ParseEffectFile(text.data(), 6, &file, &error)) << error;
    EXPECT_FALSE(ParseEffectFile(text.data(), text.size(), &file, &error));
}

// Folder walks, templates and atlases as the particle system reads them are
// covered through it in tests/Core/Render/ParticleSystemTest.cpp; here the
// paths, records and handles it never gives.
const char* const kTree = "<ptc><emitter name=\"top\"/><folder name=\"chips\"><emitter name=\"red\"/></folder></ptc>";
TEST(MagicFile, BadTextsStaleHandlesAndForgedWalkRecordsFailWithoutHarm)
{
    EXPECT_EQ(Magic_OpenFileInMemory(nullptr), 0);
    EXPECT_EQ(Magic_OpenFileInMemory("<ptc"), 0);
    const HM_FILE file = Magic_OpenFileInMemory(kTree);
    ASSERT_GT(file, 0);
    MAGIC_FIND_DATA find;
    ASSERT_NE(Magic_FindFirst(file, &find, 3), nullptr);
    MAGIC_FIND_DATA forged[3] = {find, find, find};
    forged[0].folder = 1000;
    forged[1].position = -3;
    forged[2].file = file + 1;
    for (MAGIC_FIND_DATA& record : forged)
        EXPECT_EQ(Magic_FindNext(file, &record), nullptr);
    EXPECT_EQ(Magic_FindFirst(file, nullptr, 3), nullptr);
    for (const char* path : {"missing", "../chips/../../nowhere", static_cast<const char*>(nullptr)})
        EXPECT_EQ(Magic_SetCurrentFolder(file, path), MAGIC_ERROR) << (path ? path : "null");
    EXPECT_STREQ(Magic_FindFirst(file, &find, MAGIC_EMITTER), "top") << "a failure stays put";
    EXPECT_EQ(Magic_LoadEmitter(file, "chips"), 0) << "a folder";
    MAGIC_STATIC_ATLAS atlas;
    for (int index : {2, -1})
        EXPECT_EQ(Magic_GetStaticAtlas(file, index, &atlas), MAGIC_ERROR) << index;
    EXPECT_EQ(Magic_GetStaticAtlas(file, 0, nullptr), MAGIC_ERROR);
    EXPECT_EQ(Magic_CloseFile(file), MAGIC_SUCCESS);
    EXPECT_EQ(Magic_CloseFile(file), MAGIC_ERROR);

    // A walk of a closed file, and a file handle never given out.
    EXPECT_EQ(Magic_FindNext(file, &find), nullptr);
    EXPECT_EQ(Magic_FindFirst(file + 1000, &find, 3), nullptr);
    EXPECT_EQ(Magic_SetCurrentFolder(file, "chips"), MAGIC_ERROR);
    EXPECT_EQ(Magic_LoadEmitter(file, "top"), 0);
    EXPECT_EQ(Magic_GetFileName(file), nullptr);
    EXPECT_EQ(Magic_GetStaticAtlasCount(-5), 0);
    const HM_FILE reopened = Magic_OpenFileInMemory(kTree);
    EXPECT_GT(reopened, file) << "handles are not reused";
    Magic_CloseFile(reopened);
}

} // namespace
