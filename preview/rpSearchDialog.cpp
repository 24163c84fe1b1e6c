// The Find Text dialog. Positions are the fixed layout of the window; the
// lower panel (options and buttons) sits below the text edit.
#include "rpSearchDialog.h"

#include "rpRes.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>

namespace {
QString Res(int Number)
{
    return TrpResources::Instance().Get(Number);
}
constexpr int LowerPanelTop = 48;
} // namespace

TrpSearchDialog::TrpSearchDialog(const QString& Text, QWidget* Parent)
    : QDialog(Parent)
{
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowCloseButtonHint);
    QFont font(QStringLiteral("Tahoma"));
    font.setPointSize(8);
    setFont(font);
    setWindowTitle(Res(300));

    TextL = new QLabel(Res(301), this);
    TextL->move(8, 4);
    TextL->adjustSize();
    TextE = new QLineEdit(Text, this);
    TextE->setGeometry(8, 20, 237, 21);

    ReplacePanel = new QWidget(this);
    ReplaceL = new QLabel(Res(303), ReplacePanel);
    ReplaceE = new QLineEdit(ReplacePanel);
    ReplacePanel->hide();

    QWidget* lower = new QWidget(this);
    lower->setGeometry(0, LowerPanelTop, 252, 104);
    SearchL = new QGroupBox(Res(302), lower);
    SearchL->setGeometry(8, 0, 237, 65);
    TopCB = new QCheckBox(Res(304), SearchL);
    TopCB->move(8, 20);
    TopCB->adjustSize();
    CaseCB = new QCheckBox(Res(305), SearchL);
    CaseCB->move(8, 40);
    CaseCB->adjustSize();
    OkB = new QPushButton(Res(1), lower);
    OkB->setGeometry(90, 76, 75, 25);
    OkB->setDefault(true);
    CancelB = new QPushButton(Res(2), lower);
    CancelB->setGeometry(170, 76, 75, 25);
    connect(OkB, &QPushButton::clicked, this, &QDialog::accept);
    connect(CancelB, &QPushButton::clicked, this, &QDialog::reject);

    setFixedSize(252, LowerPanelTop + 104 + 4);
}

void TrpSearchDialog::showEvent(QShowEvent* Event)
{
    QDialog::showEvent(Event);
    if (const QScreen* screen = this->screen())
        move(screen->availableGeometry().center() - rect().center());
    TextE->setFocus();
    TextE->selectAll();
}
