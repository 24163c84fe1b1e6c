// Expression trees: building by operator priority, static typing, and
// evaluation over Variant values.
//
// Building keeps a sentinel root (opNone, the loosest priority) and a current
// node. Operands and prefix operators hang below the current node; a binary
// operator climbs while the node above has a priority number less than or
// equal to its own (binds at least as tightly), and takes the climbed subtree
// as its left operand, which makes equal priorities group from the left.
// Brackets are nodes while building and vanish at ")".
//
// Invariants: after Finalize the tree is no deeper than scMaxExpressionDepth,
// every node has a type, and no bracket or sentinel node is left. Destroying
// a node never recurses, so even an unfinished deep tree is freed safely.

#include "sc_iexpression.h"

#include "sc_idesignator.h"
#include "sc_ierrors.h"
#include "sc_iinterpreter.h"

#include <QObject>

namespace {

int PriorityOf(TscOperatorType op)
{
    switch (op) {
    case opNot:
    case opUnMinus:
        return 1;
    case opMul:
    case opDivFloat:
    case opDivInt:
    case opMod:
    case opAnd:
    case opShl:
    case opShr:
        return 2;
    case opPlus:
    case opMinus:
    case opOr:
    case opXor:
        return 3;
    case opGreat:
    case opLess:
    case opLessEq:
    case opGreatEq:
    case opNonEq:
    case opEq:
    case opIn:
    case opIs:
        return 4;
    case opRightBracket:
        return 5;
    case opLeftBracket:
        return 6;
    case opNone:
        return 7;
    }
    return 7;
}

bool IsComparison(TscOperatorType op)
{
    return op >= opGreat && op <= opEq;
}

const TscOperatorNode* AsOp(const TscExpressionNode* n)
{
    return static_cast<const TscOperatorNode*>(n);
}

} // namespace

// ---- nodes -------------------------------------------------------------------

TscExpressionNode::TscExpressionNode(int Priority, const QString& Pos)
    : FPriority(Priority)
    , FPos(Pos)
{
}

TscExpressionNode::~TscExpressionNode()
{
    // Free the subtree without recursion: a long chain like 1+1+...+1 is deep.
    std::vector<std::unique_ptr<TscExpressionNode>> pending;
    if (FLeft)
        pending.push_back(std::move(FLeft));
    if (FRight)
        pending.push_back(std::move(FRight));
    while (!pending.empty()) {
        std::unique_ptr<TscExpressionNode> n = std::move(pending.back());
        pending.pop_back();
        if (n->FLeft)
            pending.push_back(std::move(n->FLeft));
        if (n->FRight)
            pending.push_back(std::move(n->FRight));
    }
}

bool TscExpressionNode::AddNode(std::unique_ptr<TscExpressionNode> Node)
{
    Node->FParent = this;
    if (!FLeft)
        FLeft = std::move(Node);
    else if (!FRight)
        FRight = std::move(Node);
    else
        return false;
    return true;
}

std::unique_ptr<TscExpressionNode> TscExpressionNode::Detach(TscExpressionNode* Child)
{
    std::unique_ptr<TscExpressionNode> n;
    if (FLeft.get() == Child)
        n = std::move(FLeft);
    else if (FRight.get() == Child)
        n = std::move(FRight);
    if (n)
        n->FParent = nullptr;
    return n;
}

std::unique_ptr<TscExpressionNode> TscExpressionNode::Replace(
    TscExpressionNode* Child, std::unique_ptr<TscExpressionNode> Node)
{
    Node->FParent = this;
    std::unique_ptr<TscExpressionNode>& slot = FLeft.get() == Child ? FLeft : FRight;
    std::swap(slot, Node);
    if (Node)
        Node->FParent = nullptr;
    return Node;
}

