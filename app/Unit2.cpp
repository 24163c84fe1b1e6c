// The car-list editor: a fixed 185 x 179 window with the text area Memo1 (one
// car name per line) and the save button BitBtn1.
// Invariants: the editor never changes the entry combo or the file except by
// a save; a save replaces the combo's list before it writes the file, so when
// the write fails the combo already holds the new list and the editor stays
// open with the saved lines; the close box only hides the window, and the
// next opening refills the text, so unsaved edits are dropped.
#include "Unit2.h"

#include "ErrorBox.h"
#include "MessageBoxes.h"
#include "Services.h"

#include <QComboBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSet>
#include <QTextBlock>

#include <algorithm>

namespace {

// The order of a sorted car list: letters compared without regard to case,
// names equal but for case ordered by their exact text so the order is total.
bool CarNameLess(const QString& a, const QString& b)
{
    const int folded = QString::compare(a, b, Qt::CaseInsensitive);
    return folded != 0 ? folded < 0 : QString::compare(a, b, Qt::CaseSensitive) < 0;
}

} // namespace

TForm2::TForm2(TServices& services, QComboBox& entryCombo, QString carListPath)
    : FServices(services)
    , FEntryCombo(entryCombo)
    , FCarListPath(std::move(carListPath))
{
    setObjectName(QStringLiteral("Form2"));
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint
        | Qt::WindowCloseButtonHint);
    setWindowTitle(QString());
    QFont font;
    font.setFamilies({ QStringLiteral("Tahoma"), QStringLiteral("Liberation Sans") });
    font.setPixelSize(11);
    setFont(font);
    setFixedSize(185, 179);

    Memo1 = new QPlainTextEdit(this);
    Memo1->setObjectName(QStringLiteral("Memo1"));
    Memo1->setGeometry(0, 0, 185, 129);
    Memo1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    Memo1->setLineWrapMode(QPlainTextEdit::NoWrap);
    Memo1->setTabChangesFocus(true);

    BitBtn1 = new QPushButton(QStringLiteral("Сохранить"), this);
    BitBtn1->setObjectName(QStringLiteral("BitBtn1"));
    BitBtn1->setGeometry(56, 136, 75, 25);
    setTabOrder(Memo1, BitBtn1);

    connect(BitBtn1, &QPushButton::clicked, this, [this] {
        try {
            BitBtn1Click();
        } catch (const std::exception& error) {
            ReportError(error);
        }
    });
}

QStringList TForm2::Lines() const
{
    QStringList lines;
    // Block by block: the raw text of each line, with no character replaced.
    for (QTextBlock block = Memo1->document()->begin(); block.isValid(); block = block.next())
        lines << block.text();
    if (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast();
    return lines;
}

void TForm2::SetLines(const QStringList& lines, TTextEncoding encoding, bool damaged)
{
    QString text;
    for (const QString& line : lines)
        text += line + QLatin1Char('\n');
    Memo1->setPlainText(text);
    FEncoding = encoding;
    FDamaged = damaged;
}

void TForm2::BitBtn1Click()
{
    const QStringList lines = Lines();
    QStringList names;
    QSet<QString> seen;
    for (const QString& line : lines) {
        if (!seen.contains(line)) {
            seen.insert(line);
            names << line;
        }
    }
    if (names.size() < lines.size())
        ShowInformation(*FServices.Dialogs, QStringLiteral("Повторяющиеся строки удалены!"));
    names.removeIf([](const QString& name) { return name.isEmpty(); });
    SetLines(names, FEncoding, FDamaged);

    // The chosen car stays chosen when it is still in the list.
    const QString chosen = FEntryCombo.currentIndex() >= 0 ? FEntryCombo.currentText() : QString();
    std::stable_sort(names.begin(), names.end(), CarNameLess);
    FEntryCombo.clear();
    FEntryCombo.addItems(names);
    SetCarListEncoding(FEntryCombo, FEncoding);
    FEntryCombo.setCurrentIndex(
        chosen.isEmpty() ? -1 : FEntryCombo.findText(chosen, Qt::MatchExactly | Qt::MatchCaseSensitive));

    // A list its 8-bit character set cannot hold is written in UTF-8 instead.
    FEncoding = WriteCarList(FCarListPath, { ComboItems(FEntryCombo), FEncoding, FDamaged });
    FDamaged = false;
    SetCarListEncoding(FEntryCombo, FEncoding);
    SetCarListDamaged(FEntryCombo, false);
    hide();
}

void TForm2::ReportError(const std::exception& error)
{
    ShowErrorBox(*FServices.Dialogs, error);
}
