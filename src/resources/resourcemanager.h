// SPDX-FileCopyrightText: 2026 the Kerbolt team
//
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "resources/resource.h"
#include "engine/singleton.h"

#include <memory>
#include <string>
#include <typeindex>
#include <utility>
#include <vector>

// Identifies one concrete resource class: exact-class identity, creation
// with no arguments, and the "module.Class" name for the report.
struct ResourceType {
    std::type_index id;
    const char* qualifiedName;
    std::unique_ptr<Resource> (*create)();

    template <class T>
    static const ResourceType& of()
    {
        static const ResourceType type{typeid(T), T::qualifiedName, [] { return std::unique_ptr<Resource>(new T()); }};
        return type;
    }
};

// The one owner of every file-backed object. Hands out a live resource of
// the same class and file name again (counting holders), loads a new one on
// the first request, and destroys a resource when its last hold is given back.
// The table is a plain array searched linearly: it holds a few dozen entries.
class ResourceManager {
public:
    static ResourceManager& getInstance() { return SingletonSlot<ResourceManager>::get(); }
    // Destroys whatever is still in the table. A resource that holds others
    // (a font its texture) gives those holds back as it goes; the table is
    // empty by then, so they find nothing and change nothing.
    virtual ~ResourceManager();

    // Writes "\nResourceManager: %d active Resources", then "\t%d %s %s"
    // (holds, class, name) per entry, to standard output.
    virtual void print() const;

    // One hold on a resource of exactly this class and file name; give it
    // back with releaseResource. The new resource enters the table before it
    // loads, so nested requests see it; if loading throws, it stays there with
    // one hold and the exception goes to the caller.
    virtual Resource* getResource(const ResourceType& type, const std::string& fileName);
    template <class T>
    T* getResource(const std::string& fileName)
    {
        return static_cast<T*>(getResource(ResourceType::of<T>(), fileName));
    }

    // Gives one hold back (on the first entry that is this object; any other
    // pointer, null too, changes nothing), then purges.
    virtual void releaseResource(const Resource* resource);

    // Unloads and destroys every resource held by nobody. A resource is out
    // of the table before its unload() runs, which may release nested
    // resources and so purge again. Counts below zero are never removed.
    virtual void purge();

    std::size_t getResourceCount() const { return resources.size(); }
    const Resource& getResourceAt(std::size_t index) const { return *resources.at(index).resource; }

private:
    friend class SingletonSlot<ResourceManager>;
    ResourceManager() = default;

    struct Entry {
        std::unique_ptr<Resource> resource;
        const ResourceType* type;
    };
    std::vector<Entry> resources;
};

// One hold on a resource of the manager, given back when the handle is reset,
// assigned over or destroyed, so that no hold taken in a start() can outlive
// the stop() or the object that took it. Empty by default. T may be an
// incomplete type where a handle is only declared or destroyed.
template <class T>
class Held {
public:
    Held() = default;
    // Takes a hold on the T of this file (ResourceManager::getResource).
    explicit Held(const std::string& fileName) : resource(ResourceManager::getInstance().getResource<T>(fileName)) {}
    ~Held() { reset(); }
    Held(Held&& other) noexcept : resource(std::exchange(other.resource, nullptr)) {}
    Held& operator=(Held&& other) noexcept
    {
        if (this != &other) {
            reset();
            resource = std::exchange(other.resource, nullptr);
        }
        return *this;
    }
    Held(const Held&) = delete;
    Held& operator=(const Held&) = delete;

    // Gives the hold back now; an empty handle changes nothing.
    void reset()
    {
        if (resource)
            ResourceManager::getInstance().releaseResource(std::exchange(resource, nullptr));
    }

    T* get() const { return static_cast<T*>(resource); }
    T* operator->() const { return get(); }
    T& operator*() const { return *get(); }
    explicit operator bool() const { return resource != nullptr; }

private:
    Resource* resource = nullptr; // a Resource, so that T need not be complete here
};
