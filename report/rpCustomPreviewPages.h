// The prepared pages of a report as the object model sees them. The store
// that keeps prepared pages derives from this; the object model calls it
// only through these operations.
#pragma once

class TrpPictureView;

class TrpCustomPreviewPages {
public:
    virtual ~TrpCustomPreviewPages() = default;
    // Stores the view's picture in the store's picture cache and sets the
    // view's ImageIndex to its number (0 for an empty picture).
    virtual void AddPicture(TrpPictureView* Picture) = 0;
};
