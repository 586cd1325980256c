// The three scenes the program runs, in order.
#pragma once

#include "app/program.h"

TProgramScenes GameScenes();
