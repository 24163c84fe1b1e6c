// The Page Settings dialog. Lengths are kept in millimetres on the page and
// shown in the units read from the report's settings store (centimetres or
// inches); paper names and sizes come from the current printer.
#include "rpPreviewPageSettings.h"

#include "PelmoraError.h"
#include "rpClass.h"
#include "rpPrinter.h"
#include "rpRes.h"

#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPainter>
#include <QPixmap>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QSettings>

#include <cmath>

namespace {

QString Res(int Number)
{
    return TrpResources::Instance().Get(Number);
}

QLabel* MakeLabel(const QString& Text, QWidget* Parent, int X, int Y)
{
    auto* label = new QLabel(Text, Parent);
    label->move(X, Y);
    label->adjustSize();
    return label;
}

QLineEdit* MakeEdit(QWidget* Parent, int X, int Y, int W)
{
    auto* edit = new QLineEdit(Parent);
    edit->setGeometry(X, Y, W, 21);
    return edit;
}

// A small sheet, upright or lying, with a folded corner.
QPixmap Sheet(int W, int H)
{
    QPixmap pixmap(W, H);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setPen(Qt::black);
    p.setBrush(Qt::white);
    const QPoint outline[] = { { 0, 0 }, { W - 8, 0 }, { W - 1, 7 }, { W - 1, H - 1 }, { 0, H - 1 } };
    p.drawPolygon(outline, 5);
    p.drawLine(W - 8, 0, W - 8, 7);
    p.drawLine(W - 8, 7, W - 1, 7);
    return pixmap;
}

} // namespace

std::unique_ptr<QSettings> rpOpenSettingsStore(const QString& IniFile)
{
    const QString prefix = QStringLiteral("\\Software\\");
    if (IniFile.startsWith(prefix, Qt::CaseInsensitive)) {
        QString name = IniFile.mid(prefix.size());
        name.replace(u'\\', u'/');
        return std::make_unique<QSettings>(QSettings::IniFormat, QSettings::UserScope, name);
    }
    return std::make_unique<QSettings>(IniFile, QSettings::IniFormat);
}

