// The report: the top of the component tree, with its options, data sets,
// variables, styles, script, prepared pages and progress reporting.
#pragma once

#include "Variant.h"
#include "rpComponent.h"
#include "rpDataSetLink.h"
#include "rpPreviewOptions.h"
#include "rpPrintOptions.h"
#include "rpReportDataSets.h"
#include "rpReportOptions.h"
#include "rpStyles.h"
#include "rpTypes.h"
#include "rpVariables.h"

#include <QHash>
#include <QString>
#include <QStringList>
#include <Qt>
#include <functional>
#include <memory>

class QIODevice;
class TrpCustomEngine;
class TrpCustomPreview;
class TrpCustomPreviewForm;
class TrpCustomPreviewPages;
class TrpDrawText;
class TrpDataSet;
class TrpExpressionCache;
class TrpProgress;
class TrpReportScript;
class TrpXMLItem;
class TscScript;
class TDialogService;

// Frees a progress window; defined with the window so that the report need
// not see the widget classes.
struct TrpProgressDeleter {
    void operator()(TrpProgress* Window) const;
};

class TrpView;

class TrpReport : public TrpComponent {
    RP_CLASS_INFO
    RP_FIELD(QString, ScriptLanguage, QStringLiteral("PascalScript"))
    RP_FIELD(
        QStringList, ScriptText, (QStringList { QStringLiteral("begin"), QString(), QStringLiteral("end.") }))
    RP_FIELD(bool, ShowProgress, true)
    RP_FIELD(bool, OldStyleProgress, false)
    RP_FIELD(bool, StoreInDFM, true)
    RP_FIELD(bool, DotMatrixReport, false)
    // "\Software\..." names a key of the user's settings store, anything
    // else an INI file.
    RP_FIELD(QString, IniFile, QStringLiteral("\\Software\\Pelmora Reports"))
    RP_FIELD(QString, ParentReport, QString())
public:
    TrpReport();
    ~TrpReport() override;

    // Template format version; always written as this value.
    QString Version() const { return QStringLiteral("5.1.5"); }
    void SetVersion(const QString&) { }

    TrpEngineOptions* EngineOptions() { return &FEngineOptions; }
    TrpReportOptions* ReportOptions() { return &FReportOptions; }
    TrpPreviewOptions* PreviewOptions() { return &FPreviewOptions; }
    TrpPrintOptions* PrintOptions() { return &FPrintOptions; }
    TrpReportDataSets& DataSets() { return FDataSets; }
    TrpVariables& Variables() { return FVariables; }
    TrpStyles& Styles() { return FStyles; }

    TrpDataSet* DataSet() const { return FDataSet.DataSet(); }
    void SetDataSet(TrpDataSet* Value) { FDataSet.SetDataSet(Value); }
    QString DataSetName() const { return FDataSet.Name(); }
    void SetDataSetName(const QString& Value);
    // A data set by user name: in the process-wide list when
    // EngineOptions.UseGlobalDataSetList, else among DataSets; nullptr when none.
    TrpDataSet* FindDataSet(const QString& Name) const;

    // Errors found during a run: sorted without regard to case, each once.
    const QStringList& Errors() const { return FErrors; }
    void AddError(const QString& Text);
    void ClearErrors() { FErrors.clear(); }
    // Set to cancel a run; tested by the engine, the band splitter and the
    // print job. Setting it also stops the report's script.
    bool Terminated() const { return FTerminated; }
    void SetTerminated(bool Value);
    // Name of the object the engine is working on, for error texts.
    QString CurObject;

    // The object with that name anywhere in the report (case-insensitive).
    TrpComponent* FindByName(const QString& Name) const;

