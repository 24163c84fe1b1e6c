// The main window's bootstrap: FormCreate (settings file, first-run
// dialogue, car list, stored database path, opening the expense table,
// dates, first total), FormShow and the path button SpeedButton1Click.
//
// Settings file "pelmora.ini", section Settings:
//   Check  "0" once a first-run choice has completed; missing or non-zero
//          means the first-run dialogue is pending. Never written as "1".
//   Path   the database file, as the file dialog returned it.
// Invariants: Check and Path are written only after the choice they record
// has completed (a cancelled or failed first run leaves the file as it was);
// Edit1 always shows the path the table is opened from; every "exit" is
// TerminateSelf followed by a return, so no later step runs even where the
// process service returns (as its test double does by throwing).
#include "Unit1.h"

#include "CarListFile.h"
#include "DbConnection.h"
#include "ExpenseDatabase.h"
#include "MessageBoxes.h"
#include "PrivateProfile.h"
#include "Services.h"

#include <QComboBox>
#include <QDateEdit>
#include <QFileInfo>
#include <QLineEdit>

namespace {

const QString SettingsSection = QStringLiteral("Settings");
const QString CheckKey = QStringLiteral("Check");
const QString PathKey = QStringLiteral("Path");

// An INI value read as a whole number, as the settings file's integer keys
// are: decimal or "0x"/"$" hexadecimal; anything else gives defaultValue.
int IniInteger(const QString& text, int defaultValue)
{
    QString digits = text;
    int base = 10;
    if (digits.startsWith(QLatin1String("0x"), Qt::CaseInsensitive) && digits.size() > 2) {
        digits = digits.mid(2);
        base = 16;
    } else if (digits.startsWith(QLatin1Char('$'))) {
        digits = digits.mid(1);
        base = 16;
    }
    bool ok = false;
    const int value = digits.toInt(&ok, base);
    return ok ? value : defaultValue;
}

// The file's extension from the last "." after the last separator, dot
// included; empty when there is none.
QString ExtractFileExt(const QString& fileName)
{
    const qsizetype dot = fileName.lastIndexOf(QLatin1Char('.'));
    const qsizetype separator
        = std::max(fileName.lastIndexOf(QLatin1Char('/')), fileName.lastIndexOf(QLatin1Char(':')));
    return dot > separator ? fileName.mid(dot) : QString();
}

TFileDialogRequest DatabaseFileDialog(TFileDialogKind kind, const QString& initialFile)
{
    TFileDialogRequest request;
    request.Kind = kind;
    request.FilterDescription = QStringLiteral("*.mdb");
    request.FilterPattern = QStringLiteral("*.mdb");
    request.DefaultExt = QStringLiteral("mdb");
    request.InitialFile = initialFile;
    if (kind == TFileDialogKind::Open) {
        request.HideReadOnly = true;
        request.FileMustExist = true;
    }
    request.Resizable = true;
    request.OverwritePrompt = false;
    return request;
}

} // namespace

QString TForm1::SettingsFileName() const
{
    return FServices.Process->ProgramDir() + QStringLiteral("pelmora.ini");
}

QString TForm1::CarListPath() const
{
    return FServices.Process->ProgramDir() + CarListFileName;
}

std::optional<QString> TForm1::ExecuteOpenDialog1()
{
    std::optional<QString> chosen
        = FServices.Dialogs->FileDialog(DatabaseFileDialog(TFileDialogKind::Open, OpenDialog1FileName));
    if (chosen)
        OpenDialog1FileName = *chosen;
    return chosen;
}

std::optional<QString> TForm1::ExecuteSaveDialog1()
{
    return FServices.Dialogs->FileDialog(DatabaseFileDialog(TFileDialogKind::Save, QString()));
}

