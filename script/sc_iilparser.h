#pragma once

// The language registry and the grammar interpreter that turns source text
// into the IL document (an XML item tree) by a language definition's rules.

#include "sc_iparser.h"

#include <QHash>
#include <QString>
#include <QStringList>
#include <memory>
#include <vector>

class TrpXMLDocument;
struct TscGrammar;

// Process-wide registry of language definitions (name = XML text). It starts
// with "PascalScript"; registering an existing name replaces its text.
void scRegisterLanguage(const QString& Name, const QString& Definition);
QStringList scLanguageNames();
// The definition text; false for an unknown name.
bool scLanguageText(const QString& Name, QString& Definition);

class TscILParser {
public:
    explicit TscILParser(bool ExtendedCharset = false);
    ~TscILParser();

    // Parses Text in the named language (a first line "#language Name"
    // chooses another). On failure ErrorMsg is the first recorded error and
    // ErrorPos its position text.
    bool MakeILScript(const QString& Text, const QString& Language);

    TrpXMLDocument* ILScript() const { return FILScript.get(); }
    const QString& ErrorMsg() const { return FErrorMsg; }
    const QString& ErrorPos() const { return FErrorPos; }
    // The lexer over the parsed text: position texts convert back through it.
    const TscParser& Parser() const { return FParser; }
    // Type aliases of the language (alias in upper case -> type name).
    const QHash<QString, QString>& TypeAliases() const;

private:
    bool FExtendedCharset;
    TscParser FParser;
    std::shared_ptr<const TscGrammar> FGrammar;
    std::unique_ptr<TrpXMLDocument> FILScript;
    QString FErrorMsg, FErrorPos;
};

// Nesting of grammar items accepted while parsing, so that deeply nested
// brackets end in an error rather than exhausting the stack.
constexpr int scMaxParseDepth = 1500;