TscOperandNode::TscOperandNode(const Variant& Value, const QString& Pos)
    : TscExpressionNode(0, Pos)
    , FValue(Value)
{
    switch (Value.VarKind()) {
    case Variant::vkBoolean:
        SetType({ fvtBool, {} });
        break;
    case Variant::vkInteger:
        SetType({ fvtInt, {} });
        break;
    case Variant::vkInt64:
        SetType({ fvtInt64, {} });
        break;
    case Variant::vkDouble:
    case Variant::vkDate:
        SetType({ fvtFloat, {} });
        break;
    case Variant::vkString:
        SetType({ fvtString, {} });
        break;
    default:
        SetType({ fvtVariant, {} });
        break;
    }
}

TscDesignatorNode::TscDesignatorNode(std::unique_ptr<TscDesignator> Designator, const QString& Pos)
    : TscExpressionNode(0, Pos)
    , FDesignator(std::move(Designator))
{
    SetType(FDesignator->Type());
}

TscDesignatorNode::~TscDesignatorNode() = default;

Variant TscDesignatorNode::Value() const
{
    return FDesignator->Value();
}

TscSetNode::TscSetNode(const QString& Pos)
    : TscExpressionNode(0, Pos)
{
    // A set meets any element type; its elements are checked one by one at run time.
    SetType({ fvtVariant, {} });
}

TscSetNode::~TscSetNode() = default;

void TscSetNode::AddElement(std::unique_ptr<TscExpression> Element, bool IsRangeEnd)
{
    FElements.push_back(std::move(Element));
    FRangeEnd.push_back(IsRangeEnd);
}

Variant TscSetNode::Value() const
{
    QList<Variant> items;
    for (size_t i = 0; i < FElements.size(); ++i) {
        if (FRangeEnd[i])
            items.append(Variant::Null());
        items.append(FElements[i]->Value());
    }
    return Variant(items);
}

namespace {

// The set rule shared by set constructors and array values: equal to an
// element, or within a..b where a Null element stands between a and b.
template <typename At> bool SetContains(const Variant& value, int count, At at)
{
    for (int i = 0; i < count; ++i) {
        if (i + 2 < count && at(i + 1).IsNull()) {
            if (Variant::Compare(value, at(i)) >= 0 && Variant::Compare(value, at(i + 2)) <= 0)
                return true;
            i += 2;
            continue;
        }
        if (Variant::Equals(value, at(i)))
            return true;
    }
    return false;
}

} // namespace

bool TscSetNode::Contains(const Variant& Value) const
{
    for (size_t i = 0; i < FElements.size(); ++i) {
        const Variant a = FElements[i]->Value();
        if (i + 1 < FElements.size() && FRangeEnd[i + 1]) {
            const Variant b = FElements[i + 1]->Value();
            if (Variant::Compare(Value, a) >= 0 && Variant::Compare(Value, b) <= 0)
                return true;
            ++i;
        } else if (Variant::Equals(Value, a)) {
            return true;
        }
    }
    return false;
}

TscOperatorNode::TscOperatorNode(TscOperatorType Op, const QString& Pos)
    : TscExpressionNode(PriorityOf(Op), Pos)
    , FOp(Op)
{
}

// ---- operator node classes -------------------------------------------------

#define SC_BINARY_NODE(Class, Op, Expr)                                                                      \
    class Class : public TscOperatorNode {                                                                   \
    public:                                                                                                  \
        explicit Class(const QString& Pos)                                                                   \
            : TscOperatorNode(Op, Pos)                                                                       \
        {                                                                                                    \
        }                                                                                                    \
        Variant Value() const override                                                                       \
        {                                                                                                    \
            const Variant l = Left()->Value();                                                               \
            const Variant r = Right()->Value();                                                              \
            return Expr;                                                                                     \
        }                                                                                                    \
    };

