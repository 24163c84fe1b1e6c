#pragma once

// The lexer of the script engine: reads tokens of a language definition's
// lexical settings from a source text. Positions are indexes into the text
// (0-based); position texts are "line:column", both counted from 1.

#include <QString>
#include <QStringList>
#include <vector>

class TscParser {
public:
    TscParser();

    // Lexer settings of the language (the definition's parser element).
    QString IdentChars;
    QString CommentLine1, CommentLine2;
    QString CommentBlock1, CommentBlock2; // "opener,closer"
    QString StringQuotes = QStringLiteral("'");
    QString HexSequence = QStringLiteral("$");
    bool SpecStrChar = false; // backslash escapes in strings
    bool SkipEOL = true; // false: line ends are tokens
    QString SkipChar; // line continuation
    bool CaseSensitive = false; // keywords
    bool ExtendedCharset = false;
    void SetKeywords(const QStringList& keywords);
    // Takes a list already ordered by SortKeywords (a language keeps one).
    void SetSortedKeywords(const QStringList& keywords) { FKeywords = keywords; }
    static QStringList SortKeywords(QStringList keywords, bool caseSensitive);
    // Whether the character at pos is one a char item reads.
    bool IsPunctuation(int pos) const;
    bool IsKeyword(QStringView word) const;
    // End of the identifier-shaped word starting at pos (pos itself when none).
    int WordEnd(int pos) const;

    void SetText(const QString& text);
    const QString& Text() const { return FText; }
    int Position() const { return FPosition; }
    void SetPosition(int position) { FPosition = position; }
    bool AtEnd() const { return FPosition >= FLength; }

    void SkipSpaces();
    // Each reader skips nothing itself (callers skip spaces first), consumes
    // the token and returns its text, or returns an empty text and leaves the
    // position where it was.
    QString GetIdent(); // an identifier that is not a keyword
    QString GetWord(); // any identifier-shaped word, keywords included
    QString GetChar(); // one punctuation character
    QString GetNumber();
    QString GetString(); // the value between one pair of quote characters
    QString GetRpString(); // after "<": the text up to the matching ">"
    bool GetEOL();

    QString PositionText(int position) const;
    int PositionOf(const QString& positionText) const; // -1 when malformed

private:
    bool IsIdentStart(QChar c) const;
    bool IsIdentChar(QChar c) const;
    bool SkipComment();
    QChar At(int i) const { return FText.at(i); } // FText ends with a NUL
    bool Matches(int pos, const QString& what) const;
    QString ReadUnsigned(int& pos) const;

    QString FText; // source followed by a NUL
    int FLength = 0; // source length without the NUL
    int FPosition = 0;
    std::vector<int> FLineStarts; // index of the first character of every line
    QStringList FKeywords; // sorted; upper case unless case sensitive
    QStringList FBlockOpen, FBlockClose;
    QString FCommentStarts; // first characters of the comment openers
};
