#include "game/module1.h"

GameState Module1;