    // --- expressions (report expressions)
    // The report's script, with the standard library, and the cache of
    // compiled expressions that serves it; both made on first use.
    TscScript* Script();
    TrpExpressionCache* ExpressionCache();
    // The engine running the report, set by whoever runs it; none between runs.
    TrpCustomEngine* Engine() const { return FEngine; }
    void SetEngine(TrpCustomEngine* Value) { FEngine = Value; }
    // Empties the expression cache, binds the report's objects, variables and
    // functions into the script and compiles ScriptText. A compile error goes
    // to the error list and gives false.
    bool PrepareScript();
    // The value of an expression text. AScript is the scope that resolves
    // names (none: the report's script). A failure is added to the error list,
    // prefixed with CurObject, or with the "Error in Calc expression:" text
    // when MarkErrors, and raised as TrpReportError.
    Variant Calc(const QString& Expr, TscScript* AScript = nullptr, bool MarkErrors = false);
    // Splits `alias."field"` at the first dot followed by a double quote;
    // no such dot gives no data set and an empty field.
    void GetDatasetAndField(const QString& ComplexName, TrpDataSet*& DataSet, QString& Field) const;
    // The data set of DataSets with that user name, or nullptr.
    TrpDataSet* GetDataset(const QString& Name) const;
    // What the script holds for a report object, and back: the object behind
    // a script value, or nullptr when it is none or no longer in the report.
    Variant ScriptObjectOf(TrpComponent* Component);
    // The script's variables Self and Value, set for every object the engine
    // evaluates; found once per preparation, not per object.
    void SetScriptSelf(TrpComponent* Component);
    void SetScriptValue(const Variant& Value);
    TrpComponent* ComponentOf(const Variant& Value) const;
    // Asked for names the report does not know itself; a value that is not
    // Empty answers.
    std::function<void(const QString& VarName, Variant& Value)> OnGetValue;
    std::function<void(TrpReport* Sender, const QString& VarName, Variant& Value)> OnNewGetValue;

    // --- running a report (report preparation)
    // Prepares the pages: clears the store first when ClearLastReport, runs
    // the report's engine over a snapshot of the template (DestroyForms) and
    // reports the errors of the run by EngineOptions.SilentMode. True when
    // the run succeeded.
    bool PrepareReport(bool ClearLastReport = true);
    // Where simMessageBoxes shows the errors of a run; none shows nothing.
    void SetDialogService(TDialogService* Value) { FDialogService = Value; }

    // The prepared pages of the report's last run; none until a store is
    // given. The report owns it.
    TrpCustomPreviewPages* PreviewPages() const { return FPreviewPages.get(); }
    // The report's shared text layout, made on first use.
    TrpDrawText* DrawText();
    void SetPreviewPages(std::unique_ptr<TrpCustomPreviewPages> Value);

    // --- progress (progress reporting); every handler does nothing when
    // EngineOptions.EnableThreadSafe is set.
    using TrpProgressEvent
        = std::function<void(TrpReport* Sender, TrpProgressType ProgressType, int Progress)>;
    TrpProgressEvent OnProgressStart;
    TrpProgressEvent OnProgress;
    TrpProgressEvent OnProgressStop;
    void InternalOnProgressStart(TrpProgressType ProgressType);
    // Progress: the 1-based page number.
    void InternalOnProgress(TrpProgressType ProgressType, int Progress);
    void InternalOnProgressStop(TrpProgressType ProgressType);
    void SetProgressMessage(const QString& Value, bool IsHint = false);
    // The open progress window; none between a stop and the next start.
    TrpProgress* ProgressWindow() const { return FProgress.get(); }
    // The preview control and window attached to the report (not owned).
    TrpCustomPreview* Preview() const { return FPreview; }
    void SetPreview(TrpCustomPreview* Value) { FPreview = Value; }
    TrpCustomPreviewForm* PreviewForm() const { return FPreviewForm; }
    void SetPreviewForm(TrpCustomPreviewForm* Value) { FPreviewForm = Value; }
    // Shows the prepared pages: in the attached preview control when there
    // is one, otherwise in a new preview window (modal with Modal set). The
    // preview layer installs the window maker once at start-up; without one
    // the call fails with TrpReportError.
    void ShowPreparedReport();
    using TrpShowPreview = std::function<void(TrpReport* Report)>;
    static void SetShowPreview(TrpShowPreview Handler);
    // Fired when a preview window opens, before it shows.
    std::function<void(TrpReport* Sender)> OnPreview;
    // Printing: before the job, before each printed page (0-based page,
    // copy number) and after the job, also one that stopped early.
    std::function<void(TrpReport* Sender)> OnPrintReport;
    std::function<void(TrpReport* Sender, int Page, int CopyNo)> OnPrintPage;
    std::function<void(TrpReport* Sender)> OnAfterPrintReport;

