// Geometry shared by the views' drawing and a memo's measuring: the device
// rectangle of a view, a memo's text rectangle inside its frame and its
// insets, and the text layout object a component uses.
#pragma once

#include "rpClass.h"

#include <QRect>

// A view's rectangle on the device (whole device pixels), right and bottom
// edges included, and its frame width there.
struct TrpDeviceRect {
    int X = 0, Y = 0, X1 = 0, Y1 = 0;
    int FrameWidth = 0;
};

// The report's text layout, or the process-wide one for a component that
// belongs to no report.
TrpDrawText& rpDrawTextOf(const TrpComponent& Component);
// Font, options and gaps of a memo on the layout object.
void rpSetupDrawText(const TrpCustomMemoView& Memo, TrpDrawText& Text);

// Scaled and moved by the offsets, each edge rounded halves to even; a
// drop shadow takes its width off the right and bottom.
TrpDeviceRect rpDeviceRect(
    const TrpView& View, Extended ScaleX, Extended ScaleY, Extended OffsetX, Extended OffsetY);
// The memo's text area in D: the gaps and half the frame lines taken off.
// width() and height() are right - left and bottom - top.
QRect rpMemoTextRect(const TrpCustomMemoView& Memo, const TrpDeviceRect& D, Extended ScaleX, Extended ScaleY);
// Report pixels a memo adds around its text (gaps, frame lines, shadow).
Extended rpMemoVerticalInsets(const TrpCustomMemoView& Memo);
Extended rpMemoHorizontalInsets(const TrpCustomMemoView& Memo);
