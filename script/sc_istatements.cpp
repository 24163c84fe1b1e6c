// Execution of the statements the expression wrappers use.

#include "sc_istatements.h"

#include "sc_idesignator.h"
#include "sc_iexpression.h"

TscStatement::~TscStatement() = default;

TscAssignmentStmt::TscAssignmentStmt(
    std::unique_ptr<TscDesignator> Designator, std::unique_ptr<TscExpression> Expression, const QString& Pos)
    : TscStatement(Pos)
    , FDesignator(std::move(Designator))
    , FExpression(std::move(Expression))
{
}

TscAssignmentStmt::~TscAssignmentStmt() = default;

void TscAssignmentStmt::Execute()
{
    FDesignator->SetValue(FExpression->Value());
}

TscCallStmt::TscCallStmt(std::unique_ptr<TscDesignator> Designator, const QString& Pos)
    : TscStatement(Pos)
    , FDesignator(std::move(Designator))
{
}

TscCallStmt::~TscCallStmt() = default;

void TscCallStmt::Execute()
{
    FDesignator->Value();
}

void TscCompoundStmt::Execute()
{
    for (const auto& s : FItems)
        s->Execute();
}
