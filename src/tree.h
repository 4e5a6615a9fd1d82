#pragma once

// A placeholder for vegetation on the terrain; nothing creates it yet.
class Tree {};
