// The language registry and the grammar interpreter (MakeILScript).
//
// A language definition is an XML text read through the item model; its
// rule elements are turned once per language into a TscGrammar (item kinds
// and attributes decoded, rule names resolved) so that parsing never rescans
// attribute texts. Parsing walks the rules over a TscParser and emits IL
// lines (open, leaf, close) into a buffer that a failing item truncates
// again; the lines of a successful parse become the IL document:
//
//   <program>
//     <function pos="1:1"><name text="rpf0" pos=".."/><type text="Variant"/>
//       <compoundstmt> <assignstmt> <dsgn><node text="Result"/></dsgn>
//         <expr pos="1:38" pos1="1:47"> <number text="1"/> <op text="+"/> ...
//     <compoundstmt/>
//     <types>...</types>
//   </program>
//
// Invariants: only the first recorded error is kept; a failing item leaves
// the reading position and the emitted lines as they were before it; item
// nesting never exceeds scMaxParseDepth.

#include "sc_iilparser.h"

#include "rpXML.h"
#include "sc_ierrors.h"

#include <QBuffer>
#include <QFile>
#include <QMap>

static void InitScriptResources()
{
    Q_INIT_RESOURCE(pelmora_script);
}

struct TscGrammarItem {
    enum TKind {
        gkChar,
        gkKeyword,
        gkIdent,
        gkNumber,
        gkString,
        gkRpString,
        gkEol,
        gkSequence,
        gkSwitch,
        gkOptionalSwitch,
        gkLoop,
        gkOptionalLoop,
        gkOptional,
        gkRule,
        gkInvalid,
    };
    TKind Kind = gkSequence;
    QString Text; // token to match (keywords in upper case unless case sensitive), or loop separator
    QString Add, AddText, Node;
    bool HasAddText = false;
    QString Err; // message text; empty when the item records none
    bool Term = false;
    int Skip = -1; // -1 unset, 0, 1
    int Rule = -1; // index of the called rule
    std::vector<TscGrammarItem> Children;
};

struct TscGrammar {
    QString IdentChars, CommentLine1, CommentLine2, CommentBlock1, CommentBlock2, HexSequence, SkipChar;
    QString StringQuotes = QStringLiteral("'");
    bool SpecStrChar = false, SkipEOL = true, CaseSensitive = false;
    QStringList Keywords;
    QHash<QString, QString> TypeAliases;
    QStringList TypeAliasOrder;
    std::vector<TscGrammarItem> Rules; // a rule is a sequence with the rule's own attributes
    int ProgramRule = -1;
    QString Error; // set when the definition cannot be used
};

// ---- the registry -------------------------------------------------------------

namespace {

struct LanguageEntry {
    QString Text;
    std::shared_ptr<const TscGrammar> Grammar; // built on first use
};

QMap<QString, LanguageEntry>& Registry()
{
    static QMap<QString, LanguageEntry> registry = [] {
        InitScriptResources();
        QMap<QString, LanguageEntry> r;
        QFile f(QStringLiteral(":/languages/PascalScript.xml"));
        if (f.open(QIODevice::ReadOnly))
            r.insert(QStringLiteral("PascalScript"), { QString::fromUtf8(f.readAll()), nullptr });
        return r;
    }();
    return registry;
}

} // namespace

void scRegisterLanguage(const QString& Name, const QString& Definition)
{
    Registry()[Name] = { Definition, nullptr };
}

QStringList scLanguageNames()
{
    return Registry().keys();
}

bool scLanguageText(const QString& Name, QString& Definition)
{
    auto it = Registry().constFind(Name);
    if (it == Registry().constEnd())
        return false;
    Definition = it->Text;
    return true;
}

// ---- reading a definition into a grammar ---------------------------------------

