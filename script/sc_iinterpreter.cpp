// TscScript: the sorted name list with parent scopes, host bindings (variables,
// constants, objects, classes, host functions from syntax lines), owner-tagged
// removal, and Compile, which parses into an IL document and builds objects.
//
// Invariants: FItems is sorted by upper-cased name (duplicates allowed; Find
// returns the first); a failed Compile leaves the names exactly as they were.

#include "sc_iinterpreter.h"

#include "sc_ierrors.h"
#include "sc_iilcompiler.h"
#include "sc_iilparser.h"
#include "sc_iparser.h"
#include "sc_istatements.h"

#include <QObject>
#include <algorithm>

TscScript::TscScript(TscScript* Parent)
    : FParent(Parent)
{
}

TscScript::~TscScript() = default;

namespace {

bool LessName(const std::unique_ptr<TscCustomVariable>& item, const QString& upper)
{
    return item->UpperName() < upper;
}

} // namespace

void TscScript::Insert(std::unique_ptr<TscCustomVariable> Item)
{
    Item->SetOwner(FAddedBy);
    // after existing equal names, so that Find keeps returning the first one
    auto it = std::upper_bound(FItems.begin(), FItems.end(), Item->UpperName(),
        [](const QString& upper, const std::unique_ptr<TscCustomVariable>& item) {
            return upper < item->UpperName();
        });
    FItems.insert(it, std::move(Item));
    Q_ASSERT(CheckNames());
}

bool TscScript::CheckNames() const
{
    return std::is_sorted(FItems.begin(), FItems.end(),
        [](const auto& a, const auto& b) { return a->UpperName() < b->UpperName(); });
}

std::unique_ptr<TscCustomVariable> TscScript::Remove(TscCustomVariable* Item)
{
    auto it = std::find_if(FItems.begin(), FItems.end(), [Item](const auto& p) { return p.get() == Item; });
    if (it == FItems.end())
        return nullptr;
    std::unique_ptr<TscCustomVariable> taken = std::move(*it);
    FItems.erase(it);
    return taken;
}

TscCustomVariable* TscScript::FindLocal(const QString& Name) const
{
    const QString upper = Name.toUpper();
    auto it = std::lower_bound(FItems.begin(), FItems.end(), upper, LessName);
    return (it != FItems.end() && (*it)->UpperName() == upper) ? it->get() : nullptr;
}

TscCustomVariable* TscScript::Find(const QString& Name) const
{
    for (const TscScript* s = this; s; s = s->FParent)
        if (TscCustomVariable* v = s->FindLocal(Name))
            return v;
    return nullptr;
}

bool TscScript::TypeOf(const QString& TypeName, TscType& Type, bool unknownIsClass) const
{
    TscVarType t;
    if (scBuiltinType(TypeName, t)) {
        Type = { t, {} };
        return true;
    }
    if (dynamic_cast<TscClassVariable*>(Find(TypeName)) || unknownIsClass) {
        Type = { fvtClass, TypeName };
        return true;
    }
    return false;
}

bool TscScript::IsClassDerived(const QString& Base, const QString& Derived) const
{
    QString name = Derived;
    for (int guard = 0; guard < 256 && !name.isEmpty(); ++guard) {
        if (name.compare(Base, Qt::CaseInsensitive) == 0)
            return true;
        auto* cls = dynamic_cast<TscClassVariable*>(Find(name));
        if (!cls)
            return false;
        name = cls->ParentName();
    }
    return false;
}

void TscScript::AddVariable(const QString& Name, const QString& TypeName, const Variant& Value)
{
    if (Find(Name))
        return;
    TscType type;
    TypeOf(TypeName, type, true);
    std::unique_ptr<TscVariable> v;
    if (type.Typ == fvtString || type.Typ == fvtChar)
        v = std::make_unique<TscStringVariable>(Name, type);
    else
        v = std::make_unique<TscVariable>(Name, type);
    v->OnGetVarValue = OnGetVarValue;
    v->SetValue(Value);
    Add(std::move(v));
}

