#pragma once
// Turns a colour that may name a system colour into the plain RGB value it stands for.
#include <cstdint>

// The RGB value of an OLE colour with the given palette (0: none); -1 when it cannot be
// translated. Plain RGB values come back unchanged.
int32_t ResolveOleColour(int32_t colour, uintptr_t palette);