namespace {

class TNoneNode : public TscOperatorNode {
public:
    TNoneNode()
        : TscOperatorNode(opNone, QString())
    {
    }
    Variant Value() const override { return Left() ? Left()->Value() : Variant(); }
};

SC_BINARY_NODE(TGreatNode, opGreat, Variant(Variant::Compare(l, r) > 0))
SC_BINARY_NODE(TLessNode, opLess, Variant(Variant::Compare(l, r) < 0))
SC_BINARY_NODE(TLessEqNode, opLessEq, Variant(Variant::Compare(l, r) <= 0))
SC_BINARY_NODE(TGreatEqNode, opGreatEq, Variant(Variant::Compare(l, r) >= 0))
SC_BINARY_NODE(TNonEqNode, opNonEq, Variant(!Variant::Equals(l, r)))
SC_BINARY_NODE(TEqNode, opEq, Variant(Variant::Equals(l, r)))
SC_BINARY_NODE(TPlusNode, opPlus, Variant::Add(l, r))
SC_BINARY_NODE(TMinusNode, opMinus, Variant::Subtract(l, r))
SC_BINARY_NODE(TXorNode, opXor, Variant::Xor(l, r))
SC_BINARY_NODE(TMulNode, opMul, Variant::Multiply(l, r))
SC_BINARY_NODE(TDivFloatNode, opDivFloat, Variant::DivideFloat(l, r))
SC_BINARY_NODE(TDivIntNode, opDivInt, Variant::DivideInt(l, r))
SC_BINARY_NODE(TModNode, opMod, Variant::Modulus(l, r))
SC_BINARY_NODE(TShlNode, opShl, Variant::ShiftLeft(l, r))
SC_BINARY_NODE(TShrNode, opShr, Variant::ShiftRight(l, r))

// The `+` of strings: a string on the left joins the text of both sides.
class TStrCatNode : public TscOperatorNode {
public:
    explicit TStrCatNode(const QString& Pos)
        : TscOperatorNode(opPlus, Pos)
    {
    }
    Variant Value() const override
    {
        const Variant l = Left()->Value();
        const Variant r = Right()->Value();
        if (l.IsString())
            return Variant(l.StringRef() + r.AsString());
        return Variant::Add(l, r);
    }
};

class TAndNode : public TscOperatorNode {
public:
    explicit TAndNode(const QString& Pos)
        : TscOperatorNode(opAnd, Pos)
    {
    }
    Variant Value() const override
    {
        const Variant l = Left()->Value();
        if (FOptimize && l.VarKind() == Variant::vkBoolean && !l.AsBoolean())
            return l;
        return Variant::And(l, Right()->Value());
    }
};

class TOrNode : public TscOperatorNode {
public:
    explicit TOrNode(const QString& Pos)
        : TscOperatorNode(opOr, Pos)
    {
    }
    Variant Value() const override
    {
        const Variant l = Left()->Value();
        if (FOptimize && l.VarKind() == Variant::vkBoolean && l.AsBoolean())
            return l;
        return Variant::Or(l, Right()->Value());
    }
};

class TNotNode : public TscOperatorNode {
public:
    explicit TNotNode(const QString& Pos)
        : TscOperatorNode(opNot, Pos)
    {
    }
    Variant Value() const override { return Variant::Not(Left()->Value()); }
};

class TUnMinusNode : public TscOperatorNode {
public:
    explicit TUnMinusNode(const QString& Pos)
        : TscOperatorNode(opUnMinus, Pos)
    {
    }
    Variant Value() const override { return Variant::Negate(Left()->Value()); }
};

class TInNode : public TscOperatorNode {
public:
    explicit TInNode(const QString& Pos)
        : TscOperatorNode(opIn, Pos)
    {
    }
    Variant Value() const override
    {
        const Variant l = Left()->Value();
        if (auto set = dynamic_cast<const TscSetNode*>(Right()))
            return Variant(set->Contains(l));
        const Variant r = Right()->Value();
        if (!r.IsArray())
            r.ThrowConvertError(Variant::vkArray);
        return Variant(
            SetContains(l, r.ArrayCount(), [&r](int i) -> const Variant& { return r.ArrayItem(i); }));
    }
};

class TIsNode : public TscOperatorNode {
public:
    explicit TIsNode(const QString& Pos)
        : TscOperatorNode(opIs, Pos)
    {
    }
    Variant Value() const override
    {
        const Variant l = Left()->Value();
        QObject* obj = l.IsObject() ? l.AsObject() : nullptr;
        return Variant(obj != nullptr && obj->inherits(FClassName.toLatin1().constData()));
    }
};

// Only present while building.
class TBracketNode : public TscOperatorNode {
public:
    TBracketNode(TscOperatorType Op, const QString& Pos)
        : TscOperatorNode(Op, Pos)
    {
    }
    Variant Value() const override { return Left() ? Left()->Value() : Variant(); }
};

std::unique_ptr<TscOperatorNode> MakeOperator(TscOperatorType op, const QString& pos)
{
    switch (op) {
    case opGreat:
        return std::make_unique<TGreatNode>(pos);
    case opLess:
        return std::make_unique<TLessNode>(pos);
    case opLessEq:
        return std::make_unique<TLessEqNode>(pos);
    case opGreatEq:
        return std::make_unique<TGreatEqNode>(pos);
    case opNonEq:
        return std::make_unique<TNonEqNode>(pos);
    case opEq:
        return std::make_unique<TEqNode>(pos);
    case opPlus:
        return std::make_unique<TPlusNode>(pos);
    case opMinus:
        return std::make_unique<TMinusNode>(pos);
    case opOr:
        return std::make_unique<TOrNode>(pos);
    case opXor:
        return std::make_unique<TXorNode>(pos);
    case opMul:
        return std::make_unique<TMulNode>(pos);
    case opDivFloat:
        return std::make_unique<TDivFloatNode>(pos);
    case opDivInt:
        return std::make_unique<TDivIntNode>(pos);
    case opMod:
        return std::make_unique<TModNode>(pos);
    case opAnd:
        return std::make_unique<TAndNode>(pos);
    case opShl:
        return std::make_unique<TShlNode>(pos);
    case opShr:
        return std::make_unique<TShrNode>(pos);
    case opNot:
        return std::make_unique<TNotNode>(pos);
    case opUnMinus:
        return std::make_unique<TUnMinusNode>(pos);
    case opIn:
        return std::make_unique<TInNode>(pos);
    case opIs:
        return std::make_unique<TIsNode>(pos);
    case opLeftBracket:
    case opRightBracket:
        return std::make_unique<TBracketNode>(op, pos);
    case opNone:
        return std::make_unique<TNoneNode>();
    }
    return nullptr;
}

[[noreturn]] void Fail(TscMessage msg, const QString& pos)
{
    throw EscError(scMessage(msg), pos);
}

} // namespace

