#include "unit.h"

Unit::~Unit() = default;
