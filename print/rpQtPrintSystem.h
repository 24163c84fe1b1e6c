// The printing services of the program: the CUPS printers that Qt
// PrintSupport sees, followed by a printer that writes PDF files.
#pragma once

#include "rpPrintSystem.h"

class TrpQtPrintSystem : public TrpPrintSystem {
public:
    // Name of the PDF file printer, offered after the installed printers.
    static QString PdfPrinterName() { return QStringLiteral("PDF File"); }

    std::vector<TrpPrinterEntry> EnumPrinters() override;
    QString DefaultPrinter() override;
    std::unique_ptr<TrpPrintDevice> OpenPrinter(const QString& Name) override;
};
