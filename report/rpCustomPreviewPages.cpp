#include "rpCustomPreviewPages.h"

#include "rpClass.h"

namespace {
// Installed once at start-up by the layer that implements the store.
TrpCustomPreviewPages::TrpFactory& Factory()
{
    static TrpCustomPreviewPages::TrpFactory Value;
    return Value;
}
} // namespace

void TrpCustomPreviewPages::SetFactory(TrpFactory Factory_)
{
    Factory() = std::move(Factory_);
}

std::unique_ptr<TrpCustomPreviewPages> TrpCustomPreviewPages::Make(TrpReport* AReport)
{
    return Factory() ? Factory()(AReport) : nullptr;
}

TrpCustomEngine* TrpCustomPreviewPages::Engine() const
{
    return FReport ? FReport->Engine() : nullptr;
}