namespace {

bool TokenKind(const QString& name, TscGrammarItem::TKind& kind)
{
    static const QHash<QString, TscGrammarItem::TKind> kinds {
        { QStringLiteral("char"), TscGrammarItem::gkChar },
        { QStringLiteral("keyword"), TscGrammarItem::gkKeyword },
        { QStringLiteral("ident"), TscGrammarItem::gkIdent },
        { QStringLiteral("number"), TscGrammarItem::gkNumber },
        { QStringLiteral("string"), TscGrammarItem::gkString },
        { QStringLiteral("rpstring"), TscGrammarItem::gkRpString },
        { QStringLiteral("eol"), TscGrammarItem::gkEol },
        { QStringLiteral("sequence"), TscGrammarItem::gkSequence },
        { QStringLiteral("switch"), TscGrammarItem::gkSwitch },
        { QStringLiteral("optionalswitch"), TscGrammarItem::gkOptionalSwitch },
        { QStringLiteral("loop"), TscGrammarItem::gkLoop },
        { QStringLiteral("optionalloop"), TscGrammarItem::gkOptionalLoop },
        { QStringLiteral("optional"), TscGrammarItem::gkOptional },
    };
    auto it = kinds.constFind(name.toLower());
    if (it == kinds.constEnd())
        return false;
    kind = *it;
    return true;
}

class GrammarBuilder {
public:
    GrammarBuilder(TscGrammar& g, const TrpXMLItem* errors)
        : G(g)
    {
        if (errors)
            for (int i = 0; i < errors->Count(); ++i)
                Errors.insert(
                    errors->Items(i)->Name().toLower(), errors->Items(i)->Prop(QStringLiteral("text")));
    }

    void ReadAttributes(const TrpXMLItem* x, TscGrammarItem& item)
    {
        item.Text = x->Prop(QStringLiteral("text"));
        item.Add = x->Prop(QStringLiteral("add"));
        item.HasAddText = x->PropExists(QStringLiteral("addtext"));
        item.AddText = x->Prop(QStringLiteral("addtext"));
        item.Node = x->Prop(QStringLiteral("node"));
        const QString err = x->Prop(QStringLiteral("err")).toLower();
        if (!err.isEmpty()) {
            const QString key = err.startsWith(QLatin1String("err")) ? err : QStringLiteral("err") + err;
            item.Err = Errors.value(key, err);
        }
        item.Term = x->Prop(QStringLiteral("term")) == QLatin1String("1");
        const QString skip = x->Prop(QStringLiteral("skip"));
        item.Skip = skip.isEmpty() ? -1 : (skip == QLatin1String("0") ? 0 : 1);
    }

    // Items and their children; rule calls are resolved after all rules are known.
    TscGrammarItem Read(const TrpXMLItem* x, int depth)
    {
        TscGrammarItem item;
        ReadAttributes(x, item);
        if (depth > 64) {
            item.Kind = TscGrammarItem::gkInvalid;
            return item;
        }
        if (!TokenKind(x->Name(), item.Kind)) {
            item.Kind = TscGrammarItem::gkRule;
            Calls.push_back(x->Name().toLower());
            item.Rule = -1 - static_cast<int>(Calls.size() - 1); // resolved later
        }
        if (item.Kind == TscGrammarItem::gkKeyword && !G.CaseSensitive)
            item.Text = item.Text.toUpper();
        for (int i = 0; i < x->Count(); ++i)
            item.Children.push_back(Read(x->Items(i), depth + 1));
        return item;
    }

    void Resolve(TscGrammarItem& item)
    {
        if (item.Kind == TscGrammarItem::gkRule && item.Rule < 0) {
            const QString& name = Calls[static_cast<size_t>(-1 - item.Rule)];
            auto it = RuleIndex.constFind(name);
            if (it == RuleIndex.constEnd()) {
                item.Kind = TscGrammarItem::gkInvalid;
                item.Rule = -1;
            } else {
                item.Rule = *it;
            }
        }
        for (auto& c : item.Children)
            Resolve(c);
    }

