// Inside one band: which objects move when an object above them grows (the
// shift tree) and how they move.
#pragma once

#include "rpUnits.h"

class TrpBand;
class TrpReportComponent;

// Fills the band's and its objects' ShiftChildren: an object becomes a shift
// child of the nearest objects above it that overlap it horizontally. Does
// nothing when the band's tree is already built (its ShiftChildren is not
// empty). Positions are compared absolutely, so the band's own Top counts.
void rpBuildShiftTree(TrpBand* Band);

// Moves the shift children of Node (the band or one of its objects) by
// their ShiftMode and Offset, then clears their ShiftAmount.
void rpShiftObjects(TrpReportComponent* Node, Extended Offset);
