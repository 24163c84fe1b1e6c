#pragma once

// TrpExpressionCache: the report's expressions, each wrapped once in a
// one-line function of the report's script language and kept compiled until
// the report prepares its script again.

#include "Variant.h"

#include <QString>
#include <memory>
#include <utility>
#include <vector>

class TscScript;
class TscCustomVariable;

class TrpExpressionCache {
public:
    // MainScript is the report's script; it must outlive the cache.
    explicit TrpExpressionCache(TscScript* MainScript);
    ~TrpExpressionCache();
    TrpExpressionCache(const TrpExpressionCache&) = delete;
    TrpExpressionCache& operator=(const TrpExpressionCache&) = delete;

    // Forgets every cached expression and the functions compiled for them.
    void Clear();
    // Evaluates Expression with AScript as the scope of report names.
    // ErrorMsg is empty on success; on failure the result is Null.
    Variant Calc(const QString& Expression, QString& ErrorMsg, TscScript* AScript);

    const QString& ScriptLanguage() const { return FScriptLanguage; }
    void SetScriptLanguage(const QString& Value) { FScriptLanguage = Value; }
    bool CaseSensitive() const { return FCaseSensitive; }
    void SetCaseSensitive(bool Value);

    int Count() const { return static_cast<int>(FItems.size()); }
    TscScript* Script() const { return FScript.get(); }

    // The source compiled for an expression numbered N in a language.
    static QString WrapperText(const QString& Language, int N, const QString& Expression);

private:
    int Compare(const QString& a, const QString& b) const;
    // Index of the first key not less than Expression.
    size_t LowerBound(const QString& Expression) const;
    TscCustomVariable* Compile(const QString& Expression, QString& ErrorMsg);

    TscScript* FMainScript;
    std::unique_ptr<TscScript> FScript;
    QString FScriptLanguage = QStringLiteral("PascalScript");
    bool FCaseSensitive = false;
    // Sorted by expression text under the current case rule.
    std::vector<std::pair<QString, TscCustomVariable*>> FItems;
};
