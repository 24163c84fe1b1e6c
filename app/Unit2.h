// The car-list editor window. Created hidden at start-up and kept until the
// program ends; only shown and hidden.
#pragma once

#include "CarListFile.h"

#include <QWidget>

#include <exception>

class QComboBox;
class QPlainTextEdit;
class QPushButton;
struct TServices;

class TForm2 : public QWidget {
    Q_OBJECT
public:
    // entryCombo: the main window's car combo whose list is edited here;
    // carListPath: the file the list is saved to. services and entryCombo
    // must outlive the window.
    TForm2(TServices& services, QComboBox& entryCombo, QString carListPath);

    // The lines of Memo1 as a list of names: every line of the text, except
    // that an empty last line (after a final line break) does not count.
    QStringList Lines() const;
    // Replaces the text by lines, each ending in a line break, and takes over
    // the encoding the lines are to be saved in and whether they were read
    // damaged (see TCarList).
    void SetLines(const QStringList& lines, TTextEncoding encoding, bool damaged = false);
    TTextEncoding LinesEncoding() const { return FEncoding; }

    // Saves: drops repeated and then empty lines, replaces and sorts the entry
    // combo's list, writes the file, hides the window.
    void BitBtn1Click();

    QPlainTextEdit* Memo1 = nullptr;
    QPushButton* BitBtn1 = nullptr;

private:
    void ReportError(const std::exception& error);

    TServices& FServices;
    QComboBox& FEntryCombo;
    QString FCarListPath;
    TTextEncoding FEncoding = TTextEncoding::Ansi;
    bool FDamaged = false;
};
