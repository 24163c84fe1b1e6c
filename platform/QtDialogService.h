#pragma once
// The real dialog service: QMessageBox and QFileDialog.
#include "DialogService.h"

class QWidget;

class TQtDialogService : public TDialogService {
public:
    // parent: the window that owns the modal boxes (may be nullptr).
    explicit TQtDialogService(QWidget* parent = nullptr)
        : FParent(parent)
    {
    }
    void SetParent(QWidget* parent) { FParent = parent; }

    TMsgResult MessageBox(const TMessageRequest& request) override;
    std::optional<QString> FileDialog(const TFileDialogRequest& request) override;

private:
    QWidget* FParent;
};
