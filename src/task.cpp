#include "task.h"

Task::~Task() = default;
