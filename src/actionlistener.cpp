#include "actionlistener.h"

ActionListener::~ActionListener() = default;
