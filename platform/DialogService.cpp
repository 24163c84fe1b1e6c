// The button-to-answer mapping and the default-extension rule shared by the real file dialogs and their test
// double: only a name without any extension gets one, and a name that ends
// in a separator (a folder) is left alone.
#include "DialogService.h"

QString AppendDefaultExtension(const QString& fileName, const QString& defaultExt)
{
    if (defaultExt.isEmpty() || fileName.isEmpty() || fileName.endsWith(QLatin1Char('/')))
        return fileName;
    const qsizetype slash = fileName.lastIndexOf(QLatin1Char('/'));
    const qsizetype dot = fileName.lastIndexOf(QLatin1Char('.'));
    if (dot > slash)
        return fileName;
    const QString ext = defaultExt.startsWith(QLatin1Char('.')) ? defaultExt : QLatin1Char('.') + defaultExt;
    return fileName + ext;
}

TMsgResult ResultOf(TMsgButton button)
{
    switch (button) {
    case TMsgButton::OK:
        return TMsgResult::OK;
    case TMsgButton::Yes:
        return TMsgResult::Yes;
    case TMsgButton::No:
        return TMsgResult::No;
    case TMsgButton::Cancel:
        return TMsgResult::Cancel;
    case TMsgButton::Close:
        return TMsgResult::Close;
    }
    return TMsgResult::Closed;
}
