#include "rpPrintDialog.h"

#include "DialogService.h"
#include "rpPrinter.h"
#include "rpRes.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDesktopServices>
#include <QFileInfo>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QSpinBox>
#include <QUrl>

namespace {
constexpr int A4Paper = 9;

// String-table texts: a leading "!" is not shown.
QString Text(const QString& Key)
{
    QString s = rpGet(Key);
    if (s.startsWith(QLatin1Char('!')))
        s.remove(0, 1);
    return s;
}

QString Text(int Id)
{
    return Text(QString::number(Id));
}

// Splits "Printer file (*.prn)|*.prn" into description and pattern.
std::pair<QString, QString> Filter(const QString& Text)
{
    const qsizetype bar = Text.indexOf(QLatin1Char('|'));
    if (bar < 0)
        return { Text, QString() };
    return { Text.left(bar), Text.mid(bar + 1) };
}
} // namespace

TrpPrintDialog::TrpPrintDialog(TrpReport* Report, TrpPrintOptions& Options, TrpDuplexMode Duplex,
    int CurPreviewPage, TDialogService& Dialogs, QWidget* Parent)
    : QDialog(Parent)
    , FReport(Report)
    , FOptions(Options)
    , FDuplex(Duplex)
    , FCurPreviewPage(CurPreviewPage)
    , FDialogs(Dialogs)
{
    QFont font(QStringLiteral("Tahoma"));
    font.setPointSize(8);
    setFont(font);
    setWindowTitle(Text(200));
    setFixedSize(557, 333);
    if (QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());

    Label12 = new QGroupBox(Text(201), this);
    Label12->setGeometry(8, 4, 541, 105);
    NameL = new QLabel(Text(212), Label12);
    NameL->setGeometry(12, 24, 60, 16);
    PrintersCB = new QComboBox(Label12);
    PrintersCB->setGeometry(76, 20, 345, 22);
    PropButton = new QPushButton(Text(209), Label12);
    PropButton->setGeometry(431, 19, 97, 25);
    WhereL = new QLabel(Text(208), Label12);
    WhereL->setGeometry(12, 52, 60, 16);
    WhereL1 = new QLabel(Label12);
    WhereL1->setGeometry(76, 52, 345, 16);
    FileCB = new QCheckBox(Text(210), Label12);
    FileCB->setGeometry(431, 74, 105, 17);

    Label1 = new QGroupBox(Text(202), this);
    Label1->setGeometry(8, 112, 261, 137);
    AllRB = new QRadioButton(Text(3), Label1);
    AllRB->setGeometry(12, 20, 150, 17);
    AllRB->setChecked(true);
    CurPageRB = new QRadioButton(Text(4), Label1);
    CurPageRB->setGeometry(12, 42, 150, 17);
    PageNumbersRB = new QRadioButton(Text(5), Label1);
    PageNumbersRB->setGeometry(12, 64, 70, 17);
    PageNumbersE = new QLineEdit(Label1);
    PageNumbersE->setGeometry(84, 62, 165, 21);
    DescrL = new QLabel(Text(9), Label1);
    DescrL->setGeometry(12, 88, 237, 42);
    DescrL->setWordWrap(true);

    Label2 = new QGroupBox(Text(205), this);
    Label2->setGeometry(277, 112, 272, 137);
    CopiesL = new QLabel(Text(203), Label2);
    CopiesL->setGeometry(12, 24, 130, 16);
    CopiesE = new QSpinBox(Label2);
    CopiesE->setGeometry(150, 20, 61, 22);
    CopiesE->setRange(1, 1000);
    CollateCB = new QCheckBox(Text(204), Label2);
    CollateCB->setGeometry(150, 64, 110, 17);
    CollateCB->setChecked(true);
    CopiesPB = new QLabel(Label2);
    CopiesPB->setGeometry(12, 52, 120, 60);

    OtherGB = new QGroupBox(Text(207), this);
    OtherGB->setGeometry(8, 252, 261, 73);
    PrintL = new QLabel(Text(206), OtherGB);
    PrintL->setGeometry(8, 20, 40, 16);
    PrintPagesCB = new QComboBox(OtherGB);
    PrintPagesCB->setGeometry(50, 16, 85, 22);
    PrintPagesCB->addItems(
        { Text(QStringLiteral("ppAll")), Text(QStringLiteral("ppOdd")), Text(QStringLiteral("ppEven")) });
    OrderL = new QLabel(Text(211), OtherGB);
    OrderL->setGeometry(140, 20, 35, 16);
    OrderCB = new QComboBox(OtherGB);
    OrderCB->setGeometry(176, 16, 79, 22);
    OrderCB->addItems({ Text(QStringLiteral("poDirect")), Text(QStringLiteral("poReverse")) });
    DuplexL = new QLabel(Text(216), OtherGB);
    DuplexL->setGeometry(8, 46, 40, 16);
    DuplexCB = new QComboBox(OtherGB);
    DuplexCB->setGeometry(50, 42, 85, 22);
    DuplexCB->addItems({ Text(QStringLiteral("dupDefault")), Text(QStringLiteral("dupVert")),
        Text(QStringLiteral("dupHorz")), Text(QStringLiteral("dupSimpl")) });

    ScaleGB = new QGroupBox(Text(213), this);
    ScaleGB->setGeometry(277, 252, 272, 45);
    PrintModeCB = new QComboBox(ScaleGB);
    PrintModeCB->setGeometry(8, 16, 120, 22);
    PrintModeCB->addItems({ Text(QStringLiteral("pmDefault")), Text(QStringLiteral("pmSplit")),
        Text(QStringLiteral("pmJoin")), Text(QStringLiteral("pmScale")) });
    PagSizeL = new QLabel(Text(214), ScaleGB);
    PagSizeL->setGeometry(134, 2, 130, 14);
    PagPageSizeCB = new QComboBox(ScaleGB);
    PagPageSizeCB->setGeometry(134, 16, 130, 22);

    OkB = new QPushButton(Text(1), this);
    OkB->setGeometry(393, 302, 75, 25);
    OkB->setDefault(true);
    CancelB = new QPushButton(Text(2), this);
    CancelB->setGeometry(474, 302, 75, 25);

    // Creation: the printer list with the current printer chosen.
    TrpPrinters& printers = rpPrinters();
    PrintersCB->addItems(printers.Printers());
    FOldIndex = printers.PrinterIndex();
    PrintersCB->setCurrentIndex(FOldIndex);
    WhereL1->setText(printers.Printer()->Port());
    FillSheets();

    // Show: the options as they stand.
    CopiesE->setValue(std::clamp(FOptions.Copies, 1, 1000));
    CollateCB->setChecked(FOptions.Collate);
    PageNumbersE->setText(FOptions.PageNumbers);
    if (!FOptions.PageNumbers.isEmpty())
        PageNumbersRB->setChecked(true);
    PrintPagesCB->setCurrentIndex(int(FOptions.PrintPages));
    OrderCB->setCurrentIndex(FOptions.Reverse ? 1 : 0);
    PrintModeCB->setCurrentIndex(int(FOptions.PrintMode));
    DuplexCB->setCurrentIndex(int(FDuplex));
    PrintModeCBClick();
    if (FOptions.PrintMode != pmDefault) {
        const TrpCustomPrinter* printer = printers.Printer();
        const int at = printer->PaperIndex(FOptions.PrintOnSheet);
        if (at > 0)
            PagPageSizeCB->setCurrentText(printer->Papers()[size_t(at)].Name);
    }
    PaintCopies();

    connect(PrintersCB, &QComboBox::activated, this, [this] { PrintersCBClick(); });
    connect(PropButton, &QPushButton::clicked, this, [this] { PropButtonClick(); });
    connect(PrintModeCB, &QComboBox::activated, this, [this] { PrintModeCBClick(); });
    connect(CollateCB, &QCheckBox::toggled, this, [this] { CollateCBClick(); });
    connect(PageNumbersRB, &QRadioButton::clicked, this, [this] { PageNumbersE->setFocus(); });
    PageNumbersE->installEventFilter(this);
    connect(OkB, &QPushButton::clicked, this, [this] { OkBClick(); });
    connect(CancelB, &QPushButton::clicked, this, [this] { CancelBClick(); });
}