    TscGrammar& G;
    QHash<QString, QString> Errors;
    QHash<QString, int> RuleIndex;
    std::vector<QString> Calls;
};

std::shared_ptr<const TscGrammar> BuildGrammar(const QString& definition)
{
    auto g = std::make_shared<TscGrammar>();
    TrpXMLDocument doc;
    try {
        QByteArray bytes = definition.toUtf8();
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::ReadOnly);
        doc.LoadFromStream(buffer);
    } catch (const std::exception&) {
        g->Error = scMessage(TscMessage::SInvalidLanguage);
        return g;
    }
    const TrpXMLItem* root = doc.Root();
    auto setting = [](const TrpXMLItem* parser, const char* name) {
        const int i = parser ? parser->Find(QLatin1String(name)) : -1;
        return i < 0 ? QString() : parser->Items(i)->Prop(QStringLiteral("text"));
    };
    auto child = [root](const char* name) -> const TrpXMLItem* {
        const int i = root->Find(QLatin1String(name));
        return i < 0 ? nullptr : root->Items(i);
    };
    const TrpXMLItem* parser = child("parser");
    g->IdentChars = setting(parser, "identchars");
    g->CommentLine1 = setting(parser, "commentline1");
    g->CommentLine2 = setting(parser, "commentline2");
    g->CommentBlock1 = setting(parser, "commentblock1");
    g->CommentBlock2 = setting(parser, "commentblock2");
    if (parser && parser->Find(QStringLiteral("stringquotes")) >= 0)
        g->StringQuotes = setting(parser, "stringquotes");
    g->HexSequence = setting(parser, "hexsequence");
    g->SpecStrChar = setting(parser, "specstrchar") == QLatin1String("1");
    g->SkipEOL = setting(parser, "skipeol") != QLatin1String("0");
    g->SkipChar = setting(parser, "skipchar");
    g->CaseSensitive = setting(parser, "casesensitive") == QLatin1String("1");
    if (const TrpXMLItem* keywords = child("keywords"))
        for (int i = 0; i < keywords->Count(); ++i)
            g->Keywords.append(keywords->Items(i)->Name());
    g->Keywords = TscParser::SortKeywords(g->Keywords, g->CaseSensitive);
    if (const TrpXMLItem* types = child("types")) {
        for (int i = 0; i < types->Count(); ++i) {
            const TrpXMLItem* t = types->Items(i);
            g->TypeAliases.insert(t->Name().toUpper(), t->Prop(QStringLiteral("type")));
            g->TypeAliasOrder.append(t->Name());
        }
    }

    GrammarBuilder b(*g, child("errors"));
    static const QStringList notRules { QStringLiteral("parser"), QStringLiteral("keywords"),
        QStringLiteral("errors"), QStringLiteral("types") };
    for (int i = 0; i < root->Count(); ++i) {
        const TrpXMLItem* x = root->Items(i);
        if (notRules.contains(x->Name(), Qt::CaseInsensitive))
            continue;
        // a rule matches its children in order, like a sequence
        TscGrammarItem rule;
        b.ReadAttributes(x, rule);
        rule.Kind = TscGrammarItem::gkSequence;
        for (int j = 0; j < x->Count(); ++j)
            rule.Children.push_back(b.Read(x->Items(j), 1));
        b.RuleIndex.insert(x->Name().toLower(), static_cast<int>(g->Rules.size()));
        g->Rules.push_back(std::move(rule));
    }
    for (auto& r : g->Rules)
        b.Resolve(r);
    g->ProgramRule = b.RuleIndex.value(QStringLiteral("program"), -1);
    if (g->ProgramRule < 0)
        g->Error = scMessage(TscMessage::SInvalidLanguage);
    return g;
}

std::shared_ptr<const TscGrammar> GrammarOf(const QString& name)
{
    auto it = Registry().find(name);
    if (it == Registry().end())
        return nullptr;
    if (!it->Grammar)
        it->Grammar = BuildGrammar(it->Text);
    return it->Grammar;
}

} // namespace

// ---- the grammar interpreter -----------------------------------------------------

namespace {

struct TscILLine {
    enum TType { Open, Leaf, Close };
    TType Type;
    QString Name;
    QString Text;
    int Pos = -1;
    int Pos1 = -1; // expr wrappers: just after their last token
};

class TscILBuilder {
public:
    TscILBuilder(const TscGrammar& g, TscParser& p)
        : G(g)
        , P(p)
    {
    }

    bool Run()
    {
        const bool ok = Match(G.Rules[static_cast<size_t>(G.ProgramRule)]);
        return ok && FErrorMsg.isEmpty();
    }

    QString FErrorMsg;
    int FErrorPos = -1;
    std::vector<TscILLine> Lines;

private:
    int AfterSpaces(int from)
    {
        const int saved = P.Position();
        P.SetPosition(from);
        P.SkipSpaces();
        const int p = P.Position();
        P.SetPosition(saved);
        return p;
    }