#undef SC_BINARY_NODE

// ---- the expression ----------------------------------------------------------

TscExpression::TscExpression(TscScript* Script)
    : FScript(Script)
    , FRoot(MakeOperator(opNone, QString()))
{
    FCurrent = FRoot.get();
}

TscExpression::~TscExpression() = default;

TscOperatorType TscExpression::OperatorByName(const QString& Name, bool& Found)
{
    static const struct {
        const char* name;
        TscOperatorType op;
    } table[] = {
        { ">", opGreat },
        { "<", opLess },
        { "<=", opLessEq },
        { ">=", opGreatEq },
        { "<>", opNonEq },
        { "=", opEq },
        { "+", opPlus },
        { "-", opMinus },
        { "or", opOr },
        { "xor", opXor },
        { "*", opMul },
        { "/", opDivFloat },
        { "div", opDivInt },
        { "mod", opMod },
        { "and", opAnd },
        { "shl", opShl },
        { "shr", opShr },
        { "(", opLeftBracket },
        { ")", opRightBracket },
        { "not", opNot },
        { "unminus", opUnMinus },
        { "in", opIn },
        { "is", opIs },
    };
    for (const auto& e : table) {
        if (Name == QLatin1String(e.name)) {
            Found = true;
            return e.op;
        }
    }
    Found = false;
    return opNone;
}

void TscExpression::AddOperand(std::unique_ptr<TscExpressionNode> Node)
{
    TscExpressionNode* n = Node.get();
    const QString pos = Node->Pos();
    if (!FRoot || !FCurrent->AddNode(std::move(Node)))
        Fail(TscMessage::SIncompatibleTypes, pos); // two operands in a row: the grammar never builds this
    FCurrent = n;
}

void TscExpression::AddConst(const Variant& Value, const QString& Pos)
{
    AddOperand(std::make_unique<TscOperandNode>(Value, Pos));
}

