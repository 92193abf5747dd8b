// Scene writer: the exact smallest file, round trips, export and limits.
#include "kneScene.h"
#include "kneSceneReader.h"
#include "kneSceneWriter.h"
#include "kneStatusWord.h"
#include "scene_fixtures.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>

TEST(SceneWriter, WritesTheSmallestFileByteForByte)
{
    kneScene scene;
    scene.setSceneName("a");
    scene.createObject("n");
    EXPECT_EQ(scenefx::write(scene), scenefx::exampleFile());

    FILE* f = std::tmpfile();
    ASSERT_NE(f, nullptr);
    EXPECT_EQ(kneSceneWriter::writeStream(scene, f), 0u);
    std::rewind(f);
    kneScene back;
    EXPECT_EQ(kneSceneReader::readStream(back, f), 0u);
    std::fclose(f);
    EXPECT_EQ(scenefx::write(back), scenefx::exampleFile());
}

TEST(SceneWriter, WriterMadeFilesSurviveReadAndWrite)
{
    for (bool rich : {false, true}) {
        kneScene scene;
        scenefx::ModelShape desc;
        desc.rich = rich;
        desc.nodes = 40;
        scenefx::buildModel(scene, desc);
        const std::vector<uint8_t> f = scenefx::write(scene);
        kneScene back;
        ASSERT_EQ(kneSceneReader::readBuffer(back, f.data(), f.size()), 0u) << rich;
        EXPECT_EQ(scenefx::write(back), f) << rich;
        kneSceneObject* model = back.getObject(0);
        ASSERT_NE(model, nullptr);
        EXPECT_STREQ(model->getName(), "robot");
        kneDataEntry nodes = model->findData(kneDataEntry::MODEL);
        ASSERT_TRUE(nodes);
        EXPECT_EQ(nodes.getEntryCount(), 40);
        kneNodeElement n5(nodes.elementArray(model->getTable(), kneNodeElement::SIZE) + 5 * 24);
        EXPECT_STREQ(model->getTable().resolveString(n5.getName()), "node5");
        EXPECT_EQ(n5.getSubList().count(model->getTable()), 2u);
    }
}

TEST(SceneWriter, BothNamesKeepOnlyTheWideOne)
{
    kneScene scene;
    scene.setSceneName("narrow");
    scene.setSceneNameW(u"wide");
    scene.createObject("o");
    std::vector<uint8_t> f = scenefx::write(scene);
    kneScene back;
    ASSERT_EQ(kneSceneReader::readBuffer(back, f.data(), f.size()), 0u);
    EXPECT_FALSE(back.header()->scenename);
    EXPECT_EQ(*back.header()->scenenameW, u"wide");
}

TEST(SceneWriter, ExportsAnEntryWithItsAttachments)
{
    kneScene scene;
    scene.setSceneName("full");
    scene.createObject("other");
    kneSceneObject* a = scene.createObject("main");
    for (const char* n : {"s1", "s2", "s3"})
        scene.attach(a->getId(), scene.createSubObject(n)->getId());
    std::string path = (std::filesystem::temp_directory_path() / "kne_export.kmd").string();
    ASSERT_EQ(kneSceneWriter::writeEntryFile(scene, path.c_str(), a->getId(), 1), 0u);
    EXPECT_EQ(scene.header()->writePath, nullptr);

    kneScene back;
    ASSERT_EQ(kneSceneReader::readFile(back, path.c_str()), 0u);
    const kneSceneHeader& h = *back.header();
    EXPECT_EQ(*h.scenename, path);
    EXPECT_EQ(h.nbListId, 4u);
    EXPECT_EQ(h.nbSubObject, 4u);
    EXPECT_EQ(h.entries[0].attach, (std::vector<uint16_t>{1, 2, 3}));
    EXPECT_STREQ(h.entries[0].sobj->getName(), "main");
    // Slot 1 is the first attached entry: the newest, s3.
    const char* expected[] = {"s3", "s2", "s1"};
    for (int i = 1; i <= 3; ++i) {
        EXPECT_EQ(h.entries[i].sobj->getId(), i);
        EXPECT_EQ(h.entries[i].ref, 1);
        EXPECT_FALSE(h.entries[i].isObject());
        EXPECT_STREQ(h.entries[i].sobj->getName(), expected[i - 1]);
    }
    // Mode 0 writes the entry alone.
    ASSERT_EQ(kneSceneWriter::writeEntryFile(scene, path.c_str(), a->getId(), 0), 0u);
    ASSERT_EQ(kneSceneReader::readFile(back, path.c_str()), 0u);
    EXPECT_EQ(back.header()->nbSubObject, 1u);
    EXPECT_TRUE(back.header()->entries[0].attach.empty());
    std::filesystem::remove(path);

    EXPECT_EQ(kneSceneWriter::writeEntryStream(scene, stdout, 99, 1) & 0xFFFF, 125u);
    EXPECT_EQ(kneSceneWriter::writeEntryStream(scene, nullptr, 0, 1) & 0xFFFF, 124u);
}

TEST(SceneWriter, RefusesWhatTheFileCannotHoldAndReportsFailedWrites)
{
    kneScene scene;
    scene.createObject("o");
    EXPECT_EQ(kneSceneWriter::writeStream(scene, nullptr) & 0xFFFF, 122u);
    scene.header()->nbListId = 65536;
    scene.header()->entries.resize(65536);
    std::vector<uint8_t> out;
    EXPECT_EQ(kneSceneWriter::writeBuffer(scene, out) & 0xFFFF, 170u);

    kneScene small;
    small.createObject("o");
    FILE* full = std::fopen("/dev/full", "wb");
    if (full) {
        EXPECT_EQ(kneSceneWriter::writeStream(small, full) & 0xFFFF, 171u);
        std::fclose(full);
    }
}
