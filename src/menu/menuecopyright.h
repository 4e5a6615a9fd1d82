// SPDX-FileCopyrightText: 2026 the Kerbolt team
//
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "menu/menueimpl.h"

// The credits: a title and five lines, with the main screen's three buttons.
class MenueCopyright : public MenueImpl {
public:
    void start(Menue* menue) override;
    void stop() override;
    void update() override;

    const Widgets& getItems() const { return items; }

private:
    Widgets items;
};
