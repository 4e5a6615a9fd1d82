#pragma once

#include "menueresult.h"

// The result screen shown after a round won with silver.
class MenueWonSilver : public MenueResult {
public:
    MenueWonSilver();
};