void TscExpression::AddDesignator(std::unique_ptr<TscDesignator> Designator, const QString& Pos)
{
    AddOperand(std::make_unique<TscDesignatorNode>(std::move(Designator), Pos));
}

void TscExpression::AddSet(std::unique_ptr<TscSetNode> Set)
{
    AddOperand(std::move(Set));
}

void TscExpression::AddOperator(TscOperatorType Op, const QString& Pos)
{
    if (!FRoot)
        Fail(TscMessage::SIncompatibleTypes, Pos);
    if (Op == opLeftBracket || Op == opNot || Op == opUnMinus) {
        AddOperand(MakeOperator(Op, Pos));
        return;
    }
    if (Op == opRightBracket) {
        TscExpressionNode* n = FCurrent;
        while (n && n->Priority() <= 5)
            n = n->Parent();
        if (!n || AsOp(n)->Op() != opLeftBracket || !n->Left())
            Fail(TscMessage::SIncompatibleTypes, Pos);
        TscExpressionNode* parent = n->Parent();
        std::unique_ptr<TscExpressionNode> content = n->Detach(n->Left());
        TscExpressionNode* c = content.get();
        parent->Replace(n, std::move(content)); // the bracket node is freed here
        FCurrent = c;
        return;
    }
    std::unique_ptr<TscExpressionNode> node = MakeOperator(Op, Pos);
    TscExpressionNode* op = node.get();
    if (FCurrent == FRoot.get()) {
        AddOperand(std::move(node));
        return;
    }
    TscExpressionNode* sub = nullptr;
    TscExpressionNode* stop = FCurrent;
    if (!(FCurrent->IsOperator() && AsOp(FCurrent)->Op() == opLeftBracket)) {
        sub = FCurrent;
        while (sub->Parent()->Priority() <= op->Priority())
            sub = sub->Parent();
        stop = sub->Parent();
    }
    if (sub) {
        op->AddNode(stop->Replace(sub, std::move(node)));
    } else if (!stop->AddNode(std::move(node))) {
        Fail(TscMessage::SIncompatibleTypes, Pos);
    }
    FCurrent = op;
}

void TscExpression::Finalize()
{
    if (!FRoot)
        return;
    FTop = FRoot->Detach(FRoot->Left());
    FRoot.reset();
    FCurrent = nullptr;
    if (!FTop)
        return;
    // Depth first, without recursion: typing and evaluation recurse, so a tree
    // that is too deep is refused before either runs.
    std::vector<std::pair<TscExpressionNode*, int>> pending { { FTop.get(), 1 } };
    while (!pending.empty()) {
        auto [n, depth] = pending.back();
        pending.pop_back();
        if (depth > scMaxExpressionDepth)
            Fail(TscMessage::SExprTooComplex, n->Pos());
        if (n->IsOperator() && (AsOp(n)->Op() == opLeftBracket || AsOp(n)->Op() == opRightBracket))
            Fail(TscMessage::SIncompatibleTypes, n->Pos()); // an unclosed bracket: never built by the grammar
        if (n->Left())
            pending.push_back({ n->Left(), depth + 1 });
        if (n->Right())
            pending.push_back({ n->Right(), depth + 1 });
    }
    TypeNode(FTop.get());
    Q_ASSERT(CheckTree());
}

bool TscExpression::CheckTree() const
{
    if (FRoot || !FTop)
        return !FRoot || !FTop;
    std::vector<const TscExpressionNode*> pending { FTop.get() };
    while (!pending.empty()) {
        const TscExpressionNode* n = pending.back();
        pending.pop_back();
        for (const TscExpressionNode* c : { n->Left(), n->Right() }) {
            if (c && c->Parent() != n)
                return false;
            if (c)
                pending.push_back(c);
        }
        if (!n->IsOperator())
            continue;
        const TscOperatorType op = AsOp(n)->Op();
        if (op == opNone || op == opLeftBracket || op == opRightBracket)
            return false;
        const bool unary = op == opNot || op == opUnMinus;
        if (!n->Left() || (unary ? n->Right() != nullptr : n->Right() == nullptr))
            return false;
    }
    return true;
}

