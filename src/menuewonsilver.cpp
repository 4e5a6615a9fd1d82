#include "menuewonsilver.h"

MenueWonSilver::MenueWonSilver() : MenueResult("You have won Silver!", "Not bad! Not bad!") {}