    void Truncate(size_t mark)
    {
        Lines.erase(Lines.begin() + static_cast<std::ptrdiff_t>(mark), Lines.end());
    }

    void Record(const QString& message, int pos, bool term)
    {
        if (!FErrorMsg.isEmpty())
            return;
        FErrorMsg = message;
        FErrorPos = pos;
        FErrorTerm = term;
    }

    bool MatchAll(const std::vector<TscGrammarItem>& children)
    {
        for (const auto& c : children)
            if (!Match(c))
                return false;
        return true;
    }

    bool MatchToken(const TscGrammarItem& item, QString& token, int& tokStart)
    {
        if (!(item.Kind == TscGrammarItem::gkChar && item.Skip == 0))
            P.SkipSpaces();
        tokStart = P.Position();
        const QString& text = P.Text();
        switch (item.Kind) {
        case TscGrammarItem::gkChar: {
            if (!item.Text.isEmpty() && text.at(tokStart) != item.Text.at(0))
                return false;
            if (!P.IsPunctuation(tokStart))
                return false;
            P.SetPosition(tokStart + 1);
            if (!item.Add.isEmpty() && !item.HasAddText)
                token = text.at(tokStart);
            return true;
        }
        case TscGrammarItem::gkKeyword:
        case TscGrammarItem::gkIdent: {
            // backtracking reads the same word again and again: remember the last one
            if (tokStart != FWordPos) {
                FWordPos = tokStart;
                FWordEnd = P.WordEnd(tokStart);
                FWordIsKeyword = FWordEnd > tokStart
                    && P.IsKeyword(QStringView(text).mid(tokStart, FWordEnd - tokStart));
            }
            const int end = FWordEnd;
            if (end == tokStart)
                return false;
            const QStringView word = QStringView(text).mid(tokStart, end - tokStart);
            if (item.Kind == TscGrammarItem::gkIdent && FWordIsKeyword)
                return false;
            if (!item.Text.isEmpty()
                && word.compare(item.Text, G.CaseSensitive ? Qt::CaseSensitive : Qt::CaseInsensitive) != 0)
                return false;
            P.SetPosition(end);
            if (!item.Add.isEmpty() && !item.HasAddText)
                token = word.toString();
            return true;
        }
        case TscGrammarItem::gkNumber:
            token = P.GetNumber();
            break;
        case TscGrammarItem::gkString:
            token = P.GetString();
            break;
        case TscGrammarItem::gkRpString:
            token = P.GetRpString();
            if (token.isEmpty())
                return false;
            // a reference is a call of Get with its text as a string
            Lines.push_back({ TscILLine::Open, QStringLiteral("dsgn"), QString(), tokStart });
            Lines.push_back({ TscILLine::Leaf, QStringLiteral("node"), QStringLiteral("Get"), tokStart });
            Lines.push_back({ TscILLine::Open, QStringLiteral("expr"), QString(), tokStart, P.Position() });
            Lines.push_back({ TscILLine::Leaf, QStringLiteral("string"),
                QLatin1Char('\'') + token + QLatin1Char('\''), tokStart });
            Lines.push_back({ TscILLine::Close, QString(), QString() });
            Lines.push_back({ TscILLine::Close, QString(), QString() });
            return true;
        case TscGrammarItem::gkEol:
            return P.GetEOL();
        default:
            return false;
        }
        if (token.isEmpty())
            return false;
        if (!item.Text.isEmpty()
            && token.compare(item.Text, G.CaseSensitive ? Qt::CaseSensitive : Qt::CaseInsensitive) != 0)
            return false;
        return true;
    }