TrpPageSettingsForm::TrpPageSettingsForm(QWidget* Parent)
    : QDialog(Parent)
{
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowCloseButtonHint);
    QFont font(QStringLiteral("Tahoma"));
    font.setPointSize(8);
    setFont(font);
    setWindowTitle(Res(400));
    setFixedSize(286, 359);

    SizeL = new QGroupBox(Res(403), this);
    SizeL->setGeometry(4, 4, 277, 101);
    SizeCB = new QComboBox(SizeL);
    SizeCB->setGeometry(8, 18, 261, 21);
    WidthL = MakeLabel(Res(401), SizeL, 8, 48);
    WidthE = MakeEdit(SizeL, 64, 46, 45);
    UnitL1 = MakeLabel(QString(), SizeL, 112, 48);
    HeightL = MakeLabel(Res(402), SizeL, 8, 72);
    HeightE = MakeEdit(SizeL, 64, 70, 45);
    UnitL2 = MakeLabel(QString(), SizeL, 112, 72);

    OrientationL = new QGroupBox(Res(404), this);
    OrientationL->setGeometry(4, 108, 277, 65);
    PortraitRB = new QRadioButton(Res(410), OrientationL);
    PortraitRB->setGeometry(8, 20, 109, 17);
    LandscapeRB = new QRadioButton(Res(411), OrientationL);
    LandscapeRB->setGeometry(8, 40, 109, 17);
    PortraitImg = new QLabel(OrientationL);
    PortraitImg->setGeometry(148, 21, 26, 32);
    PortraitImg->setPixmap(Sheet(26, 32));
    LandscapeImg = new QLabel(OrientationL);
    LandscapeImg->setGeometry(145, 25, 32, 26);
    LandscapeImg->setPixmap(Sheet(32, 26));

    MarginsL = new QGroupBox(Res(409), this);
    MarginsL->setGeometry(4, 176, 277, 73);
    LeftL = MakeLabel(Res(405), MarginsL, 8, 20);
    MarginLeftE = MakeEdit(MarginsL, 64, 18, 40);
    UnitL3 = MakeLabel(QString(), MarginsL, 108, 20);
    TopL = MakeLabel(Res(406), MarginsL, 8, 44);
    MarginTopE = MakeEdit(MarginsL, 64, 42, 40);
    UnitL4 = MakeLabel(QString(), MarginsL, 108, 44);
    RightL = MakeLabel(Res(407), MarginsL, 156, 20);
    MarginRightE = MakeEdit(MarginsL, 212, 18, 40);
    UnitL5 = MakeLabel(QString(), MarginsL, 256, 20);
    BottomL = MakeLabel(Res(408), MarginsL, 156, 44);
    MarginBottomE = MakeEdit(MarginsL, 212, 42, 40);
    UnitL6 = MakeLabel(QString(), MarginsL, 256, 44);

    OtherL = new QGroupBox(Res(412), this);
    OtherL->setGeometry(4, 252, 277, 65);
    ApplyToCurRB = new QRadioButton(Res(413), OtherL);
    ApplyToCurRB->setGeometry(8, 20, 261, 17);
    ApplyToCurRB->setChecked(true);
    ApplyToAllRB = new QRadioButton(Res(414), OtherL);
    ApplyToAllRB->setGeometry(8, 40, 261, 17);

    OKB = new QPushButton(Res(1), this);
    OKB->setGeometry(126, 328, 75, 25);
    OKB->setDefault(true);
    CancelB = new QPushButton(Res(2), this);
    CancelB->setGeometry(206, 328, 75, 25);
    connect(OKB, &QPushButton::clicked, this, &QDialog::accept);
    connect(CancelB, &QPushButton::clicked, this, &QDialog::reject);

    connect(SizeCB, &QComboBox::activated, this, [this] { PaperChanged(); });
    connect(PortraitRB, &QRadioButton::clicked, this, [this] { PaperChanged(); });
    connect(LandscapeRB, &QRadioButton::clicked, this, [this] { PaperChanged(); });
    connect(WidthE, &QLineEdit::textEdited, this, [this] { SizeEdited(); });
    connect(HeightE, &QLineEdit::textEdited, this, [this] { SizeEdited(); });
}

TrpPageSettingsForm::~TrpPageSettingsForm() = default;

bool TrpPageSettingsForm::NeedRebuild() const
{
    return ApplyToAllRB->isChecked();
}

QString TrpPageSettingsForm::MMToText(Extended MM) const
{
    const double value = double(FUnits == duInches ? MM / 25.4L : MM / 10);
    // Whole numbers without decimals, others with two.
    if (std::abs(value - std::round(value)) < 1e-9)
        return QString::number(std::llround(value));
    return QLocale().toString(value, 'f', 2);
}

Extended TrpPageSettingsForm::TextToMM(const QString& Text) const
{
    QString t = Text;
    t.remove(u' ');
    t.replace(u',', u'.');
    bool ok = false;
    const double value = t.toDouble(&ok);
    if (!ok || !std::isfinite(value))
        throw EConvertError(QStringLiteral("'%1' is not a valid floating point value").arg(Text));
    return FUnits == duInches ? Extended(value) * 25.4L : Extended(value) * 10;
}

void TrpPageSettingsForm::showEvent(QShowEvent* Event)
{
    QDialog::showEvent(Event);
    if (const QScreen* screen = this->screen())
        move(screen->availableGeometry().center() - rect().center());
    FillControls();
}

