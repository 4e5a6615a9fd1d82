#include "menuelost.h"

MenueLost::MenueLost() : MenueResult("Oh.. You have Lost!", "come on! Try again!") {}
