// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The fixed choice of keyframes that the save command writes, and the writing itself.
#include <array>

class QString;

struct SavedKeyframe
{
    int fileNumber;   // N of "FraktalN.jpg"
    int keyframe;     // keyframe number, also the identifier of its embedded JPEG data
};

inline constexpr std::array<SavedKeyframe, 14> savedKeyframes{{
    {1, 4},
    {2, 10},
    {3, 26},
    {4, 27},
    {5, 32},
    {6, 35},
    {7, 36},
    {8, 44},
    {9, 46},
    {10, 48},
    {11, 50},
    {12, 52},
    {13, 56},
    {14, 58},
}};

// The file of one row: the folder path followed directly by "/FraktalN.jpg".
QString savedKeyframePath(const QString &folder, const SavedKeyframe &row);

// Creates the directory `folder` (one level; failure is ignored) and writes the embedded bytes
// of every row into it, in table order. Each file is replaced only once it is complete, so a
// failure never leaves a partial file nor destroys one saved before; only in a folder where no
// new file can be made is an existing, writable file written in place. Raises ToolkitError
// "Datei <path> kann nicht erstellt werden" or "Stream-Schreibfehler" and stops at that row.
void saveKeyframes(const QString &folder);
