#include "menuewongold.h"

MenueWonGold::MenueWonGold() : MenueResult("You have won Gold!", "Wonderful!") {}
