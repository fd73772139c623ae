// Resource ids shared by hariko.rc and the C++ code; plain #defines so rc.exe and windres
// can read the file too.
#pragma once

#define IDI_APP 1

// Tunes are custom resources of type "MIDI": IDR_TUNE_FIRST + N is sakura_N.mid.
#define IDR_TUNE_FIRST 101
#define IDR_TUNE_COUNT 5

// The help page (type 23, RT_HTML), written beside the data when the user asks for it.
#define IDR_HELP_PAGE 201
