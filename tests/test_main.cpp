// SPDX-License-Identifier: GPL-3.0-or-later
#include "Application.h"

#include <gtest/gtest.h>

// Runs the tests inside the program's own application object, so errors thrown from event
// handlers reach the standard error report as in the player. Without a display (and unless a
// platform was chosen) the tests run offscreen, so test discovery never needs one.
int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    ::testing::InitGoogleTest(&argc, argv);
    Application app(argc, argv);
    return RUN_ALL_TESTS();
}
