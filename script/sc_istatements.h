#pragma once

// The statements an expression wrapper needs: assignment, procedure call and
// a compound statement.

#include <QString>
#include <memory>
#include <vector>

class TscDesignator;
class TscExpression;

class TscStatement {
public:
    explicit TscStatement(const QString& Pos)
        : FPos(Pos)
    {
    }
    virtual ~TscStatement();
    virtual void Execute() = 0;
    const QString& Pos() const { return FPos; }

private:
    QString FPos;
};

class TscAssignmentStmt : public TscStatement {
public:
    TscAssignmentStmt(std::unique_ptr<TscDesignator> Designator, std::unique_ptr<TscExpression> Expression,
        const QString& Pos);
    ~TscAssignmentStmt() override;
    void Execute() override;

private:
    std::unique_ptr<TscDesignator> FDesignator;
    std::unique_ptr<TscExpression> FExpression;
};

class TscCallStmt : public TscStatement {
public:
    TscCallStmt(std::unique_ptr<TscDesignator> Designator, const QString& Pos);
    ~TscCallStmt() override;
    void Execute() override;

private:
    std::unique_ptr<TscDesignator> FDesignator;
};

class TscCompoundStmt : public TscStatement {
public:
    using TscStatement::TscStatement;
    void Add(std::unique_ptr<TscStatement> Statement) { FItems.push_back(std::move(Statement)); }
    void Execute() override;

private:
    std::vector<std::unique_ptr<TscStatement>> FItems;
};