    bool MatchLoop(const TscGrammarItem& item, int start, size_t mark)
    {
        int rounds = 0;
        int lastGood = start;
        size_t lastMark = mark;
        for (;;) {
            ++rounds;
            const int roundStart = P.Position();
            const bool hadError = !FErrorMsg.isEmpty();
            if (!MatchAll(item.Children)) {
                if (FAbort)
                    return false;
                if (rounds > 1) {
                    P.SetPosition(lastGood);
                    Truncate(lastMark);
                    // an error of the last, incomplete round does not count
                    if (!hadError && !FErrorMsg.isEmpty() && (item.Skip == 1 || FErrorTerm)) {
                        FErrorMsg.clear();
                        FErrorPos = -1;
                    }
                    return true;
                }
                if (item.Kind == TscGrammarItem::gkOptionalLoop) {
                    P.SetPosition(start);
                    Truncate(mark);
                    return true;
                }
                return false;
            }
            lastGood = P.Position();
            lastMark = Lines.size();
            if (P.Position() == roundStart)
                return true; // a round that consumed nothing ends the loop
            if (!item.Text.isEmpty()) {
                P.SkipSpaces();
                if (!P.Text().mid(P.Position(), item.Text.size()).startsWith(item.Text) || P.AtEnd()) {
                    P.SetPosition(lastGood);
                    return true;
                }
                P.SetPosition(P.Position() + static_cast<int>(item.Text.size()));
            }
        }
    }

    bool Match(const TscGrammarItem& item)
    {
        if (FAbort)
            return false;
        if (FDepth >= scMaxParseDepth) {
            FErrorMsg = scMessage(TscMessage::SExprTooComplex);
            FErrorPos = P.Position();
            FAbort = true;
            return false;
        }
        ++FDepth;
        const int start = P.Position();
        const size_t mark = Lines.size();
        QString token;
        int tokStart = -1;
        bool ok = false;
        switch (item.Kind) {
        case TscGrammarItem::gkChar:
        case TscGrammarItem::gkKeyword:
        case TscGrammarItem::gkIdent:
        case TscGrammarItem::gkNumber:
        case TscGrammarItem::gkString:
        case TscGrammarItem::gkRpString:
        case TscGrammarItem::gkEol:
            ok = MatchToken(item, token, tokStart);
            break;
        case TscGrammarItem::gkSequence:
            ok = MatchAll(item.Children);
            break;
        case TscGrammarItem::gkRule:
            ok = Match(G.Rules[static_cast<size_t>(item.Rule)]);
            break;
        case TscGrammarItem::gkSwitch:
        case TscGrammarItem::gkOptionalSwitch:
            for (const auto& c : item.Children) {
                if (Match(c)) {
                    ok = true;
                    break;
                }
            }
            if (item.Kind == TscGrammarItem::gkOptionalSwitch)
                ok = true;
            break;
        case TscGrammarItem::gkOptional:
            ok = true;
            if (!MatchAll(item.Children)) {
                P.SetPosition(start);
                Truncate(mark);
            }
            break;
        case TscGrammarItem::gkLoop:
        case TscGrammarItem::gkOptionalLoop:
            ok = MatchLoop(item, start, mark);
            break;
        case TscGrammarItem::gkInvalid:
            Record(scMessage(TscMessage::SInvalidLanguage), start, false);
            FErrorMsg = scMessage(TscMessage::SInvalidLanguage);
            FAbort = true;
            break;
        }
        if (FAbort)
            ok = false;
        if (ok) {
            if (!item.Add.isEmpty())
                Lines.push_back({ TscILLine::Leaf, item.Add, item.HasAddText ? item.AddText : token,
                    tokStart >= 0 ? tokStart : AfterSpaces(start) });
            if (!item.Node.isEmpty()) {
                const bool expr = item.Node == QLatin1String("expr");
                Lines.insert(Lines.begin() + static_cast<std::ptrdiff_t>(mark),
                    { TscILLine::Open, item.Node, QString(), AfterSpaces(start), expr ? P.Position() : -1 });
                Lines.push_back({ TscILLine::Close, QString(), QString() });
            }
        } else {
            P.SetPosition(start);
            Truncate(mark);
            if (!item.Err.isEmpty() && FErrorMsg.isEmpty())
                Record(item.Err,
                    item.Kind == TscGrammarItem::gkChar && item.Skip == 0 ? start : AfterSpaces(start),
                    item.Term);
        }
        --FDepth;
        return ok;
    }

    const TscGrammar& G;
    TscParser& P;
    int FDepth = 0;
    int FWordPos = -1, FWordEnd = -1; // the last word looked at
    bool FWordIsKeyword = false;
    bool FAbort = false;
    bool FErrorTerm = false;
};

} // namespace

