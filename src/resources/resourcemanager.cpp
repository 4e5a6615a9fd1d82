// SPDX-FileCopyrightText: 2026 the Kerbolt team
//
// SPDX-License-Identifier: GPL-3.0-or-later

#include "resources/resourcemanager.h"

#include <cstdio>
#include <utility>

ResourceManager::~ResourceManager()
{
    const std::vector<Entry> leaving = std::move(resources);
    resources.clear();
}

void ResourceManager::print() const
{
    std::printf("\nResourceManager: %d active Resources\n", static_cast<int>(resources.size()));
    for (const Entry& entry : resources)
        std::printf("\t%d %s %s\n", entry.resource->refCount, entry.type->qualifiedName,
                    entry.resource->getName().c_str());
    std::fflush(stdout);
}

Resource* ResourceManager::getResource(const ResourceType& type, const std::string& fileName)
{
    for (const Entry& entry : resources) {
        if (entry.type->id == type.id && entry.resource->getName() == fileName) {
            ++entry.resource->refCount;
            return entry.resource.get();
        }
    }
    resources.push_back({type.create(), &type});
    Resource* created = resources.back().resource.get();
    created->load(fileName);
    return created;
}

void ResourceManager::releaseResource(const Resource* resource)
{
    for (const Entry& entry : resources) {
        if (entry.resource.get() == resource) {
            --entry.resource->refCount;
            break;
        }
    }
    purge();
}

void ResourceManager::purge()
{
    // size() is read again on every pass: an unload below may purge nested
    // resources and shrink the table meanwhile.
    std::size_t position = 0;
    while (position < resources.size()) {
        if (resources[position].resource->refCount != 0) {
            ++position;
            continue;
        }
        std::unique_ptr<Resource> removed = std::move(resources[position].resource);
        if (position + 1 != resources.size())
            resources[position] = std::move(resources.back());
        resources.pop_back();
        removed->unload();
        // The entry moved into this position is examined on the next pass.
    }
}