TrpPrintDialog::~TrpPrintDialog() = default;

bool TrpPrintDialog::eventFilter(QObject* Watched, QEvent* Event)
{
    if (Watched == PageNumbersE && Event->type() == QEvent::FocusIn)
        PageNumbersRB->setChecked(true);
    return QDialog::eventFilter(Watched, Event);
}

void TrpPrintDialog::keyPressEvent(QKeyEvent* Event)
{
    if (Event->key() == Qt::Key_F1) {
        const QString help = QCoreApplication::applicationDirPath() + QStringLiteral("/ReportUser.chm");
        if (QFileInfo::exists(help))
            QDesktopServices::openUrl(QUrl::fromLocalFile(help));
        return;
    }
    QDialog::keyPressEvent(Event);
}

void TrpPrintDialog::FillSheets()
{
    const QString chosen = PagPageSizeCB->currentText();
    PagPageSizeCB->clear();
    PagPageSizeCB->addItem(Text(QStringLiteral("pgDefault")));
    for (const TrpDeviceEntry& paper : rpPrinters().Printer()->Papers())
        if (paper.Number != rpCustomPaper && !paper.Name.isEmpty())
            PagPageSizeCB->addItem(paper.Name);
    const int at = chosen.isEmpty() ? -1 : PagPageSizeCB->findText(chosen);
    PagPageSizeCB->setCurrentIndex(std::max(0, at));
}

void TrpPrintDialog::PrintersCBClick()
{
    TrpPrinters& printers = rpPrinters();
    printers.SetPrinterIndex(PrintersCB->currentIndex());
    WhereL1->setText(printers.Printer()->Port());
    FillSheets();
}

