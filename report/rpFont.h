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

    // Initial values, which are also the declared defaults of the stored form.
    static int SizeDefault() { return 10; }
    static TrpColor ColorDefault() { return clBlack; }
    static TrpFontStyles StyleDefault() { return {}; }
    static int CharsetDefault() { return 1; } // the default character set

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
    int FSize = SizeDefault();
    TrpColor FColor = ColorDefault();
    TrpFontStyles FStyle = StyleDefault();
    int FCharset = CharsetDefault();
    int FPixelsPerInch = 96;
};
