// SPDX-FileCopyrightText: 2026 the Kerbolt team
//
// SPDX-License-Identifier: GPL-3.0-or-later

#include "resources/resourcemanager.h"

#include "tempdir.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

// What the test resources did, in order: "load x", "unload x".
std::vector<std::string> journal;

// A resource with a default file: names starting with "missing" cannot load.
class FileResource : public Resource {
public:
    static constexpr const char* qualifiedName = "file.FileResource";
    static inline std::string defaultFile = "default.res";

    void loadFile(const std::string& fileName) override
    {
        name = fileName;
        if (fileName.rfind("missing", 0) == 0)
            throw UnloadableResourceException("src/file: Cannot load Resource " + fileName);
        journal.push_back("load " + fileName);
    }
    void loadDefault() override { loadFile(defaultFile); }
    void freeData() override { journal.push_back("unload " + name); }
};

// Another class, to show that identity is by exact class.
class OtherResource : public FileResource {
public:
    static constexpr const char* qualifiedName = "other.OtherResource";
};

using Names = std::vector<std::string>;

class ResourceManagerTest : public ::testing::Test {
protected:
    void SetUp() override { journal.clear(); }
    void TearDown() override
    {
        FileResource::defaultFile = "default.res";
        SingletonSlot<ResourceManager>::destroy();
    }

    ResourceManager& manager = ResourceManager::getInstance();
};

TEST_F(ResourceManagerTest, SameClassAndNameShareOneObjectUntilTheLastReleaseAndMissingFilesFallBack)
{
    FileResource* first = manager.getResource<FileResource>("a.res");
    FileResource* second = manager.getResource<FileResource>("a.res");
    OtherResource* other = manager.getResource<OtherResource>("a.res");
    EXPECT_EQ(first, second);
    EXPECT_EQ(2, first->getRefCount());
    EXPECT_NE(static_cast<Resource*>(first), other);
    EXPECT_EQ("\nResourceManager: 2 active Resources\n\t2 file.FileResource a.res\n\t1 other.OtherResource a.res\n",
              capturedStdout([&] { manager.print(); }));
    FileResource outside;
    manager.releaseResource(nullptr); // neither is in the table: nothing changes
    manager.releaseResource(&outside);
    manager.releaseResource(first);
    manager.releaseResource(other);
    EXPECT_EQ(1, second->getRefCount());
    EXPECT_EQ((Names{"load a.res", "load a.res", "unload a.res"}), journal);

    manager.releaseResource(second);
    manager.releaseResource(manager.getResource<FileResource>("a.res"));
    EXPECT_EQ((Names{"load a.res", "load a.res", "unload a.res", "unload a.res", "load a.res", "unload a.res"}),
              journal);
    EXPECT_EQ(0u, manager.getResourceCount());

    // A missing file falls back to the default; a failed default keeps one hold.
    FileResource *fellBack = nullptr, *again = nullptr;
    EXPECT_EQ("src/file: Cannot load Resource missing.res\nLoading standardfile instead...\n"
              "src/file: Cannot load Resource missing.res\nLoading standardfile instead...\n",
              capturedStdout([&] {
                  fellBack = manager.getResource<FileResource>("missing.res");
                  again = manager.getResource<FileResource>("missing.res");
              }));
    EXPECT_EQ("default.res", fellBack->getName());
    EXPECT_NE(fellBack, again); // the fallen-back resource no longer answers to the missing name
    EXPECT_EQ(1, fellBack->getRefCount());
    manager.releaseResource(fellBack);
    manager.releaseResource(again);

    FileResource::defaultFile = "missing-default.res";
    capturedStdout(
        [&] { EXPECT_THROW(manager.getResource<FileResource>("missing.res"), UnloadableResourceException); });
    ASSERT_EQ(1u, manager.getResourceCount());
    EXPECT_EQ(1, manager.getResourceAt(0).getRefCount());
    EXPECT_EQ("missing-default.res", manager.getResourceAt(0).getName());
}

} // namespace
