// Report object model: the component tree (report -> pages -> bands ->
// views), the nested records (font, frame, fills, formats, highlights),
// the band kinds and the report's option records. Units: positions and
// sizes in report pixels (Extended), paper and margins in millimetres.
//
// This header is the model's entry point; each concept has its own header.
#pragma once

#include "rpBand.h"
#include "rpComponent.h"
#include "rpDialog.h"
#include "rpFields.h"
#include "rpFill.h"
#include "rpFont.h"
#include "rpFormat.h"
#include "rpFrame.h"
#include "rpHighlight.h"
#include "rpHyperlink.h"
#include "rpLineView.h"
#include "rpMemoView.h"
#include "rpPage.h"
#include "rpPictureView.h"
#include "rpRectArea.h"
#include "rpReport.h"
#include "rpReportComponent.h"
#include "rpReportDataSets.h"
#include "rpReportError.h"
#include "rpReportOptions.h"
#include "rpShapeView.h"
#include "rpStyles.h"
#include "rpSubreport.h"
#include "rpTypes.h"
#include "rpVariables.h"
#include "rpView.h"
#include "rpXML.h"
