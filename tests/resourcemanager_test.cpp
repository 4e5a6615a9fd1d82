#include "resourcemanager.h"

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

// Holds a FileResource of its own name plus ".inner", as a font holds its texture.
class HolderResource : public Resource {
public:
    static constexpr const char* qualifiedName = "holder.HolderResource";

    void loadFile(const std::string& fileName) override
    {
        name = fileName;
        inner = ResourceManager::getInstance().getResource<FileResource>(fileName + ".inner");
    }
    void unload() override
    {
        journal.push_back("unload " + name);
        ResourceManager::getInstance().releaseResource(inner);
    }

private:
    FileResource* inner = nullptr;
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

    Names tableNames() const
    {
        Names names;
        for (std::size_t i = 0; i < manager.getResourceCount(); ++i)
            names.push_back(manager.getResourceAt(i).getName());
        return names;
    }

    ResourceManager& manager = ResourceManager::getInstance();
};

TEST_F(ResourceManagerTest, SameClassAndNameShareOneObjectUntilTheLastRelease)
{
    FileResource* first = manager.getResource<FileResource>("a.res");
    FileResource* second = manager.getResource<FileResource>("a.res");
    OtherResource* other = manager.getResource<OtherResource>("a.res");
    EXPECT_EQ(first, second);
    EXPECT_EQ(2, first->getRefCount());
    EXPECT_NE(static_cast<Resource*>(first), other);
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
}

// Each purged entry's place goes to the table's last entry.
TEST_F(ResourceManagerTest, ReleasingAHolderReleasesWhatItHoldsFromInsideItsUnload)
{
    HolderResource* font = manager.getResource<HolderResource>("font");
    HolderResource* mesh = manager.getResource<HolderResource>("mesh");
    FileResource* texture = manager.getResource<FileResource>("mesh.inner");
    EXPECT_EQ((Names{"font", "font.inner", "mesh", "mesh.inner"}), tableNames());
    EXPECT_EQ("\nResourceManager: 4 active Resources\n\t1 holder.HolderResource font\n\t1 file.FileResource font.inner\n"
              "\t1 holder.HolderResource mesh\n\t2 file.FileResource mesh.inner\n",
              capturedStdout([&] { manager.print(); }));
    manager.releaseResource(font);
    EXPECT_EQ((Names{"mesh.inner", "mesh"}), tableNames());
    manager.releaseResource(mesh);
    EXPECT_EQ((Names{"load font.inner", "load mesh.inner", "unload font", "unload font.inner", "unload mesh"}),
              journal);
    EXPECT_EQ((Names{"mesh.inner"}), tableNames()); // still held elsewhere
    EXPECT_EQ(1, texture->getRefCount());
}

TEST_F(ResourceManagerTest, AMissingFileFallsBackToTheDefaultAndAFailedDefaultKeepsOneHold)
{
    FileResource *first = nullptr, *second = nullptr;
    EXPECT_EQ("src/file: Cannot load Resource missing.res\nLoading standardfile instead...\n"
              "src/file: Cannot load Resource missing.res\nLoading standardfile instead...\n",
              capturedStdout([&] {
                  first = manager.getResource<FileResource>("missing.res");
                  second = manager.getResource<FileResource>("missing.res");
              }));
    EXPECT_EQ("default.res", first->getName());
    EXPECT_NE(first, second); // the fallen-back resource no longer answers to the missing name
    EXPECT_EQ(1, first->getRefCount());
    manager.releaseResource(first);
    manager.releaseResource(second);

    FileResource::defaultFile = "missing-default.res";
    capturedStdout(
        [&] { EXPECT_THROW(manager.getResource<FileResource>("missing.res"), UnloadableResourceException); });
    ASSERT_EQ(1u, manager.getResourceCount());
    EXPECT_EQ(1, manager.getResourceAt(0).getRefCount());
    EXPECT_EQ("missing-default.res", manager.getResourceAt(0).getName());
}

} // namespace
