// SPDX-FileCopyrightText: 2026 the Kerbolt team
//
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <cstdint>
#include <exception>
#include <string>

// Thrown by a resource's loadFile when its file is missing or unreadable.
// The message begins with the throwing module's path, as in
// "src/image: Cannot load Resource <name>...".
class UnloadableResourceException : public std::exception {
public:
    explicit UnloadableResourceException(std::string message) : message(std::move(message)) {}
    const char* what() const noexcept override { return message.c_str(); }

private:
    std::string message;
};

// An asset read from a file, shared through the ResourceManager by counted
// holds. Each concrete class reads its own format in loadFile and names a
// default file in loadDefault when it has one. Concrete classes declare
//     static constexpr const char* qualifiedName = "module.Class";
// for the manager's report.
class Resource {
public:
    Resource() = default;
    virtual ~Resource();
    Resource(const Resource&) = delete;
    Resource& operator=(const Resource&) = delete;

    // loadFile; when that throws, prints the message and
    // "Loading standardfile instead..." and calls loadDefault, whose own
    // exception goes to the caller.
    virtual void load(const std::string& fileName);
    // Called by the manager just before it destroys the resource.
    virtual void unload();
    // Sets the name first, then reads the file; throws when it cannot.
    virtual void loadFile(const std::string& fileName);
    virtual void loadDefault();
    virtual void freeData();
    virtual const std::string& getName() const;

    int32_t getRefCount() const { return refCount; }

protected:
    std::string name;

private:
    friend class ResourceManager;
    int32_t refCount = 1;
};