void TscExpression::TypeNode(TscExpressionNode* Node)
{
    if (Node->Left())
        TypeNode(Node->Left());
    if (Node->Right())
        TypeNode(Node->Right());
    if (!Node->IsOperator())
        return;
    auto* opNode = static_cast<TscOperatorNode*>(Node);
    const TscOperatorType op = opNode->Op();
    const TscType l = Node->Left() ? Node->Left()->Type() : TscType { fvtVariant, {} };
    const TscType r = Node->Right() ? Node->Right()->Type() : TscType { fvtVariant, {} };
    const bool unary = op == opNot || op == opUnMinus;

    if (l.Typ == fvtBool && r.Typ == fvtBool && !unary)
        opNode->FOptimize = true;

    bool compatible = scTypesCompatible(l, r, [this](const QString& base, const QString& derived) {
        return FScript && FScript->IsClassDerived(base, derived);
    });
    if (op == opIs) {
        auto* dn = dynamic_cast<TscDesignatorNode*>(Node->Right());
        TscCustomVariable* cls
            = dn && dn->Designator()->Count() == 1 ? dn->Designator()->Items(0)->Ref : nullptr;
        if (!dynamic_cast<TscClassVariable*>(cls))
            Fail(TscMessage::SClassRequired, Node->Right() ? Node->Right()->Pos() : Node->Pos());
        opNode->FClassName = cls->Name();
        compatible = l.Typ == fvtClass || l.Typ == fvtVariant;
    }
    if (op == opIn && r.Typ == fvtArray)
        compatible = true; // an array value read as a set
    if (!compatible)
        Fail(TscMessage::SIncompatibleTypes, Node->Pos());

    bool allowed = true;
    switch (l.Typ) {
    case fvtBool:
        allowed = op == opEq || op == opNonEq || op == opOr || op == opXor || op == opAnd || op == opNot;
        break;
    case fvtChar:
    case fvtString:
        allowed = IsComparison(op) || op == opPlus || op == opIn;
        break;
    case fvtClass:
    case fvtArray:
        allowed = op == opEq || op == opNonEq || (op == opIs && l.Typ == fvtClass);
        break;
    default:
        break;
    }
    if (!allowed)
        Fail(TscMessage::SIncompatibleTypes, Node->Pos());

    TscType result = l;
    if (IsComparison(op) || op == opIn || op == opIs)
        result = { fvtBool, {} };
    else if ((l.Typ == fvtInt && r.Typ == fvtFloat) || (l.Typ == fvtFloat && r.Typ == fvtInt)
        || (l.Typ == fvtFloat && r.Typ == fvtInt64) || (l.Typ == fvtInt64 && r.Typ == fvtFloat))
        result = { fvtFloat, {} };
    else if (op == opDivFloat && (l.Typ == fvtInt || l.Typ == fvtInt64))
        result = { fvtFloat, {} };
    else if (l.Typ == fvtChar && op == opPlus)
        result = { fvtString, {} };
    Node->SetType(result);

    // The `+` of text joins strings; swap in the node that does so.
    if (op == opPlus && (l.Typ == fvtString || l.Typ == fvtChar)) {
        auto cat = std::make_unique<TStrCatNode>(Node->Pos());
        cat->SetType(result);
        TscExpressionNode* parent = Node->Parent();
        std::unique_ptr<TscExpressionNode> left = Node->Detach(Node->Left());
        std::unique_ptr<TscExpressionNode> right = Node->Detach(Node->Right());
        cat->AddNode(std::move(left));
        cat->AddNode(std::move(right));
        if (parent)
            parent->Replace(Node, std::move(cat));
        else
            FTop = std::move(cat);
    }
}

TscType TscExpression::Type() const
{
    return FTop ? FTop->Type() : TscType { fvtVariant, {} };
}

TscDesignator* TscExpression::SingleDesignator() const
{
    auto* dn = dynamic_cast<TscDesignatorNode*>(FTop.get());
    return dn ? dn->Designator() : nullptr;
}
