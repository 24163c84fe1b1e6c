// The outline of a prepared report: a tree of "item" entries (text, page,
// top) kept in the store's XML document under "outline".
#pragma once

#include "rpCustomPreviewPages.h"

class TrpPreviewPages;

class TrpOutline : public TrpCustomOutline {
public:
    explicit TrpOutline(TrpPreviewPages* APreviewPages)
        : FPreviewPages(APreviewPages)
    {
    }

    // Adds an entry for the current page under the current item and makes
    // it the current item; Top in report pixels.
    void AddItem(const QString& Text, int Top) override;
    void LevelDown(int Index) override;
    void LevelRoot() override;
    void LevelUp() override;
    // Entry Index of the current item; Page is 0-based.
    void GetItem(int Index, QString& Text, int& Page, int& Top) override;
    void ShiftItems(TrpXMLItem* From, int NewTop) override;
    TrpXMLItem* GetCurPosition() override;
    int Count() override;
    TrpXMLItem* CurItem() const override { return FCurItem; }
    TrpXMLItem* Root() override;
    TrpCustomEngine* Engine() const override;
    // Forgets the current item; the next use starts at the root. Called
    // when the items may have been freed.
    void Reset() { FCurItem = nullptr; }

private:
    TrpXMLItem* Current();

    TrpPreviewPages* FPreviewPages;
    TrpXMLItem* FCurItem = nullptr;
};
