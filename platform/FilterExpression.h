#pragma once
// Filter texts of the table layer, parsed by the program and never handed to
// SQL. Grammar (keywords and names without regard to letter case):
//   filter    := condition { "AND" condition }
//   condition := name operator literal
//   operator  := "=" | "<>" | "<" | "<=" | ">" | ">="
//   literal   := "'" { any character, "''" for one quote } "'" | [ "-" ] digits
// Examples: "car = 'O''Neil'", "jobdate >= '01.02.2024' AND jobdate <= '29.02.2024'".
#include "DbValue.h"
#include <vector>

enum class TCompareOp { Equal, NotEqual, Less, LessEqual, Greater, GreaterEqual };

struct TFilterCondition {
    QString FieldName;
    TCompareOp Op;
    TDbValue Literal; // text or whole number
};

class TFilterExpression {
public:
    // Throws EDatabaseError naming the text and what is wrong with it.
    static TFilterExpression Parse(const QString& text);

    const std::vector<TFilterCondition>& Conditions() const { return FConditions; }

    // Whether a comparison result (<0, 0, >0) satisfies op.
    static bool Holds(TCompareOp op, int comparison);

private:
    std::vector<TFilterCondition> FConditions;
};
