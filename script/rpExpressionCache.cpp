// The expression cache. Invariants: FItems stays sorted by its keys under the
// current case rule; every function in FItems lives in FScript; a failed
// compilation leaves nothing behind, so the next number is not used up; the
// main script's MainProg is restored however an evaluation ends.

#include "rpExpressionCache.h"

#include "PelmoraError.h"
#include "sc_iinterpreter.h"

#include <algorithm>
#include <exception>

namespace {

// Keeps the report script's running-procedure pointer away from the wrapper
// call; MainProg is on again on every way out.
class TrpMainProgOff {
public:
    explicit TrpMainProgOff(TscScript* Main)
        : FMain(Main)
    {
        if (FMain)
            FMain->SetMainProg(false);
    }
    ~TrpMainProgOff()
    {
        if (FMain)
            FMain->SetMainProg(true);
    }
    TrpMainProgOff(const TrpMainProgOff&) = delete;
    TrpMainProgOff& operator=(const TrpMainProgOff&) = delete;

private:
    TscScript* FMain;
};

} // namespace

TrpExpressionCache::TrpExpressionCache(TscScript* MainScript)
    : FMainScript(MainScript)
    , FScript(std::make_unique<TscScript>(MainScript))
{
    FScript->SetExtendedCharset(true);
}

TrpExpressionCache::~TrpExpressionCache() = default;

void TrpExpressionCache::Clear()
{
    FItems.clear();
    FScript->Clear();
}

void TrpExpressionCache::SetCaseSensitive(bool Value)
{
    if (FCaseSensitive == Value)
        return;
    FCaseSensitive = Value;
    // Keys equal under the old rule may differ under the new one and the
    // order changes; starting over keeps lookups right.
    Clear();
}

int TrpExpressionCache::Compare(const QString& a, const QString& b) const
{
    return QString::compare(a, b, FCaseSensitive ? Qt::CaseSensitive : Qt::CaseInsensitive);
}

size_t TrpExpressionCache::LowerBound(const QString& Expression) const
{
    auto it = std::lower_bound(FItems.begin(), FItems.end(), Expression,
        [this](const std::pair<QString, TscCustomVariable*>& item, const QString& key) {
            return Compare(item.first, key) < 0;
        });
    return static_cast<size_t>(it - FItems.begin());
}

QString TrpExpressionCache::WrapperText(const QString& Language, int N, const QString& Expression)
{
    const QString n = QString::number(N);
    if (Language.compare(QLatin1String("C++Script"), Qt::CaseInsensitive) == 0)
        return QStringLiteral("Variant rpf") + n + QStringLiteral("() { ") + QStringLiteral("return ")
            + Expression + QStringLiteral("; } {}");
    if (Language.compare(QLatin1String("BasicScript"), Qt::CaseInsensitive) == 0)
        return QStringLiteral("function rpf") + n + QStringLiteral("\r\n") + QStringLiteral("return ")
            + Expression + QStringLiteral("\r\n") + QStringLiteral("end function");
    if (Language.compare(QLatin1String("JScript"), Qt::CaseInsensitive) == 0)
        return QStringLiteral("function rpf") + n + QStringLiteral("() { ") + QStringLiteral("return ")
            + Expression + QStringLiteral("; }");
    return QStringLiteral("function rpf") + n + QStringLiteral(": Variant; begin ")
        + QStringLiteral("Result := ") + Expression + QStringLiteral(" end; begin end.");
}

TscCustomVariable* TrpExpressionCache::Compile(const QString& Expression, QString& ErrorMsg)
{
    const int n = static_cast<int>(FItems.size());
    const QString name = QStringLiteral("rpf") + QString::number(n);
    FScript->SetSyntaxType(FScriptLanguage);
    FScript->SetLines(WrapperText(FScriptLanguage, n, Expression));
    QString message;
    TscCustomVariable* func = nullptr;
    if (FScript->Compile()) {
        func = FScript->FindLocal(name);
        if (!func || !func->IsCallable()) {
            if (func)
                FScript->Remove(func);
            func = nullptr;
            message = QStringLiteral("Undeclared identifier: '%1'").arg(name);
        }
    } else {
        message = FScript->ErrorMsg();
        // Compile takes back what it added; a stray function is removed all the same.
        if (TscCustomVariable* stray = FScript->FindLocal(name))
            FScript->Remove(stray);
    }
    if (!func)
        ErrorMsg = QStringLiteral("Error in expression") + QStringLiteral(" '") + Expression
            + QStringLiteral("': ") + message;
    return func;
}

Variant TrpExpressionCache::Calc(const QString& Expression, QString& ErrorMsg, TscScript* AScript)
{
    ErrorMsg.clear();
    FScript->SetParent(AScript ? AScript : FMainScript);
    const size_t at = LowerBound(Expression);
    TscCustomVariable* func = nullptr;
    if (at < FItems.size() && Compare(FItems[at].first, Expression) == 0) {
        func = FItems[at].second;
    } else {
        func = Compile(Expression, ErrorMsg);
        if (!func)
            return Variant::Null();
        FItems.insert(FItems.begin() + static_cast<std::ptrdiff_t>(at), { Expression, func });
    }
    TrpMainProgOff guard(FMainScript);
    try {
        std::vector<Variant> none;
        return func->Call(nullptr, none);
    } catch (const EPelmoraError& e) {
        ErrorMsg = e.Message();
    } catch (const std::exception& e) {
        ErrorMsg = QString::fromUtf8(e.what());
    }
    return Variant::Null();
}
