#include "resourcemanager.h"

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

class ResourceManagerTest : public ::testing::Test {
protected:
    void SetUp() override { journal.clear(); }
    void TearDown() override
    {
        FileResource::defaultFile = "default.res";
        SingletonSlot<ResourceManager>::destroy();
    }

    std::vector<std::string> tableNames() const
    {
        std::vector<std::string> names;
        for (std::size_t i = 0; i < manager.getResourceCount(); ++i)
            names.push_back(manager.getResourceAt(i).getName());
        return names;
    }

    ResourceManager& manager = ResourceManager::getInstance();
};

TEST_F(ResourceManagerTest, SameClassAndNameShareOneObjectOtherClassesDoNot)
{
    FileResource* first = manager.getResource<FileResource>("a.res");
    FileResource* second = manager.getResource<FileResource>("a.res");
    OtherResource* other = manager.getResource<OtherResource>("a.res");
    EXPECT_EQ(first, second);
    EXPECT_EQ(2, first->getRefCount());
    EXPECT_NE(static_cast<Resource*>(first), other);
    EXPECT_EQ(1, other->getRefCount());
    EXPECT_EQ((std::vector<std::string>{"load a.res", "load a.res"}), journal);

    manager.releaseResource(first);
    EXPECT_EQ(1, second->getRefCount());
    EXPECT_EQ(2u, manager.getResourceCount());
    manager.releaseResource(second);
    manager.releaseResource(other);
    EXPECT_EQ(0u, manager.getResourceCount());
}

TEST_F(ResourceManagerTest, TheLastReleaseUnloadsAndTheNextRequestLoadsAgain)
{
    FileResource* resource = manager.getResource<FileResource>("a.res");
    manager.releaseResource(resource);
    EXPECT_EQ((std::vector<std::string>{"load a.res", "unload a.res"}), journal);
    EXPECT_EQ(0u, manager.getResourceCount());

    manager.releaseResource(manager.getResource<FileResource>("a.res"));
    EXPECT_EQ(4u, journal.size());
}

TEST_F(ResourceManagerTest, PurgeMovesTheLastEntryIntoTheGap)
{
    Resource* a = manager.getResource<FileResource>("a");
    manager.getResource<FileResource>("b");
    manager.getResource<FileResource>("c");
    manager.getResource<FileResource>("d");
    manager.releaseResource(a);
    EXPECT_EQ((std::vector<std::string>{"d", "b", "c"}), tableNames());
}

TEST_F(ResourceManagerTest, ReleasingAHolderReleasesWhatItHoldsFromInsideItsUnload)
{
    HolderResource* font = manager.getResource<HolderResource>("font");
    manager.getResource<FileResource>("x");
    EXPECT_EQ((std::vector<std::string>{"font", "font.inner", "x"}), tableNames());

    manager.releaseResource(font);
    EXPECT_EQ((std::vector<std::string>{"load font.inner", "load x", "unload font", "unload font.inner"}), journal);
    EXPECT_EQ((std::vector<std::string>{"x"}), tableNames());
}

TEST_F(ResourceManagerTest, AnInnerResourceHeldElsewhereSurvivesItsHolder)
{
    HolderResource* mesh = manager.getResource<HolderResource>("mesh");
    FileResource* texture = manager.getResource<FileResource>("mesh.inner");
    EXPECT_EQ(2, texture->getRefCount());
    manager.releaseResource(mesh);
    EXPECT_EQ((std::vector<std::string>{"mesh.inner"}), tableNames());
    EXPECT_EQ(1, texture->getRefCount());
}

TEST_F(ResourceManagerTest, AMissingFileFallsBackToTheDefaultAndIsNamedAfterIt)
{
    ::testing::internal::CaptureStdout();
    FileResource* first = manager.getResource<FileResource>("missing.res");
    FileResource* second = manager.getResource<FileResource>("missing.res");
    const std::string printed = ::testing::internal::GetCapturedStdout();

    EXPECT_EQ("src/file: Cannot load Resource missing.res\nLoading standardfile instead...\n"
              "src/file: Cannot load Resource missing.res\nLoading standardfile instead...\n",
              printed);
    EXPECT_EQ("default.res", first->getName());
    // The fallen-back resource no longer answers to the missing name.
    EXPECT_NE(first, second);
    EXPECT_EQ(1, first->getRefCount());
}

TEST_F(ResourceManagerTest, AFailedDefaultLeavesTheEntryWithOneHold)
{
    FileResource::defaultFile = "missing-default.res";
    ::testing::internal::CaptureStdout();
    EXPECT_THROW(manager.getResource<FileResource>("missing.res"), UnloadableResourceException);
    ::testing::internal::GetCapturedStdout();
    ASSERT_EQ(1u, manager.getResourceCount());
    EXPECT_EQ(1, manager.getResourceAt(0).getRefCount());
    EXPECT_EQ("missing-default.res", manager.getResourceAt(0).getName());
}

TEST_F(ResourceManagerTest, ReleasingWhatTheTableDoesNotHoldOnlyPurges)
{
    Resource* held = manager.getResource<FileResource>("a");
    FileResource outside;
    manager.releaseResource(nullptr);
    manager.releaseResource(&outside);
    EXPECT_EQ(1, held->getRefCount());
    EXPECT_EQ(1u, manager.getResourceCount());
}

TEST_F(ResourceManagerTest, PrintListsHoldsClassesAndNames)
{
    ::testing::internal::CaptureStdout();
    manager.print();
    EXPECT_EQ("\nResourceManager: 0 active Resources\n", ::testing::internal::GetCapturedStdout());

    manager.getResource<HolderResource>("font");
    manager.getResource<FileResource>("font.inner");
    ::testing::internal::CaptureStdout();
    manager.print();
    EXPECT_EQ("\nResourceManager: 2 active Resources\n"
              "\t1 holder.HolderResource font\n"
              "\t2 file.FileResource font.inner\n",
              ::testing::internal::GetCapturedStdout());
}

} // namespace
