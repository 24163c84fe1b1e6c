#pragma once
// Test double of the dialog service: records every request and answers from
// queues the test fills. An unexpected box (empty queue) fails loudly with
// EUnexpectedDialog, which is not a std::exception, so the program's error
// handlers cannot swallow it.
#include "DialogService.h"
#include <deque>

struct EUnexpectedDialog {
    QString What;
};

class TFakeDialogService : public TDialogService {
public:
    // Answers consumed in order by MessageBox (only boxes with more than one
    // button take one) and FileDialog respectively.
    void QueueAnswer(TMsgResult result) { FAnswers.push_back(result); }
    // nullopt answers Cancel; a name without extension gets the default one.
    void QueueFile(std::optional<QString> fileName) { FFiles.push_back(std::move(fileName)); }

    const std::vector<TMessageRequest>& Messages() const { return FMessages; }
    const std::vector<TFileDialogRequest>& FileDialogs() const { return FFileDialogs; }
    // Texts of the message boxes shown so far, in order.
    QStringList MessageTexts() const;
    bool AllAnswersUsed() const { return FAnswers.empty() && FFiles.empty(); }
    void Clear();

    TMsgResult MessageBox(const TMessageRequest& request) override;
    std::optional<QString> FileDialog(const TFileDialogRequest& request) override;

private:
    std::vector<TMessageRequest> FMessages;
    std::vector<TFileDialogRequest> FFileDialogs;
    std::deque<TMsgResult> FAnswers;
    std::deque<std::optional<QString>> FFiles;
};
