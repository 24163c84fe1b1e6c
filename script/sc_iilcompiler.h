#pragma once

// Builds script objects (functions, variables, statements, expressions and
// designators) from an IL document into a script.

#include "sc_itypes.h"

#include <QString>
#include <memory>

class TrpXMLItem;
class TscCompoundStmt;
class TscDesignator;
class TscExpression;
class TscILParser;
class TscScript;
class TscStatement;

class TscILCompiler {
public:
    TscILCompiler(TscScript* Script, const TscILParser& Parser);
    // The program's main body; names go into the script. Throws EscError.
    std::unique_ptr<TscCompoundStmt> Build();

private:
    void BuildProc(const TrpXMLItem* x, TscScript* scope, bool isFunc);
    void BuildVar(const TrpXMLItem* x, TscScript* scope);
    std::unique_ptr<TscCompoundStmt> BuildCompound(const TrpXMLItem* x, TscScript* scope);
    std::unique_ptr<TscStatement> BuildStatement(const TrpXMLItem* x, TscScript* scope);
    std::unique_ptr<TscExpression> BuildExpression(const TrpXMLItem* x, TscScript* scope);
    void AddExprChildren(TscExpression& e, const TrpXMLItem* x, TscScript* scope, int depth);
    std::unique_ptr<TscDesignator> BuildDesignator(const TrpXMLItem* x, TscScript* scope);
    TscType ResolveType(const QString& name, const QString& pos, TscScript* scope) const;
    QString SourceBetween(const QString& pos, const QString& pos1) const;

    TscScript* FScript;
    const TscILParser& FParser;
};

// Reads a number literal: a 64-bit integer (decimal or "$" hex; Integer below
// 2147483648, else Int64), otherwise a floating number. Throws EscError.
class Variant;
Variant scReadNumber(const QString& Text, const QString& Pos);
