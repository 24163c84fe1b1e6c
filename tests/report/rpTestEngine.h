// An engine for tests that only needs page numbers: the physical page index
// is set by the test, the logical number follows it, and aggregate values
// come from the engine's own registry.
#pragma once

#include "rpEngine.h"

class PageEngine : public TrpCustomEngine {
public:
    using TrpCustomEngine::SetCurBand;
    using TrpCustomEngine::SetCurVColumn;
    using TrpCustomEngine::TrpCustomEngine;
    int LogicalPageNo() const override { return Physical + 1; }
    int LogicalTotalPages() const override { return 0; }
    int CurPage() const override { return Physical; }
    int Physical = 0;
};
