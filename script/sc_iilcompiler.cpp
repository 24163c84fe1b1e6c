// From IL document to script objects: declarations, statements, expression
// trees and designators, with name resolution and every compile-time check
// that needs the names (undeclared identifiers, argument counts and types,
// assignability).
//
// Invariants: every object is built into the scope it belongs to (a
// function's locals into its own scope); the first error thrown ends the
// build, and the script undoes the names the build added.

#include "sc_iilcompiler.h"

#include "Variant.h"
#include "rpXML.h"
#include "sc_idesignator.h"
#include "sc_ierrors.h"
#include "sc_iexpression.h"
#include "sc_iilparser.h"
#include "sc_iinterpreter.h"
#include "sc_istatements.h"

#include <QLocale>

namespace {

// The IL builder writes every attribute text as ` text="v" pos="l:c"
// pos1="l:c"` (text and pos1 when present); one pass reads them all, where a
// lookup per attribute would rescan the text each time.
struct ILAttrs {
    QString text, pos, pos1;
};

ILAttrs Attrs(const TrpXMLItem* x)
{
    ILAttrs a;
    const QString& t = x->Text();
    qsizetype i = 0;
    while (i < t.size()) {
        const qsizetype eq = t.indexOf(QLatin1String("=\""), i);
        if (eq < 0)
            break;
        const qsizetype close = t.indexOf(QLatin1Char('"'), eq + 2);
        if (close < 0)
            break;
        const QStringView name = QStringView(t).mid(i, eq - i).trimmed();
        const QStringView value = QStringView(t).mid(eq + 2, close - eq - 2);
        if (name == u"text")
            a.text = value.contains(QLatin1Char('&')) ? rpXMLToStr(value.toString()) : value.toString();
        else if (name == u"pos")
            a.pos = value.toString();
        else if (name == u"pos1")
            a.pos1 = value.toString();
        i = close + 1;
    }
    return a;
}

QString Quoted(const QString& name)
{
    return QLatin1Char('\'') + name + QLatin1Char('\'');
}

[[noreturn]] void Fail(TscMessage msg, const QString& pos, const QString& suffix = QString())
{
    throw EscError(scMessage(msg) + suffix, pos);
}

} // namespace

Variant scReadNumber(const QString& Text, const QString& Pos)
{
    bool ok = false;
    int64_t v = 0;
    if (Text.startsWith(QLatin1Char('$')))
        v = static_cast<int64_t>(Text.mid(1).toULongLong(&ok, 16));
    else
        v = Text.toLongLong(&ok, 10);
    if (ok)
        return v >= 0 && v < 2147483648LL ? Variant(static_cast<int32_t>(v)) : Variant(v);
    // the lexer's "." is the decimal point whatever the locale says
    const double d = QLocale::c().toDouble(Text, &ok);
    if (!ok)
        throw EscError(Quoted(Text) + QStringLiteral(" is not a valid floating point value"), Pos);
    return Variant(d);
}

TscILCompiler::TscILCompiler(TscScript* Script, const TscILParser& Parser)
    : FScript(Script)
    , FParser(Parser)
{
}

std::unique_ptr<TscCompoundStmt> TscILCompiler::Build()
{
    const TrpXMLItem* root = FParser.ILScript()->Root();
    std::unique_ptr<TscCompoundStmt> body;
    for (int i = 0; i < root->Count(); ++i) {
        const TrpXMLItem* x = root->Items(i);
        const QString& name = x->Name();
        if (name == QLatin1String("function"))
            BuildProc(x, FScript, true);
        else if (name == QLatin1String("procedure"))
            BuildProc(x, FScript, false);
        else if (name == QLatin1String("var"))
            BuildVar(x, FScript);
        else if (name == QLatin1String("compoundstmt"))
            body = BuildCompound(x, FScript);
    }
    return body;
}

TscType TscILCompiler::ResolveType(const QString& name, const QString& pos, TscScript* scope) const
{
    const QString alias = FParser.TypeAliases().value(name.toUpper());
    const QString typeName = alias.isEmpty() ? name : alias;
    TscType t;
    if (!scope->TypeOf(typeName, t, false))
        Fail(TscMessage::SUnknownType, pos, Quoted(name));
    return t;
}

void TscILCompiler::BuildVar(const TrpXMLItem* x, TscScript* scope)
{
    QStringList names;
    QStringList positions;
    QString typeName, typePos;
    for (int i = 0; i < x->Count(); ++i) {
        const TrpXMLItem* c = x->Items(i);
        if (c->Name() == QLatin1String("name")) {
            names.append(Attrs(c).text);
            positions.append(Attrs(c).pos);
        } else if (c->Name() == QLatin1String("type")) {
            typeName = Attrs(c).text;
            typePos = Attrs(c).pos;
        }
    }
    const TscType type = ResolveType(typeName, typePos, scope);
    for (int i = 0; i < names.size(); ++i) {
        if (scope->FindLocal(names[i]))
            Fail(TscMessage::SIdRedeclared, positions[i], Quoted(names[i]));
        std::unique_ptr<TscVariable> v;
        if (type.Typ == fvtString || type.Typ == fvtChar)
            v = std::make_unique<TscStringVariable>(names[i], type);
        else
            v = std::make_unique<TscVariable>(names[i], type);
        v->OnGetVarValue = FScript->OnGetVarValue;
        v->SetPos(positions[i]);
        scope->Add(std::move(v));
    }
}

