// The Find Text dialog of the preview: the text to find, whether to search
// from the first page and whether case matters.
#pragma once

#include <QDialog>

class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QWidget;

class TrpSearchDialog : public QDialog {
    Q_OBJECT
public:
    // Text: the text last confirmed with OK, shown selected in the edit.
    explicit TrpSearchDialog(const QString& Text, QWidget* Parent = nullptr);

    QLabel* TextL;
    QLineEdit* TextE;
    QWidget* ReplacePanel;
    QLabel* ReplaceL;
    QLineEdit* ReplaceE;
    QGroupBox* SearchL;
    QCheckBox* TopCB;
    QCheckBox* CaseCB;
    QPushButton* OkB;
    QPushButton* CancelB;

protected:
    void showEvent(QShowEvent* Event) override;
};
