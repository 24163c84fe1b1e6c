// Preparing a report: clearing the store, checking the data sets, taking a
// snapshot of the template, running the engine, putting the template back
// and showing the errors of the run.
//
// Invariants:
//   1. With EngineOptions.DestroyForms the template after a run is the
//      template before it, whatever the run did or however it failed: the
//      snapshot is reloaded even when the engine threw.
//   2. The errors of a run survive the reload and are shown once, sorted,
//      after "The following error(s) have occured:".
#include "DialogService.h"
#include "rpClass.h"
#include "rpCustomPreviewPages.h"
#include "rpDBSet.h"
#include "rpEngine.h"
#include "rpRes.h"

#include <QBuffer>
#include <QDir>
#include <QTemporaryFile>

namespace {

// The template saved before a run: in memory, or in a temporary file in
// TempDir with UseFileCache. The file goes with the snapshot.
class TrpTemplateSnapshot {
public:
    explicit TrpTemplateSnapshot(TrpReport& Report)
    {
        if (Report.EngineOptions()->UseFileCache()) {
            const QString dir = Report.EngineOptions()->TempDir().isEmpty()
                ? QDir::tempPath()
                : Report.EngineOptions()->TempDir();
            auto file = std::make_unique<QTemporaryFile>(dir + QStringLiteral("/rpXXXXXX"));
            if (file->open())
                FDevice = std::move(file);
        }
        if (!FDevice) {
            auto buffer = std::make_unique<QBuffer>();
            buffer->open(QIODevice::ReadWrite);
            FDevice = std::move(buffer);
        }
        Report.SaveToStream(*FDevice);
    }

    void Restore(TrpReport& Report)
    {
        FDevice->seek(0);
        Report.LoadFromStream(*FDevice);
    }

private:
    std::unique_ptr<QIODevice> FDevice;
};

} // namespace

bool TrpReport::PrepareReport(bool ClearLastReport)
{
    if (ClearLastReport && FPreviewPages)
        FPreviewPages->Clear();
    ClearErrors();
    SetTerminated(false);
    bool result = false;

    // Entries by name only (as after a reload) take their set again now.
    for (int i = 0; i < FDataSets.Count(); ++i) {
        TrpDataSetItem& item = FDataSets.Items(i);
        if (!item.DataSet)
            item.DataSet = FindDataSet(item.DataSetName);
        if (!item.DataSet)
            AddError(rpGet(QStringLiteral("clDSNotExist")).replace(QLatin1String("%s"), item.DataSetName));
    }

    if (FErrors.isEmpty()) {
        const QString password = FReportOptions.Password();
        std::unique_ptr<TrpTemplateSnapshot> snapshot;
        if (FEngineOptions.DestroyForms()) {
            FReportOptions.SetPassword(QString());
            snapshot = std::make_unique<TrpTemplateSnapshot>(*this);
        }
        try {
            if (!FOwnEngine)
                FOwnEngine = std::make_unique<TrpEngine>(this);
            if (PrepareScript() && !Terminated())
                result = FOwnEngine->Run(true, false, nullptr);
        } catch (const EPelmoraError& e) {
            AddError(e.Message());
            result = false;
        } catch (const std::exception& e) {
            AddError(QString::fromUtf8(e.what()));
            result = false;
        }
        if (snapshot) {
            const QStringList errors = FErrors;
            snapshot->Restore(*this);
            FReportOptions.SetPassword(password);
            FErrors.clear();
            for (const QString& e : errors)
                AddError(e);
        }
    }

    if (FErrors.isEmpty())
        return result;
    QString text = rpGet(QStringLiteral("clErrors")) + QLatin1Char('\n');
    for (const QString& e : FErrors)
        text += e + QLatin1Char('\n');
    switch (FEngineOptions.SilentMode()) {
    case simMessageBoxes:
        if (FDialogService) {
            TMessageRequest request;
            request.Caption = rpGet(QStringLiteral("mbError"));
            request.Text = text;
            request.Icon = TMsgIcon::Error;
            request.Buttons = { TMsgButton::OK };
            FDialogService->MessageBox(request);
        }
        break;
    case simSilent:
        break;
    case simReThrow:
        throw TrpReportError(text);
    }
    return false;
}
