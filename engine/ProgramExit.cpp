// SPDX-License-Identifier: GPL-3.0-or-later
#include "ProgramExit.h"

#include <cstdio>
#include <cstdlib>

void registerExitStep(void (*step)())
{
    std::at_quick_exit(step);
}

void exitProgram()
{
    std::fflush(nullptr);
    std::quick_exit(0);
}
