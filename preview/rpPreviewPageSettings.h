// The Page Settings dialog of the preview: paper size, orientation and
// margins of one prepared page, and whether they go to that page only or to
// every template page (the report is then prepared again).
#pragma once

#include "rpTypes.h"

#include <QDialog>

#include <memory>

class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QSettings;
class QWidget;
class TrpReport;
class TrpReportPage;

enum TrpDesignerUnits { duCM, duInches, duPixels, duChars };

// The report's settings store: IniFile "\Software\Name" is the user's store
// named Name, anything else the INI file of that name. Both are read only.
std::unique_ptr<QSettings> rpOpenSettingsStore(const QString& IniFile);

class TrpPageSettingsForm : public QDialog {
    Q_OBJECT
public:
    explicit TrpPageSettingsForm(QWidget* Parent = nullptr);
    ~TrpPageSettingsForm() override;

    TrpReportPage* Page() const { return FPage; }
    void SetPage(TrpReportPage* Value) { FPage = Value; }
    TrpReport* Report() const { return FReport; }
    void SetReport(TrpReport* Value) { FReport = Value; }
    TrpDesignerUnits Units() const { return FUnits; }
    // "Apply to all pages" is checked.
    bool NeedRebuild() const;

    // Fills the controls from the page (done when the dialog shows).
    void FillControls();
    // Writes the dialog's values to the page. Every value is read first, so
    // an entry that is not a number raises EConvertError and changes nothing.
    void ApplyToPage();

    // A length in millimetres as the dialog shows it, and back.
    QString MMToText(Extended MM) const;
    Extended TextToMM(const QString& Text) const;

    QGroupBox* SizeL;
    QComboBox* SizeCB;
    QLabel* WidthL;
    QLineEdit* WidthE;
    QLabel* UnitL1;
    QLabel* HeightL;
    QLineEdit* HeightE;
    QLabel* UnitL2;
    QGroupBox* OrientationL;
    QRadioButton* PortraitRB;
    QRadioButton* LandscapeRB;
    QLabel* PortraitImg;
    QLabel* LandscapeImg;
    QGroupBox* MarginsL;
    QLabel* LeftL;
    QLineEdit* MarginLeftE;
    QLabel* UnitL3;
    QLabel* TopL;
    QLineEdit* MarginTopE;
    QLabel* UnitL4;
    QLabel* RightL;
    QLineEdit* MarginRightE;
    QLabel* UnitL5;
    QLabel* BottomL;
    QLineEdit* MarginBottomE;
    QLabel* UnitL6;
    QGroupBox* OtherL;
    QRadioButton* ApplyToCurRB;
    QRadioButton* ApplyToAllRB;
    QPushButton* OKB;
    QPushButton* CancelB;

protected:
    void showEvent(QShowEvent* Event) override;

private:
    // A paper was chosen or the orientation switched: the printer gives
    // the sheet's dimensions.
    void PaperChanged();
    void SizeEdited();
    void UpdateImages();

    TrpReportPage* FPage = nullptr;
    TrpReport* FReport = nullptr;
    TrpDesignerUnits FUnits = duCM;
    bool FUpdating = false;
};