TscILParser::TscILParser(bool ExtendedCharset)
    : FExtendedCharset(ExtendedCharset)
{
}

TscILParser::~TscILParser() = default;

const QHash<QString, QString>& TscILParser::TypeAliases() const
{
    static const QHash<QString, QString> none;
    return FGrammar ? FGrammar->TypeAliases : none;
}

bool TscILParser::MakeILScript(const QString& Text, const QString& Language)
{
    FErrorMsg.clear();
    FErrorPos.clear();
    FILScript.reset();

    QString language = Language;
    int startPos = 0;
    if (Text.startsWith(QLatin1Char('#'))) {
        TscParser probe;
        probe.SetText(Text);
        probe.SetPosition(1);
        if (probe.GetWord().compare(QLatin1String("language"), Qt::CaseInsensitive) == 0) {
            int eol = static_cast<int>(Text.indexOf(QLatin1Char('\n')));
            if (eol < 0)
                eol = static_cast<int>(Text.size());
            language = Text.mid(probe.Position(), eol - probe.Position()).trimmed();
            startPos = std::min(eol + 1, static_cast<int>(Text.size()));
        }
    }

    FGrammar = GrammarOf(language);
    if (!FGrammar) {
        FErrorMsg = scMessage(TscMessage::SLangNotFound).replace(QLatin1String("%s"), language);
        return false;
    }
    if (!FGrammar->Error.isEmpty()) {
        FErrorMsg = FGrammar->Error;
        return false;
    }
    FParser.IdentChars = FGrammar->IdentChars;
    FParser.CommentLine1 = FGrammar->CommentLine1;
    FParser.CommentLine2 = FGrammar->CommentLine2;
    FParser.CommentBlock1 = FGrammar->CommentBlock1;
    FParser.CommentBlock2 = FGrammar->CommentBlock2;
    FParser.StringQuotes = FGrammar->StringQuotes;
    FParser.HexSequence = FGrammar->HexSequence;
    FParser.SpecStrChar = FGrammar->SpecStrChar;
    FParser.SkipEOL = FGrammar->SkipEOL;
    FParser.SkipChar = FGrammar->SkipChar;
    FParser.CaseSensitive = FGrammar->CaseSensitive;
    FParser.ExtendedCharset = FExtendedCharset;
    FParser.SetSortedKeywords(FGrammar->Keywords);
    FParser.SetText(Text);
    FParser.SetPosition(startPos);

    TscILBuilder builder(*FGrammar, FParser);
    if (!builder.Run()) {
        FErrorMsg = builder.FErrorMsg.isEmpty() ? scMessage(TscMessage::SInvalidLanguage) : builder.FErrorMsg;
        FErrorPos = FParser.PositionText(builder.FErrorPos >= 0 ? builder.FErrorPos : FParser.Position());
        return false;
    }

    FILScript = std::make_unique<TrpXMLDocument>();
    TrpXMLItem* cur = FILScript->Root();
    cur->SetName(QStringLiteral("program"));
    QString attributes;
    for (const TscILLine& line : builder.Lines) {
        if (line.Type == TscILLine::Close) {
            cur = cur->Parent();
            continue;
        }
        TrpXMLItem* x = cur->Add(line.Name);
        // a fresh item: its attribute text is written in one go
        attributes.clear();
        if (line.Type == TscILLine::Leaf)
            attributes += QStringLiteral(" text=\"") + rpStrToXML(line.Text) + QLatin1Char('"');
        attributes += QStringLiteral(" pos=\"") + FParser.PositionText(line.Pos) + QLatin1Char('"');
        if (line.Pos1 >= 0)
            attributes += QStringLiteral(" pos1=\"") + FParser.PositionText(line.Pos1) + QLatin1Char('"');
        x->SetText(attributes);
        if (line.Type == TscILLine::Open)
            cur = x;
    }
    TrpXMLItem* types = FILScript->Root()->Add(QStringLiteral("types"));
    for (const QString& alias : FGrammar->TypeAliasOrder)
        types->Add(alias)->SetProp(QStringLiteral("type"), FGrammar->TypeAliases.value(alias.toUpper()));
    return true;
}