void TscScript::AddConst(const QString& Name, const QString& TypeName, const Variant& Value)
{
    TscType type;
    TypeOf(TypeName, type, true);
    auto v = std::make_unique<TscVariable>(Name, type);
    v->SetValue(Value);
    v->SetIsReadOnly(true);
    Add(std::move(v));
}

void TscScript::AddObject(const QString& Name, QObject* Obj)
{
    const QString className
        = Obj ? QString::fromLatin1(Obj->metaObject()->className()) : QStringLiteral("TObject");
    AddVariable(Name, className, Variant::Object(Obj));
}

TscClassVariable* TscScript::AddClass(const QString& Name, const QString& ParentName)
{
    return Add(std::make_unique<TscClassVariable>(Name, ParentName));
}

void TscScript::ClearItems(const void* Owner)
{
    FItems.erase(
        std::remove_if(FItems.begin(), FItems.end(), [Owner](const auto& p) { return p->Owner() == Owner; }),
        FItems.end());
}

void TscScript::Clear()
{
    ClearItems(&FCompileTag);
    FMainBody.reset();
    FLines.clear();
}

void TscScript::SetError(const QString& Msg, const QString& Pos)
{
    FErrorMsg = Msg;
    FErrorPos = Pos;
}

bool TscScript::Compile()
{
    FErrorMsg.clear();
    FErrorPos.clear();
    TscILParser parser(FExtendedCharset);
    if (!parser.MakeILScript(FLines, FSyntaxType)) {
        SetError(parser.ErrorMsg(), parser.ErrorPos());
        return false;
    }
    // Everything this attempt adds carries its own tag until it succeeds.
    int attempt = 0;
    const void* savedTag = FAddedBy;
    FAddedBy = &attempt;
    std::unique_ptr<TscCompoundStmt> body;
    try {
        TscILCompiler compiler(this, parser);
        body = compiler.Build();
    } catch (const EscError& e) {
        FAddedBy = savedTag;
        ClearItems(&attempt);
        SetError(e.Message(), e.Pos());
        return false;
    } catch (const EVariantError& e) {
        FAddedBy = savedTag;
        ClearItems(&attempt);
        SetError(e.Message(), QString());
        return false;
    }
    FAddedBy = savedTag;
    for (auto& item : FItems)
        if (item->Owner() == &attempt)
            item->SetOwner(&FCompileTag);
    FMainBody = std::move(body);
    return true;
}

bool TscScript::Execute()
{
    FErrorMsg.clear();
    try {
        if (FMainBody)
            FMainBody->Execute();
    } catch (const EscError& e) {
        SetError(e.Message(), e.Pos());
        return false;
    } catch (const EVariantError& e) {
        SetError(e.Message(), QString());
        return false;
    }
    return true;
}

// ---- host functions from syntax lines ----------------------------------------

namespace {

// Reads `= default`: a number, a string, a negative number, or the name of a
// known constant or variable whose current value is taken.
bool ReadDefault(TscParser& p, const TscScript& script, Variant& value)
{
    p.SkipSpaces();
    bool negative = false;
    const int start = p.Position();
    if (p.GetChar() == QLatin1String("-")) {
        negative = true;
        p.SkipSpaces();
    } else {
        p.SetPosition(start);
    }
    const QString number = p.GetNumber();
    if (!number.isEmpty()) {
        if (!Variant::TextToNumber(number, value))
            return false;
        if (negative)
            value = Variant::Negate(value);
        return true;
    }
    if (negative)
        return false;
    const QString str = p.GetString();
    if (!str.isEmpty()) {
        value = Variant(str.mid(1, str.size() - 2));
        return true;
    }
    const QString word = p.GetWord();
    if (TscCustomVariable* v = word.isEmpty() ? nullptr : script.Find(word)) {
        value = v->Value();
        return true;
    }
    return false;
}

} // namespace