    // --- the mouse over the prepared pages in the preview
    // Over an object, or on a click that follows no hyperlink of its own.
    std::function<void(
        TrpView* View, Qt::MouseButton Button, Qt::KeyboardModifiers Shift, Qt::CursorShape& Cursor)>
        OnMouseOverObject;
    std::function<void(TrpView* View)> OnMouseEnter;
    std::function<void(TrpView* View)> OnMouseLeave;
    std::function<void(TrpView* View, Qt::MouseButton Button, Qt::KeyboardModifiers Shift)> OnMouseUp;
    // A click (or double click) on an object; set Modified when the object
    // was changed, so its page is written back and shown again.
    using TrpClickObjectEvent = std::function<void(
        TrpView* View, Qt::MouseButton Button, Qt::KeyboardModifiers Shift, bool& Modified)>;
    TrpClickObjectEvent OnClickObject;
    TrpClickObjectEvent OnDblClickObject;
    void DoMouseEnter(TrpView* View);
    void DoMouseLeave(TrpView* View);
    void DoMouseUp(TrpView* View, Qt::MouseButton Button, Qt::KeyboardModifiers Shift);
    // Runs the object's OnPreviewClick (OnPreviewDblClick) script procedure
    // with Self as the object, then OnClickObject (OnDblClickObject).
    void DoPreviewClick(
        TrpView* View, Qt::MouseButton Button, Qt::KeyboardModifiers Shift, bool& Modified, bool DblClick);

    bool IsReport() const override { return true; }
    void Clear() override;
    // Also links the data-set list again to the sets of its names.
    void LoadFromStream(QIODevice& Stream) override;
    bool WriteNestedProperties(TrpXMLItem* Item, const TrpPersistentComponent* Ancestor) const override;
    bool ReadNestedProperty(const TrpXMLItem* Item) override;

private:
    friend class TrpComponent;
    // The fast path of Calc: data fields, system variables, host answers,
    // report, global and script variables. False when the name is none.
    bool GetFieldOrSystemValue(const QString& Name, Variant& Value);
    bool GetSystemValue(const QString& Name, Variant& Value) const;
    TrpReportScript& ScriptState();
    // Takes back the handles of objects that left the report.
    void RecycleScriptObjects();
    void BindScriptNames();
    Variant ScriptGet(const QString& Name);
    Variant ScriptIIF(const QString& Expr, const QString& TrueValue, const QString& FalseValue);
    Variant ScriptAggregate(
        const QString& Function, const QString& Expr, const Variant& Band, const Variant& Flags);

    std::unique_ptr<TrpReportScript> FScriptState;
    std::unique_ptr<TrpCustomPreviewPages> FPreviewPages;
    std::unique_ptr<TrpDrawText> FDrawText;
    TrpCustomEngine* FEngine = nullptr;
    // The engine PrepareReport runs; made on first use, kept with the report.
    std::unique_ptr<TrpCustomEngine> FOwnEngine;
    TDialogService* FDialogService = nullptr;
    // Names of the report's objects, upper-cased; kept up to date by
    // renaming, attaching and detaching (never by destructors).
    QHash<QString, TrpComponent*> FNameIndex;
    bool FDestroying = false;
    TrpEngineOptions FEngineOptions;
    TrpReportOptions FReportOptions;
    TrpPreviewOptions FPreviewOptions;
    TrpPrintOptions FPrintOptions;
    TrpReportDataSets FDataSets;
    TrpVariables FVariables;
    TrpStyles FStyles;
    TrpDataSetLink FDataSet;
    QStringList FErrors;
    bool FTerminated = false;
    std::unique_ptr<TrpProgress, TrpProgressDeleter> FProgress;
    TrpCustomPreview* FPreview = nullptr;
    TrpCustomPreviewForm* FPreviewForm = nullptr;
};
