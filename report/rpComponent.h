// The component tree: every report object has a name, a parent that owns
// it, children it owns, bounds in report pixels and a font. A child keeps a
// plain pointer to its parent; a tree's top object (normally the report) is
// owned by whoever created it.
#pragma once

#include "rpFields.h"
#include "rpFont.h"
#include "rpReportError.h"
#include "rpTypes.h"

#include <QString>
#include <memory>
#include <vector>

class QIODevice;
class TrpBand;
class TrpPage;
class TrpReport;
class TrpXMLItem;

class TrpComponent : public TrpPersistentComponent {
    RP_CLASS_INFO
public:
    TrpComponent();
    ~TrpComponent() override;
    TrpComponent(const TrpComponent&) = delete;
    TrpComponent& operator=(const TrpComponent&) = delete;

    QString ClassName() const { return ClassInfo().ClassName(); }

    // --- tree
    TrpComponent* Parent() const { return FParent; }
    // Moves the object from its parent's Objects to the end of Value's.
    // Only a child changes parents this way: a top object is given to a
    // parent with InsertChild, and a child leaves its parent with Detach.
    virtual void SetParent(TrpComponent* Value);
    const std::vector<std::unique_ptr<TrpComponent>>& Objects() const { return FObjects; }
    int Count() const { return int(FObjects.size()); }
    TrpComponent* Objects(int Index) const { return FObjects[size_t(Index)].get(); }
    // Takes Child as a child at Index (the end when -1); returns it.
    TrpComponent* InsertChild(std::unique_ptr<TrpComponent> Child, int Index = -1);
    template <class T> T* Create() { return static_cast<T*>(InsertChild(std::make_unique<T>())); }
    // Removes the object from its parent and hands it to the caller.
    std::unique_ptr<TrpComponent> Detach();
    // Destroys one child.
    void DeleteObject(TrpComponent* Child);
    // Moves a child to another position in Objects (z-order).
    void MoveObject(TrpComponent* Child, int Index);
    // Exchanges the children with Other without detaching anything: the
    // objects keep their parent, names and fonts. For showing a subset of a
    // band's objects for a moment (splitting); the caller swaps back.
    void SwapObjects(std::vector<std::unique_ptr<TrpComponent>>& Other) { FObjects.swap(Other); }
    // All descendants, depth first, each before its children (scratch list,
    // refilled on each call).
    const std::vector<TrpComponent*>& AllObjects();
    // The first descendant with that name, compared without regard to case;
    // none for an empty name. Inside a report it is a look-up in the
    // report's name index.
    TrpComponent* FindObject(const QString& AName) const;
    TrpPage* Page() const;
    TrpReport* Report() const;
    // The top object of the tree.
    TrpComponent* TopParent() const;

    // --- naming
    QString Name() const override { return FName; }
    void SetName(const QString& Value) override;
    // Class name without "Trp" and "View"; pages say "Page".
    QString BaseName() const;
    void SetBaseName(const QString& Value) { FBaseName = Value; }
    void CreateUniqueName();

    // --- geometry (report pixels; Left/Top relative to the parent)
    Extended Left() const { return FLeft; }
    Extended Top() const { return FTop; }
    Extended Width() const { return FWidth; }
    Extended Height() const { return FHeight; }
    virtual void SetLeft(Extended Value);
    virtual void SetTop(Extended Value);
    virtual void SetWidth(Extended Value);
    virtual void SetHeight(Extended Value);
    void SetBounds(Extended ALeft, Extended ATop, Extended AWidth, Extended AHeight);
    Extended AbsLeft() const;
    Extended AbsTop() const;

    // --- font
    TrpFont* Font() { return &FFont; }
    const TrpFont* Font() const { return &FFont; }
    virtual void SetFont(const TrpFont& Value);
    // Initial values, which are also the declared defaults of the stored form.
    static bool ParentFontDefault() { return true; }
    static bool VisibleDefault() { return true; }
    bool ParentFont() const { return FParentFont; }
    virtual void SetParentFont(bool Value);

    bool Visible() const { return FVisible; }
    virtual void SetVisible(bool Value);

    // --- state flags
    bool IsDesigning() const { return FIsDesigning; }
    void SetIsDesigning(bool Value) { FIsDesigning = Value; }
    bool IsLoading() const { return FIsLoading; }
    void SetLoading(bool Value) override { FIsLoading = Value; }
    bool IsPrinting() const { return FIsPrinting; }
    void SetIsPrinting(bool Value) { FIsPrinting = Value; }
    bool IsWriting() const { return FIsWriting; }
    void SetIsWriting(bool Value) { FIsWriting = Value; }
    bool Ancestor() const { return FAncestor; }
    void SetAncestor(bool Value) { FAncestor = Value; }
    bool IsAncestor() const override { return FAncestor; }