void TscILCompiler::BuildProc(const TrpXMLItem* x, TscScript* scope, bool isFunc)
{
    QString name, namePos;
    TscType resultType { fvtVariant, {} };
    struct Param {
        QString name, pos;
        TscType type;
        bool isVar;
    };
    std::vector<Param> params;
    for (int i = 0; i < x->Count(); ++i) {
        const TrpXMLItem* c = x->Items(i);
        if (c->Name() == QLatin1String("name")) {
            name = Attrs(c).text;
            namePos = Attrs(c).pos;
        } else if (c->Name() == QLatin1String("type")) {
            resultType = ResolveType(Attrs(c).text, Attrs(c).pos, scope);
        } else if (c->Name() == QLatin1String("parameters")) {
            bool isVar = false;
            std::vector<Param> group;
            for (int j = 0; j < c->Count(); ++j) {
                const TrpXMLItem* p = c->Items(j);
                if (p->Name() == QLatin1String("varparam"))
                    isVar = true;
                else if (p->Name() == QLatin1String("name"))
                    group.push_back({ Attrs(p).text, Attrs(p).pos, {}, false });
                else if (p->Name() == QLatin1String("type")) {
                    const TscType t = ResolveType(Attrs(p).text, Attrs(p).pos, scope);
                    for (auto& g : group) {
                        g.type = t;
                        g.isVar = isVar;
                        params.push_back(g);
                    }
                }
            }
        }
    }
    if (scope->FindLocal(name))
        Fail(TscMessage::SIdRedeclared, namePos, Quoted(name));
    auto proc = std::make_unique<TscProcVariable>(name, resultType, isFunc, scope);
    proc->SetPos(namePos);
    TscScript* local = proc->Prog();
    for (const Param& p : params) {
        if (local->FindLocal(p.name))
            Fail(TscMessage::SIdRedeclared, p.pos, Quoted(p.name));
        proc->AddParam(std::make_unique<TscParamItem>(p.name, p.type, p.isVar, false, Variant()));
        auto v = std::make_unique<TscVariable>(p.name, p.type);
        v->SetPos(p.pos);
        local->Add(std::move(v));
    }
    TscProcVariable* procPtr = scope->Add(std::move(proc)); // visible to its own body
    for (int i = 0; i < x->Count(); ++i) {
        const TrpXMLItem* c = x->Items(i);
        if (c->Name() == QLatin1String("var"))
            BuildVar(c, local);
        else if (c->Name() == QLatin1String("function"))
            BuildProc(c, local, true);
        else if (c->Name() == QLatin1String("procedure"))
            BuildProc(c, local, false);
        else if (c->Name() == QLatin1String("compoundstmt"))
            procPtr->AddStatement(BuildCompound(c, local));
    }
}

std::unique_ptr<TscCompoundStmt> TscILCompiler::BuildCompound(const TrpXMLItem* x, TscScript* scope)
{
    auto compound = std::make_unique<TscCompoundStmt>(Attrs(x).pos);
    for (int i = 0; i < x->Count(); ++i)
        if (auto s = BuildStatement(x->Items(i), scope))
            compound->Add(std::move(s));
    return compound;
}

std::unique_ptr<TscStatement> TscILCompiler::BuildStatement(const TrpXMLItem* x, TscScript* scope)
{
    const QString& kind = x->Name();
    if (kind == QLatin1String("compoundstmt"))
        return BuildCompound(x, scope);
    if (kind == QLatin1String("callstmt") && x->Count() > 0)
        return std::make_unique<TscCallStmt>(BuildDesignator(x->Items(0), scope), Attrs(x).pos);
    if (kind == QLatin1String("assignstmt") && x->Count() >= 2) {
        const QString pos = Attrs(x->Items(0)).pos;
        std::unique_ptr<TscDesignator> target = BuildDesignator(x->Items(0), scope);
        if (!target->CanAssign())
            Fail(TscMessage::SLeftCantAssigned, pos);
        std::unique_ptr<TscExpression> value = BuildExpression(x->Items(1), scope);
        const TscType l = target->Type();
        const TscType r = value->Type();
        if (!scTypesCompatible(
                l, r, [this](const QString& b, const QString& d) { return FScript->IsClassDerived(b, d); })
            || (l.Typ == fvtInt && r.Typ == fvtFloat))
            Fail(TscMessage::SIncompatibleTypes, Attrs(x->Items(1)).pos,
                QStringLiteral(": '") + scFullTypeName(l) + QStringLiteral("', '") + scFullTypeName(r)
                    + QLatin1Char('\''));
        return std::make_unique<TscAssignmentStmt>(std::move(target), std::move(value), Attrs(x).pos);
    }
    return nullptr;
}