void TrpPrintDialog::PropButtonClick()
{
    TrpCustomPrinter* printer = rpPrinters().Printer();
    printer->PropertiesDlg();
    switch (printer->Duplex()) {
    case 1:
        DuplexCB->setCurrentIndex(int(dmSimplex));
        break;
    case 2:
        DuplexCB->setCurrentIndex(int(dmVertical));
        break;
    case 3:
        DuplexCB->setCurrentIndex(int(dmHorizontal));
        break;
    default:
        break;
    }
}

void TrpPrintDialog::PrintModeCBClick()
{
    if (PrintModeCB->currentIndex() == int(pmDefault)) {
        PagPageSizeCB->setCurrentIndex(0);
        PagPageSizeCB->setEnabled(false);
        return;
    }
    PagPageSizeCB->setEnabled(true);
    if (PagPageSizeCB->currentIndex() == 0) {
        const TrpCustomPrinter* printer = rpPrinters().Printer();
        const int at = printer->PaperIndex(A4Paper);
        if (at > 0) {
            const int item = PagPageSizeCB->findText(printer->Papers()[size_t(at)].Name);
            if (item > 0)
                PagPageSizeCB->setCurrentIndex(item);
        }
    }
}

void TrpPrintDialog::CollateCBClick()
{
    PaintCopies();
}

// Two stacks of sheets: "1 2 3 | 1 2 3" collated, "1 1 | 2 2 | 3 3" not.
void TrpPrintDialog::PaintCopies()
{
    QPixmap pix(120, 60);
    pix.fill(palette().color(QPalette::Window));
    QPainter p(&pix);
    p.setFont(font());
    const bool collate = CollateCB->isChecked();
    const int order[2][6] = { { 1, 1, 2, 2, 3, 3 }, { 1, 2, 3, 1, 2, 3 } };
    for (int i = 0; i < 6; ++i) {
        const QRect sheet(4 + i * 18 + (i / 3) * 4, 8 + (i % 3) * 3, 16, 22);
        p.setPen(Qt::black);
        p.setBrush(Qt::white);
        p.drawRect(sheet);
        p.drawText(sheet, Qt::AlignCenter, QString::number(order[collate ? 1 : 0][i]));
    }
    p.end();
    CopiesPB->setPixmap(pix);
}

void TrpPrintDialog::OkBClick()
{
    TrpCustomPrinter* printer = rpPrinters().Printer();
    if (FileCB->isChecked()) {
        TFileDialogRequest request;
        request.Kind = TFileDialogKind::Save;
        request.Title = Text(507);
        const auto [description, pattern] = Filter(Text(510));
        request.FilterDescription = description;
        request.FilterPattern = pattern;
        request.DefaultExt = QStringLiteral("prn");
        const std::optional<QString> name = FDialogs.FileDialog(request);
        if (!name) {
            CancelBClick();
            return;
        }
        const QFileInfo info(*name);
        printer->SetFileName(
            info.path() + QLatin1Char('/') + info.completeBaseName() + QStringLiteral(".prn"));
    } else
        printer->SetFileName(QString());
    FOptions.Copies = CopiesE->value();
    FOptions.Collate = CollateCB->isChecked();
    if (AllRB->isChecked())
        FOptions.PageNumbers.clear();
    else if (CurPageRB->isChecked())
        FOptions.PageNumbers = QString::number(FCurPreviewPage);
    else
        FOptions.PageNumbers = PageNumbersE->text();
    FOptions.PrintPages = TrpPrintPages(PrintPagesCB->currentIndex());
    FDuplex = TrpDuplexMode(DuplexCB->currentIndex());
    FOptions.Reverse = OrderCB->currentIndex() == 1;
    FOptions.PrintMode = TrpPrintMode(PrintModeCB->currentIndex());
    FOptions.PrintOnSheet = PagPageSizeCB->currentIndex() <= 0
        ? rpCurrentSheetPaper
        : printer->PaperNameToNumber(PagPageSizeCB->currentText());
    accept();
}

void TrpPrintDialog::CancelBClick()
{
    reject();
}

void TrpPrintDialog::reject()
{
    // Cancel, Escape and the title bar all leave the printer as it was.
    TrpPrinters& printers = rpPrinters();
    if (printers.PrinterIndex() != FOldIndex)
        printers.SetPrinterIndex(FOldIndex);
    QDialog::reject();
}

bool rpShowPrintDialog(TrpReport* Report, TrpPrintOptions& Options, TrpDuplexMode& Duplex, int CurPreviewPage,
    TDialogService& Dialogs)
{
    TrpPrintDialog dialog(Report, Options, Duplex, CurPreviewPage, Dialogs, QApplication::activeWindow());
    if (dialog.exec() != QDialog::Accepted)
        return false;
    Duplex = dialog.Duplex();
    return true;
}
