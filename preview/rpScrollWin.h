// A control with its own scroll bars, driven by ranges, page sizes and
// positions in pixels rather than by a content widget.
#pragma once

#include <QAbstractScrollArea>

class TrpScrollWin : public QAbstractScrollArea {
    Q_OBJECT
public:
    explicit TrpScrollWin(QWidget* Parent = nullptr);

    // Positions are clamped to 0 .. Range - Page.
    int HorzPosition() const { return FHorzPosition; }
    void SetHorzPosition(int Value);
    int VertPosition() const { return FVertPosition; }
    void SetVertPosition(int Value);
    int HorzRange() const { return FHorzRange; }
    void SetHorzRange(int Value);
    int VertRange() const { return FVertRange; }
    void SetVertRange(int Value);
    int HorzPage() const { return FHorzPage; }
    void SetHorzPage(int Value);
    int VertPage() const { return FVertPage; }
    void SetVertPage(int Value);
    int LargeChange() const { return FLargeChange; }
    void SetLargeChange(int Value);
    int SmallChange() const { return FSmallChange; }
    void SetSmallChange(int Value);
    // True: a sunken frame (single border), false: none.
    void SetBorderSingle(bool Value);

protected:
    // Called after a position really changed; OldPosition is the one before.
    virtual void HorzPositionChanged(int OldPosition);
    virtual void VertPositionChanged(int OldPosition);
    void scrollContentsBy(int dx, int dy) override;

private:
    void UpdateBars();

    int FHorzPage = 0;
    int FHorzPosition = 0;
    int FHorzRange = 0;
    int FLargeChange = 10;
    int FSmallChange = 1;
    int FVertPage = 0;
    int FVertPosition = 0;
    int FVertRange = 0;
    // Set while the bars are brought in line with the fields, so their own
    // change signals are not taken for the user's.
    bool FUpdatingBars = false;
};