QString TscILCompiler::SourceBetween(const QString& pos, const QString& pos1) const
{
    const int a = FParser.Parser().PositionOf(pos);
    const int b = FParser.Parser().PositionOf(pos1);
    if (a < 0 || b < a)
        return QString();
    return FParser.Parser().Text().mid(a, b - a);
}

std::unique_ptr<TscExpression> TscILCompiler::BuildExpression(const TrpXMLItem* x, TscScript* scope)
{
    auto e = std::make_unique<TscExpression>(scope);
    AddExprChildren(*e, x, scope, 0);
    const ILAttrs a = Attrs(x);
    e->Source = SourceBetween(a.pos, a.pos1);
    e->Finalize();
    return e;
}

void TscILCompiler::AddExprChildren(TscExpression& e, const TrpXMLItem* x, TscScript* scope, int depth)
{
    if (depth > scMaxExpressionDepth)
        Fail(TscMessage::SExprTooComplex, Attrs(x).pos);
    for (int i = 0; i < x->Count(); ++i) {
        const TrpXMLItem* c = x->Items(i);
        const QString& kind = c->Name();
        const ILAttrs a = Attrs(c);
        const QString& pos = a.pos;
        if (kind == QLatin1String("op")) {
            bool found = false;
            const TscOperatorType op = TscExpression::OperatorByName(a.text.toLower(), found);
            if (!found)
                Fail(TscMessage::SInvalidLanguage, pos);
            e.AddOperator(op, pos);
        } else if (kind == QLatin1String("number")) {
            e.AddConst(scReadNumber(a.text, pos), pos);
        } else if (kind == QLatin1String("string")) {
            const QString& t = a.text;
            e.AddConst(Variant(t.size() >= 2 ? t.mid(1, t.size() - 2) : QString()), pos);
        } else if (kind == QLatin1String("dsgn")) {
            e.AddDesignator(BuildDesignator(c, scope), pos);
        } else if (kind == QLatin1String("set")) {
            auto set = std::make_unique<TscSetNode>(pos);
            bool range = false;
            for (int j = 0; j < c->Count(); ++j) {
                const TrpXMLItem* el = c->Items(j);
                if (el->Name() == QLatin1String("range")) {
                    range = true;
                } else if (el->Name() == QLatin1String("expr")) {
                    set->AddElement(BuildExpression(el, scope), range);
                    range = false;
                }
            }
            e.AddSet(std::move(set));
        } else if (kind == QLatin1String("expr")) {
            AddExprChildren(e, c, scope, depth + 1);
        }
    }
}

std::unique_ptr<TscDesignator> TscILCompiler::BuildDesignator(const TrpXMLItem* x, TscScript* scope)
{
    auto d = std::make_unique<TscDesignator>();
    TscDesignatorItem* last = nullptr;
    for (int i = 0; i < x->Count(); ++i) {
        const TrpXMLItem* c = x->Items(i);
        const QString& kind = c->Name();
        if (kind == QLatin1String("expr")) {
            if (last)
                last->Args.push_back(BuildExpression(c, scope));
            continue;
        }
        if (kind != QLatin1String("node"))
            continue; // the address sign changes nothing for values
        const ILAttrs a = Attrs(c);
        const QString& text = a.text;
        const QString& pos = a.pos;
        if (!last) {
            TscCustomVariable* v = scope->Find(text);
            if (!v)
                Fail(TscMessage::SIdUndeclared, pos, Quoted(text));
            last = d->AddItem(std::make_unique<TscDesignatorItem>(TscDesignatorItem::ikValue, v, pos));
            continue;
        }
        const TscType prev = last->Type;
        if (text == QLatin1String("[")) {
            TscDesignatorItem::TKind k;
            switch (prev.Typ) {
            case fvtString:
            case fvtChar:
                k = TscDesignatorItem::ikStringIndex;
                break;
            case fvtArray:
                k = TscDesignatorItem::ikArrayIndex;
                break;
            case fvtVariant:
                k = TscDesignatorItem::ikVariantIndex;
                break;
            case fvtClass:
                throw EscError(
                    scMessage(TscMessage::SClassError).replace(QLatin1String("%s"), prev.TypeName), pos);
            default:
                Fail(TscMessage::SArrayRequired, pos);
            }
            last = d->AddItem(std::make_unique<TscDesignatorItem>(k, nullptr, pos));
            last->Type = k == TscDesignatorItem::ikStringIndex ? TscType { fvtChar, {} }
                                                               : TscType { fvtVariant, {} };
            continue;
        }
        // a member after "."
        if (prev.Typ == fvtString || prev.Typ == fvtChar)
            Fail(TscMessage::SStringError, pos);
        Fail(TscMessage::SIdUndeclared, pos, Quoted(text));
    }
    for (int i = 0; i < d->Count(); ++i) {
        TscDesignatorItem* item = d->Items(i);
        if (item->Kind != TscDesignatorItem::ikValue && item->Kind != TscDesignatorItem::ikCall
            && item->Args.empty())
            Fail(TscMessage::SIndexRequired, item->Pos);
    }
    d->Finalize();
    return d;
}
