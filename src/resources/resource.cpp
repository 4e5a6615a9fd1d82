// SPDX-FileCopyrightText: 2026 the Kerbolt team
//
// SPDX-License-Identifier: GPL-3.0-or-later

#include "resources/resource.h"

#include <iostream>

Resource::~Resource() = default;

void Resource::load(const std::string& fileName)
{
    try {
        loadFile(fileName);
    } catch (const std::exception& error) {
        std::cout << error.what() << '\n' << "Loading standardfile instead..." << std::endl;
        loadDefault();
    }
}

void Resource::unload()
{
    freeData();
}

void Resource::loadFile(const std::string&) {}

void Resource::loadDefault() {}

void Resource::freeData() {}

const std::string& Resource::getName() const
{
    return name;
}
