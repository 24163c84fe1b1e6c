// The font record of report objects.
#pragma once

#include "rpFields.h"
#include "rpTypes.h"

#include <QString>
#include <functional>

class TrpFont : public TrpPersistent {
    RP_CLASS_INFO
public:
    // Default font of report objects: Arial 10, black, default character set.
    TrpFont() = default;
    TrpFont(const TrpFont& Other)
        : TrpPersistent()
    {
        Assign(Other);
    }
    TrpFont& operator=(const TrpFont& Other);
    void Assign(const TrpFont& Other);
    bool operator==(const TrpFont& Other) const;

    QString Name() const { return FName; }
    void SetName(const QString& Value);
    int Size() const { return FSize; } // points
    void SetSize(int Value);
    TrpColor Color() const { return FColor; }
    void SetColor(TrpColor Value);
    TrpFontStyles Style() const { return FStyle; }
    void SetStyle(TrpFontStyles Value);
    int Charset() const { return FCharset; }
    void SetCharset(int Value);
    int PixelsPerInch() const { return FPixelsPerInch; }
    // Called after every change; empty when nobody listens.
    std::function<void()> OnChange;

private:
    void Changed();
    QString FName = QStringLiteral("Arial");
    int FSize = 10;
    TrpColor FColor = clBlack;
    TrpFontStyles FStyle;
    int FCharset = 1; // the default character set
    int FPixelsPerInch = 96;
};
