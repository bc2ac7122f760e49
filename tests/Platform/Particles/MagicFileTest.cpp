#include "Platform/Particles/Magic.h"
#include "tests/Platform/Particles/ParticleFiles.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using particle_tests::kTree;

namespace
{

class MagicFile : public testing::Test
{
protected:
    void SetUp() override
    {
        mFile = Magic_OpenFileInMemory(kTree);
        ASSERT_GT(mFile, 0);
    }
    void TearDown() override { Magic_CloseFile(mFile); }

    const char* First(int mode) { return Magic_FindFirst(mFile, &mFind, mode); }
    const char* Next() { return Magic_FindNext(mFile, &mFind); }

    // Depth-first walk in the shape of the engine's: the current folder
    // changes between FindFirst and FindNext of the outer folder.
    void Walk(const std::string prefix, std::vector<std::string>* seen)
    {
        MAGIC_FIND_DATA find;
        for (const char* name = Magic_FindFirst(mFile, &find, MAGIC_FOLDER | MAGIC_EMITTER); name;
             name = Magic_FindNext(mFile, &find))
        {
            seen->push_back(prefix + name + (find.type == MAGIC_FOLDER ? "/" : ""));
            if (find.type == MAGIC_FOLDER)
            {
                EXPECT_EQ(Magic_SetCurrentFolder(mFile, name), MAGIC_SUCCESS);
                Walk(seen->back(), seen);
                EXPECT_EQ(Magic_SetCurrentFolder(mFile, ".."), MAGIC_SUCCESS);
            }
        }
    }