void TrpPageSettingsForm::FillControls()
{
    if (!FPage)
        return;
    FUpdating = true;
    int units = 0;
    if (FReport)
        units = rpOpenSettingsStore(FReport->IniFile())
                    ->value(QStringLiteral("Form5.TrpDesignerForm/Units"), 0)
                    .toInt();
    QString label;
    if (units >= 0 && units <= 3) {
        FUnits = TrpDesignerUnits(units);
        label = rpGet(FUnits == duInches ? QStringLiteral("uInch") : QStringLiteral("uCm"));
    } else {
        FUnits = duCM;
    }
    for (QLabel* unit : { UnitL1, UnitL2, UnitL3, UnitL4, UnitL5, UnitL6 }) {
        unit->setText(label);
        unit->adjustSize();
    }

    TrpCustomPrinter* printer = rpPrinters().Printer();
    SizeCB->clear();
    for (const TrpDeviceEntry& paper : printer->Papers())
        SizeCB->addItem(paper.Name, paper.Number);
    const int at = printer->PaperIndex(FPage->PaperSize());
    SizeCB->setCurrentIndex(at >= 0 ? at : 0);

    WidthE->setText(MMToText(FPage->PaperWidth()));
    HeightE->setText(MMToText(FPage->PaperHeight()));
    PortraitRB->setChecked(FPage->Orientation() == poPortrait);
    LandscapeRB->setChecked(FPage->Orientation() == poLandscape);
    MarginLeftE->setText(MMToText(FPage->LeftMargin()));
    MarginTopE->setText(MMToText(FPage->TopMargin()));
    MarginRightE->setText(MMToText(FPage->RightMargin()));
    MarginBottomE->setText(MMToText(FPage->BottomMargin()));
    UpdateImages();
    FUpdating = false;
}

void TrpPageSettingsForm::UpdateImages()
{
    PortraitImg->setVisible(PortraitRB->isChecked());
    LandscapeImg->setVisible(!PortraitRB->isChecked());
}

void TrpPageSettingsForm::PaperChanged()
{
    UpdateImages();
    if (FUpdating)
        return;
    FUpdating = true;
    TrpCustomPrinter* printer = rpPrinters().Printer();
    const int number = printer->PaperNameToNumber(SizeCB->currentText());
    Extended width = 0, height = 0;
    try {
        width = TextToMM(WidthE->text());
        height = TextToMM(HeightE->text());
    } catch (const EConvertError&) {
        // A size being typed is taken up again on OK.
    }
    const TrpPrinterOrientation orientation = PortraitRB->isChecked() ? poPortrait : poLandscape;
    // The custom sheet is passed turned, so that each switch of the
    // orientation turns it.
    if (number == 256)
        printer->SetViewParams(number, height, width, orientation);
    else
        printer->SetViewParams(number, width, height, orientation);
    WidthE->setText(MMToText(printer->PaperWidth()));
    HeightE->setText(MMToText(printer->PaperHeight()));
    FUpdating = false;
}

void TrpPageSettingsForm::SizeEdited()
{
    if (!FUpdating && SizeCB->count() > 0)
        SizeCB->setCurrentIndex(0);
}

void TrpPageSettingsForm::ApplyToPage()
{
    if (!FPage)
        return;
    const Extended width = TextToMM(WidthE->text());
    const Extended height = TextToMM(HeightE->text());
    const Extended left = TextToMM(MarginLeftE->text());
    const Extended right = TextToMM(MarginRightE->text());
    const Extended top = TextToMM(MarginTopE->text());
    const Extended bottom = TextToMM(MarginBottomE->text());
    const int paper = rpPrinters().Printer()->PaperNameToNumber(SizeCB->currentText());
    FPage->SetOrientation(PortraitRB->isChecked() ? poPortrait : poLandscape);
    FPage->SetPaperWidth(width);
    FPage->SetPaperHeight(height);
    FPage->SetPaperSize(paper);
    FPage->SetLeftMargin(left);
    FPage->SetRightMargin(right);
    FPage->SetTopMargin(top);
    FPage->SetBottomMargin(bottom);
    FPage->AlignChildren();
}
