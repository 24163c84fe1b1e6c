// The standard papers of the printing layer, by paper number. Report pages
// take their sizes from it and printers list it; one table serves both.
#pragma once

#include "rpUnits.h"

#include <vector>

// Custom paper: sizes are given in millimetres.
inline constexpr int rpCustomPaper = 256;

struct TrpPaperInfo {
    int Number;
    int Width, Height; // tenths of a millimetre, portrait
};

// The 66 standard papers in number order.
const std::vector<TrpPaperInfo>& rpPaperTable();
// Portrait size in millimetres of a paper number of the table; false for any
// other number.
bool rpGetPaperSize(int PaperNumber, Extended& Width, Extended& Height);