    HM_FILE mFile = 0;
    MAGIC_FIND_DATA mFind;
};

TEST_F(MagicFile, ARecursiveWalkSeesEveryEntryOnceInDocumentOrder)
{
    std::vector<std::string> seen;
    Walk("", &seen);
    const std::vector<std::string> expected = {"top", "chips/", "chips/red", "chips/deep/", "chips/deep/blue",
                                               "chips/green", "empty/"};
    EXPECT_EQ(seen, expected);
}

TEST_F(MagicFile, TheFindModeChoosesFoldersEmittersOrBoth)
{
    ASSERT_EQ(Magic_SetCurrentFolder(mFile, "chips"), MAGIC_SUCCESS);
    ASSERT_STREQ(First(MAGIC_FOLDER), "deep");
    EXPECT_EQ(mFind.type, MAGIC_FOLDER);
    EXPECT_EQ(Next(), nullptr);
    ASSERT_STREQ(First(MAGIC_EMITTER), "red");
    EXPECT_STREQ(Next(), "green");
    EXPECT_EQ(Next(), nullptr);
    EXPECT_EQ(Next(), nullptr); // stays at the end
    ASSERT_EQ(Magic_SetCurrentFolder(mFile, "/empty"), MAGIC_SUCCESS);
    EXPECT_EQ(First(MAGIC_FOLDER | MAGIC_EMITTER), nullptr);
}

TEST_F(MagicFile, FolderPathsGoDownUpAndToTheTopAndAFailureStaysPut)
{
    EXPECT_EQ(Magic_SetCurrentFolder(mFile, ".."), MAGIC_SUCCESS); // at the top already
    EXPECT_STREQ(First(MAGIC_EMITTER), "top");
    EXPECT_EQ(Magic_SetCurrentFolder(mFile, "chips/deep"), MAGIC_SUCCESS);
    EXPECT_STREQ(First(MAGIC_EMITTER), "blue");
    EXPECT_EQ(Magic_SetCurrentFolder(mFile, ""), MAGIC_SUCCESS);
    EXPECT_STREQ(First(MAGIC_EMITTER), "blue");
    EXPECT_EQ(Magic_SetCurrentFolder(mFile, "missing"), MAGIC_ERROR);
    EXPECT_EQ(Magic_SetCurrentFolder(mFile, "../deep/../../nowhere"), MAGIC_ERROR);
    EXPECT_EQ(Magic_SetCurrentFolder(mFile, nullptr), MAGIC_ERROR);
    EXPECT_STREQ(First(MAGIC_EMITTER), "blue");
    EXPECT_EQ(Magic_SetCurrentFolder(mFile, "../.."), MAGIC_SUCCESS);
    EXPECT_STREQ(First(MAGIC_EMITTER), "top");
}

TEST_F(MagicFile, EmittersLoadByNameFromTheCurrentFolderOnlyEachAnEmitterOfItsOwn)
{
    EXPECT_EQ(Magic_LoadEmitter(mFile, "red"), 0);
    EXPECT_EQ(Magic_LoadEmitter(mFile, "chips"), 0); // a folder
    EXPECT_EQ(Magic_LoadEmitter(mFile, nullptr), 0);
    ASSERT_EQ(Magic_SetCurrentFolder(mFile, "chips"), MAGIC_SUCCESS);
    const HM_EMITTER red = Magic_LoadEmitter(mFile, "red");
    const HM_EMITTER again = Magic_LoadEmitter(mFile, "red");
    ASSERT_GT(red, 0);
    ASSERT_GT(again, 0);
    EXPECT_NE(red, again);
    EXPECT_FALSE(Magic_Update(red, 16.0)); // loaded stopped
    EXPECT_EQ(Magic_Restart(red), MAGIC_SUCCESS);
    EXPECT_TRUE(Magic_Update(red, 20.0)); // one whole step
    EXPECT_EQ(particle_tests::ParticleCount(red), 2);
    EXPECT_EQ(particle_tests::ParticleCount(again), 0);
    Magic_UnloadEmitter(red);
    Magic_UnloadEmitter(again);
}

TEST_F(MagicFile, NameAtlasesAndTexturesComeFromTheFile)
{
    EXPECT_STREQ(Magic_GetFileName(mFile), "tree.ptc");
    EXPECT_TRUE(Magic_HasTextures(mFile));
    ASSERT_EQ(Magic_GetStaticAtlasCount(mFile), 2);
    MAGIC_STATIC_ATLAS atlas;
    ASSERT_EQ(Magic_GetStaticAtlas(mFile, 1, &atlas), MAGIC_SUCCESS);
    EXPECT_STREQ(atlas.file, "sub/b.png"); // atlases count wherever they stand among the entries
    EXPECT_EQ(atlas.width, 16);
    for (int index : {2, -1})
        EXPECT_EQ(Magic_GetStaticAtlas(mFile, index, &atlas), MAGIC_ERROR) << index;
    EXPECT_EQ(Magic_GetStaticAtlas(mFile, 0, nullptr), MAGIC_ERROR);

    const HM_FILE bare = Magic_OpenFileInMemory("<ptc><emitter name=\"e\"/></ptc>");
    ASSERT_GT(bare, 0);
    EXPECT_EQ(Magic_GetFileName(bare), nullptr);
    EXPECT_FALSE(Magic_HasTextures(bare));
    Magic_CloseFile(bare);
}

TEST_F(MagicFile, EmittersOutliveTheirClosedFile)
{
    const HM_EMITTER top = Magic_LoadEmitter(mFile, "top");
    ASSERT_GT(top, 0);
    EXPECT_EQ(Magic_CloseFile(mFile), MAGIC_SUCCESS);
    EXPECT_EQ(Magic_CloseFile(mFile), MAGIC_ERROR);
    EXPECT_EQ(Magic_Restart(top), MAGIC_SUCCESS);
    EXPECT_TRUE(Magic_Update(top, 20.0));
    EXPECT_EQ(particle_tests::ParticleCount(top), 1);
    const HM_EMITTER copy = Magic_DuplicateEmitter(top);
    EXPECT_GT(copy, 0);
    Magic_UnloadEmitter(copy);
    Magic_UnloadEmitter(top);
}

TEST(MagicFileHandles, BadTextsStaleHandlesAndForgedWalkRecordsFailWithoutHarm)
{
    EXPECT_EQ(Magic_OpenFileInMemory(nullptr), 0);
    EXPECT_EQ(Magic_OpenFileInMemory(""), 0);
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
    Magic_CloseFile(file);

    // A walk of a closed file, and a file handle never given out.
    EXPECT_EQ(Magic_FindNext(file, &find), nullptr);
    EXPECT_EQ(Magic_FindFirst(file, &find, 3), nullptr);
    EXPECT_EQ(Magic_FindFirst(file + 1000, &find, 3), nullptr);
    EXPECT_EQ(Magic_SetCurrentFolder(file, "chips"), MAGIC_ERROR);
    EXPECT_EQ(Magic_LoadEmitter(file, "top"), 0);
    EXPECT_EQ(Magic_GetFileName(file), nullptr);
    EXPECT_EQ(Magic_GetStaticAtlasCount(-5), 0);
    // The same file opened again is a new handle.
    const HM_FILE reopened = Magic_OpenFileInMemory(kTree);
    EXPECT_GT(reopened, file);
    Magic_CloseFile(reopened);
}

} // namespace
