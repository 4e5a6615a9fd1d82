#pragma once

#include "menueresult.h"

// The result screen shown after a round lost.
class MenueLost : public MenueResult {
public:
    MenueLost();
};
