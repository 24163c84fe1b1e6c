// The main window when the file refuses a write for real (a read-only
// folder, a lock another program holds): the refusal is shown in the
// program's words, no later click stores the refused entry, and the file
// holds what it held, row by row.
#include "AppFixture.h"
#include "refused_writes.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDateEdit>
#include <QDir>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QToolButton>

class WriteFailureTest : public AppFixture {
protected:
    const std::vector<TRow> Stored { { "Lada", "oil", "01.02.2024", "100", "", "10" },
        { "Volga", "tyres", "03.04.2024", "200", "", "20" } };
    QString Folder;
    QString Database;
    std::unique_ptr<TForm1> Form;

    void StartIn(const QString& subfolder)
    {
        Folder = subfolder.isEmpty() ? Dir.path() : File(subfolder);
        ASSERT_TRUE(QDir().mkpath(Folder));
        Database = MakeDatabase(QDir(subfolder).filePath("log.mdb"), Stored);
        Configure(Database);
        WriteBytes(CarList(), "Lada\r\nVolga\r\n");
        Form = Start();
        ASSERT_TRUE(Form);
        Form->ADOTable1->SetBusyTimeout(50);
        Form->ComboBox1->setCurrentIndex(0);
        Form->LabeledEdit1->setText("Ghost");
        Form->LabeledEdit2->setText("never stored");
        Form->LabeledEdit3->setText("1");
        Form->LabeledEdit4->setText("2");
    }
    // What the user does next: the commands that post a pending row.
    void ClickAround()
    {
        Form->CalcTotal();
        Form->DBGrid1TitleClick(5);
        Form->ComboBox2->setEditText("Lada");
        Form->ComboBox2Change();
        Form->SpeedButton4Click();
        bool handled = false;
        Form->DBGrid1MouseWheel({}, 120, {}, handled);
    }
};

TEST_F(WriteFailureTest, AddEditAndDeleteInAReadOnlyFolderStoreNothingThenOrLater)
{
    StartIn("ro");
    ShareFolder(Dir.path());
    ShareFolder(Folder, { "log.mdb" });
    const QString refused
        = QStringLiteral("The database file '%1' cannot be changed: its folder is read-only.").arg(Database);
    {
        TWritesRefused readOnly(Folder);
        Form->Button1->click();
        Form->SpeedButton7->click();
        Dialogs.QueueAnswer(TMsgResult::Yes);
        Form->N1->trigger();
        EXPECT_EQ(Dialogs.MessageTexts(), QStringList({ refused, refused, "Вы уверены?", refused }));
        EXPECT_EQ(Form->ADOTable1->State(), TDataSetState::Browse);
        Dialogs.Clear();
        ClickAround();
        EXPECT_TRUE(Dialogs.Messages().empty()) << Dialogs.MessageTexts().join('|').toStdString();
        EXPECT_EQ(Form->DBGrid1->model()->rowCount(), 2);
    }
    Form->CalcTotal();
    EXPECT_EQ(Rows(Database), Stored);
    EXPECT_EQ(Form->Edit2->text(), "30");

    // With the folder writable again one Add stores one row.
    Form->Button1->click();
    ClickAround();
    ASSERT_EQ(Rows(Database).size(), 3u);
    EXPECT_EQ(Rows(Database)[2].partname, "Ghost");
}

TEST_F(WriteFailureTest, ALockedFileIsWaitedForUnderTheBusyCursorThenReported)
{
    StartIn(QString());
    // The window's own wait handler, observed while it runs.
    QList<bool> busyCursorWhileWaiting;
    auto handler = Form->ADOTable1->OnBusyWait();
    Form->ADOTable1->SetOnBusyWait([&](bool waiting) {
        handler(waiting);
        const QCursor* cursor = QApplication::overrideCursor();
        busyCursorWhileWaiting << (cursor && cursor->shape() == Qt::WaitCursor);
    });
    TDbConnection other;
    other.Open(Database);
    other.Execute("BEGIN IMMEDIATE");
    Form->Button1->click();
    EXPECT_EQ(Dialogs.MessageTexts(),
        QStringList(
            { QStringLiteral("The database file '%1' is locked by another program. Try again when that "
                             "program has finished with it.")
                    .arg(Database) }));
    EXPECT_EQ(busyCursorWhileWaiting, QList<bool>({ true, false }));
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
    other.Execute("ROLLBACK");
    Dialogs.Clear();
    ClickAround();
    EXPECT_TRUE(Dialogs.Messages().empty());
    EXPECT_EQ(Rows(Database), Stored);
}
