#pragma once

// Expressions: a tree of operand and operator nodes built token by token in
// source order, typed once when finished, then evaluated any number of times.

#include "Variant.h"
#include "sc_itypes.h"

#include <QString>
#include <memory>
#include <vector>

class TscDesignator;
class TscScript;
class TscExpression;

enum TscOperatorType {
    opNone,
    opGreat,
    opLess,
    opLessEq,
    opGreatEq,
    opNonEq,
    opEq,
    opPlus,
    opMinus,
    opOr,
    opXor,
    opMul,
    opDivFloat,
    opDivInt,
    opMod,
    opAnd,
    opShl,
    opShr,
    opLeftBracket,
    opRightBracket,
    opNot,
    opUnMinus,
    opIn,
    opIs,
};

class TscExpressionNode {
public:
    TscExpressionNode(int Priority, const QString& Pos);
    virtual ~TscExpressionNode();
    TscExpressionNode(const TscExpressionNode&) = delete;
    TscExpressionNode& operator=(const TscExpressionNode&) = delete;

    virtual Variant Value() const = 0;
    virtual bool IsOperator() const { return false; }

    TscExpressionNode* Parent() const { return FParent; }
    TscExpressionNode* Left() const { return FLeft.get(); }
    TscExpressionNode* Right() const { return FRight.get(); }
    int Priority() const { return FPriority; }
    const TscType& Type() const { return FType; }
    void SetType(const TscType& Value) { FType = Value; }
    const QString& Pos() const { return FPos; }

    // Attaches as the next free child (left first); false when both are taken.
    bool AddNode(std::unique_ptr<TscExpressionNode> Node);
    std::unique_ptr<TscExpressionNode> Detach(TscExpressionNode* Child);
    // Puts Node in Child's place and hands Child back.
    std::unique_ptr<TscExpressionNode> Replace(
        TscExpressionNode* Child, std::unique_ptr<TscExpressionNode> Node);

private:
    friend class TscExpression;
    TscExpressionNode* FParent = nullptr;
    std::unique_ptr<TscExpressionNode> FLeft, FRight;
    int FPriority;
    TscType FType;
    QString FPos;
};

// A constant.
class TscOperandNode : public TscExpressionNode {
public:
    TscOperandNode(const Variant& Value, const QString& Pos);
    Variant Value() const override { return FValue; }

protected:
    Variant FValue;
};

class TscDesignatorNode : public TscExpressionNode {
public:
    TscDesignatorNode(std::unique_ptr<TscDesignator> Designator, const QString& Pos);
    ~TscDesignatorNode() override;
    Variant Value() const override;
    TscDesignator* Designator() const { return FDesignator.get(); }

private:
    std::unique_ptr<TscDesignator> FDesignator;
};

// A set constructor: elements and ranges a..b.
class TscSetNode : public TscExpressionNode {
public:
    explicit TscSetNode(const QString& Pos);
    ~TscSetNode() override;
    // IsRangeEnd: this element closes a range opened by the element before it.
    void AddElement(std::unique_ptr<TscExpression> Element, bool IsRangeEnd);
    // The elements as an array in which a Null element marks a range.
    Variant Value() const override;
    bool Contains(const Variant& Value) const;

private:
    std::vector<std::unique_ptr<TscExpression>> FElements;
    std::vector<bool> FRangeEnd;
};

class TscOperatorNode : public TscExpressionNode {
public:
    TscOperatorNode(TscOperatorType Op, const QString& Pos);
    bool IsOperator() const override { return true; }
    TscOperatorType Op() const { return FOp; }
    // Both operands Boolean: `and` and `or` skip the right side when the left decides.
    bool FOptimize = false;
    QString FClassName; // the class on the right of `is`

private:
    TscOperatorType FOp;
};

class TscExpression {
public:
    explicit TscExpression(TscScript* Script);
    ~TscExpression();
    TscExpression(const TscExpression&) = delete;
    TscExpression& operator=(const TscExpression&) = delete;

    // Building, in source order. Errors throw EscError with the position.
    void AddOperator(TscOperatorType Op, const QString& Pos);
    void AddConst(const Variant& Value, const QString& Pos);
    void AddDesignator(std::unique_ptr<TscDesignator> Designator, const QString& Pos);
    void AddSet(std::unique_ptr<TscSetNode> Set);
    // Closes the tree and computes its static types ("Incompatible types").
    void Finalize();

    Variant Value() const { return FTop ? FTop->Value() : Variant(); }
    TscType Type() const;
    TscExpressionNode* Top() const { return FTop.get(); }
    // The designator when the whole expression is one, else nullptr.
    TscDesignator* SingleDesignator() const;

    QString Source; // exact source text
    TscScript* Script() const { return FScript; }

    static TscOperatorType OperatorByName(const QString& Name, bool& Found);
    // The invariants of a finished tree: parent links agree, no bracket or
    // sentinel node is left, binary operators have both operands.
    bool CheckTree() const;

private:
    void AddOperand(std::unique_ptr<TscExpressionNode> Node);
    void TypeNode(TscExpressionNode* Node);

    TscScript* FScript;
    std::unique_ptr<TscExpressionNode> FRoot; // opNone sentinel while building
    std::unique_ptr<TscExpressionNode> FTop; // after Finalize
    TscExpressionNode* FCurrent = nullptr;
};

// Deepest tree (and deepest nesting of expressions) accepted, and deepest
// nesting of script function calls at run time: together they bound the
// stack that typing and evaluation can use.
constexpr int scMaxExpressionDepth = 500;
constexpr int scMaxCallDepth = 32;