void TForm1::FormCreate()
{
    FDBGrid1OnMouseWheel = [this](Qt::KeyboardModifiers shift, int delta, QPoint pos, bool& handled) {
        DBGrid1MouseWheel(shift, delta, pos, handled);
    };
    SetHeight(CollapsedHeight);

    const QString ini = SettingsFileName();
    bool firstRunPending = true;
    if (QFileInfo::exists(ini))
        firstRunPending
            = IniInteger(GetPrivateProfileString(SettingsSection, CheckKey, QString(), ini), 1) != 0;
    if (firstRunPending) {
        const TMsgResult answer = AskFirstRun(*FServices.Dialogs,
            QStringLiteral(
                "Перед первым запуском программы необходимо создать БД (Yes - создать новую базу, No - "
                "указать путь к базе)"));
        if (answer == TMsgResult::Yes) {
            const std::optional<QString> file = ExecuteSaveDialog1();
            if (!file) {
                FServices.Process->TerminateSelf();
                return;
            }
            CreateDatabaseFile(
                *file); // its error is deliberately dropped: the next step reports what matters
            TDbConnection ADOConnection1;
            ADOConnection1.Open(*file);
            ADOConnection1.Execute(ExpenseCreateTableSql());
            ADOConnection1.Close();
            WritePrivateProfileString(SettingsSection, CheckKey, QStringLiteral("0"), ini);
            WritePrivateProfileString(SettingsSection, PathKey, *file, ini);
            ShowInformation(*FServices.Dialogs, QStringLiteral("Готово"));
        } else if (answer == TMsgResult::No) {
            const std::optional<QString> file = ExecuteOpenDialog1();
            if (!file) {
                FServices.Process->TerminateSelf();
                return;
            }
            if (ExtractFileExt(*file) != QLatin1String(".mdb")) {
                ShowInformation(*FServices.Dialogs,
                    QStringLiteral("Расширение файла БД должно быть *.mdb! Выход из программы"));
                FServices.Process->TerminateSelf();
                return;
            }
            WritePrivateProfileString(SettingsSection, CheckKey, QStringLiteral("0"), ini);
            WritePrivateProfileString(SettingsSection, PathKey, *file, ini);
        } else {
            FServices.Process->TerminateSelf();
            return;
        }
    }

    EnsureCarListFile(CarListPath());
    LoadCarList();

    Edit1->setText(GetPrivateProfileString(SettingsSection, PathKey, QString(), ini));
    if (!QFileInfo(Edit1->text()).isFile()) {
        ShowInformation(*FServices.Dialogs, QStringLiteral("Файл БД не найден. Укажите новый путь к БД!"));
        if (const std::optional<QString> file = ExecuteOpenDialog1())
            Edit1->setText(*file);
        // The dialog's file name is stored even when the user cancelled it.
        WritePrivateProfileString(SettingsSection, PathKey, OpenDialog1FileName, ini);
    }

    ReopenTable();
    SetColumnWidths();
    const QDate today = FServices.Calendar->Today();
    for (QDateEdit* picker : { DateTimePicker1, DateTimePicker2, DateTimePicker3 })
        picker->setDate(today);
    CalcTotal();
}

void TForm1::LoadCarList()
{
    // A list without a mark that is no text in the locale's character set was
    // written by an older version in the user's 8-bit code page.
    const TCarList cars = ReadCarList(CarListPath(), LegacyEncoding(FServices.Calendar->Locale()));
    ComboBox1->clear();
    ComboBox1->addItems(cars.Names);
    SetCarListEncoding(*ComboBox1, cars.Encoding);
    SetCarListDamaged(*ComboBox1, cars.Damaged);
    ComboBox2->clear();
    ComboBox2->addItems(cars.Names);
    ComboBox1->setCurrentIndex(-1);
    ComboBox2->setCurrentIndex(-1);
}

void TForm1::FormShow()
{
    if (!Edit1->text().isEmpty())
        return;
    ShowInformation(*FServices.Dialogs, QStringLiteral("Необходимо указать путь к базе!"));
    SpeedButton1Click();
}

void TForm1::SpeedButton1Click()
{
    const std::optional<QString> file = ExecuteOpenDialog1();
    if (!file)
        return;
    Edit1->setText(*file);
    WritePrivateProfileString(SettingsSection, PathKey, Edit1->text(), SettingsFileName());
    ReopenTable();
    CalcTotal();
}