TscMethodHelper* TscScript::AddMethod(
    const QString& Syntax, TscCallMethodEvent CallEvent, const QString& Category, const QString& Description)
{
    TscParser p;
    p.SetText(Syntax);
    p.SkipSpaces();
    QString word = p.GetWord();
    bool macro = false;
    if (word.startsWith(QLatin1String("macro"), Qt::CaseInsensitive)) {
        macro = true;
        word = word.mid(5);
    }
    const bool isFunc = word.compare(QLatin1String("function"), Qt::CaseInsensitive) == 0;
    if (!isFunc && word.compare(QLatin1String("procedure"), Qt::CaseInsensitive) != 0)
        return nullptr;
    p.SkipSpaces();
    const QString name = p.GetWord();
    if (name.isEmpty())
        return nullptr;

    struct Param {
        QString name, typeName;
        bool isVar;
        Variant def;
        bool hasDef;
    };
    std::vector<Param> params;
    p.SkipSpaces();
    int afterName = p.Position();
    if (p.GetChar() == QLatin1String("(")) {
        for (;;) {
            p.SkipSpaces();
            int mark = p.Position();
            QString w = p.GetWord();
            bool isVar = false;
            if (w.compare(QLatin1String("var"), Qt::CaseInsensitive) == 0)
                isVar = true;
            else if (w.compare(QLatin1String("const"), Qt::CaseInsensitive) != 0)
                p.SetPosition(mark);
            QStringList names;
            for (;;) {
                p.SkipSpaces();
                const QString n = p.GetWord();
                if (n.isEmpty())
                    return nullptr;
                names.append(n);
                p.SkipSpaces();
                mark = p.Position();
                if (p.GetChar() != QLatin1String(",")) {
                    p.SetPosition(mark);
                    break;
                }
            }
            if (p.GetChar() != QLatin1String(":"))
                return nullptr;
            p.SkipSpaces();
            const QString typeName = p.GetWord();
            if (typeName.isEmpty())
                return nullptr;
            p.SkipSpaces();
            mark = p.Position();
            Variant def;
            bool hasDef = false;
            if (p.GetChar() == QLatin1String("=")) {
                if (!ReadDefault(p, *this, def))
                    return nullptr;
                hasDef = true;
            } else {
                p.SetPosition(mark);
            }
            for (int i = 0; i < names.size(); ++i) {
                const bool last = i == names.size() - 1;
                params.push_back({ names[i], typeName, isVar, last ? def : Variant(), last && hasDef });
            }
            p.SkipSpaces();
            const QString sep = p.GetChar();
            if (sep == QLatin1String(")"))
                break;
            if (sep != QLatin1String(";"))
                return nullptr;
        }
    } else {
        p.SetPosition(afterName);
    }

    TscType resultType { fvtVariant, {} };
    if (isFunc) {
        // the identifier after the last ":" of the line
        const int colon = static_cast<int>(Syntax.lastIndexOf(QLatin1Char(':')));
        if (colon < 0)
            return nullptr;
        TscParser r;
        r.SetText(Syntax.mid(colon + 1));
        r.SkipSpaces();
        const QString typeName = r.GetWord();
        if (typeName.isEmpty())
            return nullptr;
        TypeOf(typeName, resultType, true);
    }

    auto helper = std::make_unique<TscMethodHelper>(name, resultType, isFunc, macro, std::move(CallEvent));
    helper->Category = Category;
    helper->Description = Description;
    helper->Syntax = Syntax;
    for (const Param& prm : params) {
        TscType t;
        TypeOf(prm.typeName, t, true);
        const bool optional = prm.hasDef && !prm.def.IsNull();
        helper->AddParam(std::make_unique<TscParamItem>(prm.name, t, prm.isVar, optional, prm.def));
    }
    return Add(std::move(helper));
}
