// Enumerations and small value types of the report object model. Kept
// apart from the classes so that code that needs one enum (the printer's
// paper orientation, the progress kinds) does not pull in the object model.
#pragma once

#include "rpUnits.h"

#include <QFlags>

// What the report reports progress for (preparation, export, printing).
enum TrpProgressType { ptRunning, ptExporting, ptPrinting };

enum TrpRestriction {
    rfDontModify = 0x1,
    rfDontSize = 0x2,
    rfDontMove = 0x4,
    rfDontDelete = 0x8,
    rfDontEdit = 0x10
};
Q_DECLARE_FLAGS(TrpRestrictions, TrpRestriction)
enum TrpPrintOnType {
    ptFirstPage = 0x1,
    ptLastPage = 0x2,
    ptOddPages = 0x4,
    ptEvenPages = 0x8,
    ptRepeatedBand = 0x10
};
Q_DECLARE_FLAGS(TrpPrintOnTypes, TrpPrintOnType)
enum TrpVisibilityType { vsPreview = 0x1, vsExport = 0x2, vsPrint = 0x4 };
Q_DECLARE_FLAGS(TrpVisibilityTypes, TrpVisibilityType)
enum TrpFrameType { ftLeft = 0x1, ftRight = 0x2, ftTop = 0x4, ftBottom = 0x8 };
Q_DECLARE_FLAGS(TrpFrameTypes, TrpFrameType)
enum TrpFontStyle { fsBold = 0x1, fsItalic = 0x2, fsUnderline = 0x4, fsStrikeOut = 0x8 };
Q_DECLARE_FLAGS(TrpFontStyles, TrpFontStyle)
// How the prepared pages treat a component: csPreviewVisible objects are
// copied to the source pages; csDefaultDiff objects are stored with AllDiff
// instead of Diff.
enum TrpComponentStyleFlag {
    csContainer = 0x1,
    csPreviewVisible = 0x2,
    csDefaultDiff = 0x4,
    csHandlesNestedProperties = 0x8
};
Q_DECLARE_FLAGS(TrpComponentStyle, TrpComponentStyleFlag)
Q_DECLARE_OPERATORS_FOR_FLAGS(TrpRestrictions)
Q_DECLARE_OPERATORS_FOR_FLAGS(TrpPrintOnTypes)
Q_DECLARE_OPERATORS_FOR_FLAGS(TrpVisibilityTypes)
Q_DECLARE_OPERATORS_FOR_FLAGS(TrpFrameTypes)
Q_DECLARE_OPERATORS_FOR_FLAGS(TrpFontStyles)
Q_DECLARE_OPERATORS_FOR_FLAGS(TrpComponentStyle)

enum TrpAlign { baNone, baLeft, baRight, baCenter, baWidth, baBottom, baClient };
enum TrpShiftMode { smDontShift, smAlways, smWhenOverlapped };
enum TrpStretchMode { smDontStretch, smActualHeight, smMaxHeight };
enum TrpFillType { ftBrush, ftGradient, ftGlass };
enum TrpBrushStyle {
    bsSolid,
    bsClear,
    bsHorizontal,
    bsVertical,
    bsFDiagonal,
    bsBDiagonal,
    bsCross,
    bsDiagCross
};
enum TrpGradientStyle { gsHorizontal, gsVertical, gsElliptic, gsRectangle, gsVertCenter, gsHorizCenter };
enum TrpFillOrientation { foVertical, foHorizontal, foVerticalMirror, foHorizontalMirror };
enum TrpFrameStyle { fsSolid, fsDash, fsDot, fsDashDot, fsDashDotDot, fsDouble, fsAltDot, fsSquare };
enum TrpHAlign { haLeft, haRight, haCenter, haBlock };
enum TrpVAlign { vaTop, vaBottom, vaCenter };
enum TrpFormatKind { fkText, fkNumeric, fkDateTime, fkBoolean };
enum TrpHyperlinkKind { hkURL, hkAnchor, hkPageNumber, hkDetailReport, hkDetailPage, hkCustom };
enum TrpShapeKind {
    skRectangle,
    skRoundRectangle,
    skEllipse,
    skTriangle,
    skDiamond,
    skDiagonal1,
    skDiagonal2
};
enum TrpPrinterOrientation { poPortrait, poLandscape };
enum TrpDuplexMode { dmNone, dmVertical, dmHorizontal, dmSimplex };
enum TrpSilentMode { simMessageBoxes, simSilent, simReThrow };

// A rectangle of report pixels.
struct TrpRect {
    Extended Left = 0, Top = 0, Right = 0, Bottom = 0;
};
