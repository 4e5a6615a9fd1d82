#include "menuewonbronze.h"

MenueWonBronze::MenueWonBronze() : MenueResult("You have won Bronze!", "You can do that better!") {}
