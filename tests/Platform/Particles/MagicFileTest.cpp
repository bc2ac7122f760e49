// Folder walks, templates and atlases as the particle system reads them are
// covered through it in tests/Core/Render/ParticleSystemTest.cpp; here the
// paths, records and handles it never gives.

#include "Platform/Particles/Magic.h"
#include "tests/Platform/Particles/ParticleFiles.h"

#include <gtest/gtest.h>

using particle_tests::kTree;

namespace
{

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
