// The recording dialog double. Invariants: every request is recorded before
// it is answered; a box with a single button answers that button and takes
// nothing from the queue; a question with an empty queue throws
// EUnexpectedDialog.
#include "FakeDialogService.h"

QStringList TFakeDialogService::MessageTexts() const
{
    QStringList texts;
    for (const TMessageRequest& m : FMessages)
        texts << m.Text;
    return texts;
}

void TFakeDialogService::Clear()
{
    FMessages.clear();
    FFileDialogs.clear();
    FAnswers.clear();
    FFiles.clear();
}

TMsgResult TFakeDialogService::MessageBox(const TMessageRequest& request)
{
    FMessages.push_back(request);
    // A box with one button can only answer that button; it leaves the
    // queue to the questions.
    if (request.Buttons.size() == 1)
        return ResultOf(request.Buttons.front());
    if (FAnswers.empty())
        throw EUnexpectedDialog { QStringLiteral("unanswered message box: ") + request.Text };
    const TMsgResult answer = FAnswers.front();
    FAnswers.pop_front();
    return answer;
}

std::optional<QString> TFakeDialogService::FileDialog(const TFileDialogRequest& request)
{
    FFileDialogs.push_back(request);
    if (FFiles.empty())
        throw EUnexpectedDialog { QStringLiteral("unanswered file dialog") };
    std::optional<QString> answer = FFiles.front();
    FFiles.pop_front();
    if (answer)
        answer = AppendDefaultExtension(*answer, request.DefaultExt);
    return answer;
}
