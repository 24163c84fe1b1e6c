// Designators: checking arguments against parameters, evaluation item by
// item, writing back `var` parameters, and assignment.
//
// Invariants after Finalize: every call item has one ArgValues slot per
// parameter and a default for every slot its arguments do not fill, so a
// call never resizes anything; a `var` argument is an assignable designator.

#include "sc_idesignator.h"

#include "sc_ierrors.h"
#include "sc_iexpression.h"
#include "sc_ivariables.h"

TscDesignatorItem::TscDesignatorItem(TKind Kind, TscCustomVariable* Ref, const QString& Pos)
    : Kind(Kind)
    , Ref(Ref)
    , Pos(Pos)
{
    if (Ref)
        Type = Ref->Type();
}

TscDesignatorItem::~TscDesignatorItem() = default;

TscDesignator::TscDesignator() = default;

TscDesignator::~TscDesignator() = default;

TscDesignatorItem* TscDesignator::AddItem(std::unique_ptr<TscDesignatorItem> Item)
{
    FItems.push_back(std::move(Item));
    return FItems.back().get();
}

TscType TscDesignator::Type() const
{
    return FItems.empty() ? TscType { fvtVariant, {} } : FItems.back()->Type;
}

void TscDesignator::Finalize()
{
    for (auto& item : FItems) {
        TscCustomVariable* ref = item->Ref;
        if (!ref || (item->Kind != TscDesignatorItem::ikValue && item->Kind != TscDesignatorItem::ikCall))
            continue;
        if (ref->IsCallable())
            item->Kind = TscDesignatorItem::ikCall;
        const int given = static_cast<int>(item->Args.size());
        if (given < ref->RequiredCount())
            throw EscError(scMessage(TscMessage::SNotEnoughParams), item->Pos);
        if (given > ref->ParamCount())
            throw EscError(scMessage(TscMessage::STooManyParams), item->Pos);
        if (item->Kind != TscDesignatorItem::ikCall)
            continue;
        item->ArgValues.assign(static_cast<size_t>(ref->ParamCount()), Variant());
        item->Defaults.assign(static_cast<size_t>(ref->ParamCount()), Variant());
        for (int i = 0; i < ref->ParamCount(); ++i) {
            TscParamItem* p = ref->Params(i);
            if (i >= given) {
                item->Defaults[static_cast<size_t>(i)] = p->DefValue();
                continue;
            }
            TscExpression* arg = item->Args[static_cast<size_t>(i)].get();
            if (ref->IsMacro()) {
                item->Defaults[static_cast<size_t>(i)] = Variant(arg->Source.trimmed());
                continue;
            }
            const TscType target = p->Type();
            const TscType value = arg->Type();
            if (!scTypesCompatible(target, value) || (target.Typ == fvtInt && value.Typ == fvtFloat)) {
                throw EscError(scMessage(TscMessage::SIncompatibleTypes) + QStringLiteral(": '")
                        + scFullTypeName(target) + QStringLiteral("', '") + scFullTypeName(value)
                        + QLatin1Char('\''),
                    arg->Top() ? arg->Top()->Pos() : item->Pos);
            }
            if (p->IsVarParam()) {
                TscDesignator* d = arg->SingleDesignator();
                if (!d || !d->CanAssign())
                    throw EscError(
                        scMessage(TscMessage::SVarRequired), arg->Top() ? arg->Top()->Pos() : item->Pos);
                item->VarArgs.push_back(i);
            }
        }
    }
    FSingle = nullptr;
    if (FItems.size() == 1 && FItems[0]->Kind == TscDesignatorItem::ikValue && FItems[0]->Args.empty())
        FSingle = FItems[0]->Ref;
}

Variant TscDesignator::ItemValue(TscDesignatorItem* Item, const Variant& Prev)
{
    switch (Item->Kind) {
    case TscDesignatorItem::ikValue:
        return Item->Ref->Value();
    case TscDesignatorItem::ikCall: {
        const size_t given = Item->Args.size();
        const bool macro = Item->Ref->IsMacro();
        for (size_t i = 0; i < Item->ArgValues.size(); ++i)
            Item->ArgValues[i] = (i < given && !macro) ? Item->Args[i]->Value() : Item->Defaults[i];
        Variant result = Item->Ref->Call(nullptr, Item->ArgValues);
        for (int i : Item->VarArgs)
            Item->Args[static_cast<size_t>(i)]->SingleDesignator()->SetValue(
                Item->ArgValues[static_cast<size_t>(i)]);
        return result;
    }
    case TscDesignatorItem::ikStringIndex:
    case TscDesignatorItem::ikArrayIndex:
    case TscDesignatorItem::ikVariantIndex: {
        Variant cur = Prev;
        for (const auto& index : Item->Args) {
            const Variant i = index->Value();
            if (cur.IsString()) {
                const int n = i.AsInteger();
                const QString& s = cur.StringRef();
                // Out of range reads as empty text rather than failing the report.
                cur = (n >= 1 && n <= s.size()) ? Variant(QString(s.at(n - 1))) : Variant(QString());
            } else if (cur.IsArray()) {
                const int n = i.AsInteger();
                if (n < 0 || n >= cur.ArrayCount())
                    throw EVariantError(QStringLiteral("Variant or safe array index out of bounds"));
                cur = Variant(cur.ArrayItem(n));
            } else {
                throw EscError(scMessage(TscMessage::SArrayRequired), Item->Pos);
            }
        }
        return cur;
    }
    }
    return Variant();
}

Variant TscDesignator::Value()
{
    if (FSingle)
        return FSingle->Value();
    Variant cur;
    for (auto& item : FItems)
        cur = ItemValue(item.get(), cur);
    return cur;
}

bool TscDesignator::CanAssign() const
{
    if (FItems.empty())
        return false;
    TscDesignatorItem* first = FItems.front().get();
    const bool variable = first->Kind == TscDesignatorItem::ikValue && first->Args.empty() && first->Ref
        && !first->Ref->IsReadOnly() && !first->Ref->IsCallable();
    if (FItems.size() == 1)
        return variable;
    return variable && FItems.size() == 2 && FItems[1]->Kind == TscDesignatorItem::ikStringIndex
        && FItems[1]->Args.size() == 1;
}

void TscDesignator::SetValue(const Variant& Value)
{
    if (!CanAssign())
        throw EscError(
            scMessage(TscMessage::SLeftCantAssigned), FItems.empty() ? QString() : FItems.front()->Pos);
    TscCustomVariable* var = FItems.front()->Ref;
    if (FItems.size() == 1) {
        var->SetValue(Value);
        return;
    }
    // s[i] := c
    QString s = var->Value().AsString();
    const int n = FItems[1]->Args[0]->Value().AsInteger();
    const QString c = Value.AsString();
    if (n >= 1 && n <= s.size() && !c.isEmpty()) {
        s[n - 1] = c.at(0);
        var->SetValue(Variant(s));
    }
}