    // --- links used while a report is prepared
    QString AliasName() const { return FAliasName; }
    void SetAliasName(const QString& Value) { FAliasName = Value; }
    TrpComponent* OriginalComponent() const { return FOriginalComponent; }
    void SetOriginalComponent(TrpComponent* Value) { FOriginalComponent = Value; }
    const TrpRect& OriginalRect() const { return FOriginalRect; }
    void SetOriginalRect(const TrpRect& Value) { FOriginalRect = Value; }
    TrpBand* OriginalBand() const { return FOriginalBand; }
    void SetOriginalBand(TrpBand* Value) { FOriginalBand = Value; }

    // --- virtual operations
    virtual void HandleFontChange();
    virtual QString GetDescription() const { return FName; }
    // Places the views of this object by their Align.
    virtual void AlignChildren();
    virtual void BeforeStartReport() { }
    // Destroys all children.
    virtual void Clear();
    virtual void OnNotify(TrpComponent* /*Sender*/) { }
    // The object and its children as an XML document, and back. Loading
    // clears the children first; what cannot be read (unknown classes, bad
    // values) goes to the report's error list. Malformed XML throws
    // TrpInvalidXMLException.
    virtual void SaveToStream(QIODevice& Stream, bool SaveChildren = true);
    // Copies Source's published properties through the class tables, and
    // what a class keeps beside them (a memo's further formats and
    // highlights); not the name, the parent or the children. CopyData false
    // leaves a picture's bytes out, as the copies on source pages are made.
    virtual void Assign(const TrpComponent& Source, bool CopyData = true);
    virtual void LoadFromStream(QIODevice& Stream);

    // --- persistence plumbing
    int ChildCount() const override { return Count(); }
    TrpPersistentComponent* ChildAt(int Index) const override { return Objects(Index); }
    TrpPersistentComponent* AdoptChild(std::unique_ptr<TrpPersistentComponent> Child) override;
    TrpPersistentComponent* FindComponent(const QString& Name) const override;

    // --- stored form of prepared objects (object differences)
    TrpComponentStyle ComponentStyle() const { return FComponentStyle; }
    // The attributes in which this printed object differs from AComponent,
    // its template, as a text the XML reader applies on top of the
    // template's own text. May move a memo's paragraph-break flags and hand
    // a changed picture to the report's picture cache. Without a template
    // of the same class it is AllDiff(nullptr).
    virtual QString Diff(const TrpComponent* AComponent);
    // Every stored property, plus the base difference against AComponent
    // when one is given.
    QString AllDiff(const TrpComponent* AComponent);

protected:
    void SetComponentStyle(TrpComponentStyle Value) { FComponentStyle = Value; }
    // Position, size, visibility, font, ParentFont and Tag against AComponent.
    QString BaseDiff(const TrpComponent& AComponent) const;

private:
    friend class TrpReport;
    void ApplyParentFont();
    void IndexSubtree(TrpReport* Report);
    void UnindexSubtree(TrpReport* Report);
    void CollectAll(std::vector<TrpComponent*>& List) const;
    TrpComponent* FindObjectBelow(const QString& AName) const;

    QString FName;
    QString FBaseName;
    TrpComponent* FParent = nullptr;
    std::vector<std::unique_ptr<TrpComponent>> FObjects;
    std::vector<TrpComponent*> FAllObjects;
    Extended FLeft = 0, FTop = 0, FWidth = 0, FHeight = 0;
    TrpFont FFont;
    bool FParentFont = ParentFontDefault();
    bool FUpdatingFont = false;
    bool FVisible = VisibleDefault();
    bool FIsDesigning = false, FIsLoading = false, FIsPrinting = false, FIsWriting = false;
    bool FAncestor = false;
    QString FAliasName;
    TrpComponent* FOriginalComponent = nullptr;
    TrpRect FOriginalRect;
    TrpBand* FOriginalBand = nullptr;
    TrpComponentStyle FComponentStyle = csPreviewVisible;

    RP_FIELD(int, GroupIndex, 0)
    RP_FIELD(TrpRestrictions, Restrictions, TrpRestrictions())
    RP_FIELD(QString, Description, QString())
    RP_FIELD(int, Tag, 0)
};
