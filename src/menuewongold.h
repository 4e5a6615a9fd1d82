#pragma once

#include "menueresult.h"

// The result screen shown after a round won with gold.
class MenueWonGold : public MenueResult {
public:
    MenueWonGold();
};
