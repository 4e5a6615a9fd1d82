#pragma once

#include "menueresult.h"

// The result screen shown after a round won with bronze.
class MenueWonBronze : public MenueResult {
public:
    MenueWonBronze();
};
