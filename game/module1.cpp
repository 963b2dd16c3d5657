// SPDX-License-Identifier: GPL-3.0-or-later
#include "game/module1.h"

GameState Module1;
