// The print dialog: printer, pages, copies, order, duplex and print mode
// for one print job. It writes its choices into the print options only on
// OK; the job puts them back afterwards.
#pragma once

#include "rpPrintOptions.h"
#include "rpTypes.h"

#include <QDialog>

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QSpinBox;
class TDialogService;
class TrpReport;

class TrpPrintDialog : public QDialog {
public:
    // Options must outlive the dialog; Dialogs answers the file question of
    // "Print to file".
    TrpPrintDialog(TrpReport* Report, TrpPrintOptions& Options, TrpDuplexMode Duplex, int CurPreviewPage,
        TDialogService& Dialogs, QWidget* Parent = nullptr);
    ~TrpPrintDialog() override;

    TrpDuplexMode Duplex() const { return FDuplex; }

    // Controls, named as the dialog's design names them.
    QGroupBox* Label12;
    QLabel* NameL;
    QComboBox* PrintersCB;
    QPushButton* PropButton;
    QLabel* WhereL;
    QLabel* WhereL1;
    QCheckBox* FileCB;
    QGroupBox* Label1;
    QRadioButton* AllRB;
    QRadioButton* CurPageRB;
    QRadioButton* PageNumbersRB;
    QLineEdit* PageNumbersE;
    QLabel* DescrL;
    QGroupBox* Label2;
    QLabel* CopiesL;
    QSpinBox* CopiesE;
    QCheckBox* CollateCB;
    QLabel* CopiesPB;
    QGroupBox* OtherGB;
    QLabel* PrintL;
    QComboBox* PrintPagesCB;
    QLabel* OrderL;
    QComboBox* OrderCB;
    QLabel* DuplexL;
    QComboBox* DuplexCB;
    QGroupBox* ScaleGB;
    QComboBox* PrintModeCB;
    QLabel* PagSizeL;
    QComboBox* PagPageSizeCB;
    QPushButton* OkB;
    QPushButton* CancelB;

    void PrintersCBClick();
    void PropButtonClick();
    void PrintModeCBClick();
    void CollateCBClick();
    // OK: asks for the output file when "Print to file" is checked (its
    // cancel cancels the dialog), then writes the choices into the options.
    void OkBClick();
    void CancelBClick();
    void reject() override;

protected:
    void keyPressEvent(QKeyEvent* Event) override;
    bool eventFilter(QObject* Watched, QEvent* Event) override;

private:
    void FillSheets();
    void PaintCopies();

    TrpReport* FReport;
    TrpPrintOptions& FOptions;
    TrpDuplexMode FDuplex;
    int FCurPreviewPage;
    TDialogService& FDialogs;
    int FOldIndex = 0;
};

// Runs the dialog modally; true on OK, with Options and Duplex updated.
bool rpShowPrintDialog(TrpReport* Report, TrpPrintOptions& Options, TrpDuplexMode& Duplex, int CurPreviewPage,
    TDialogService& Dialogs);
