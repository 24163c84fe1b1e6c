// The report's side of the mouse over prepared pages: its events and the
// objects' preview-click procedures.
#include "rpReport.h"
#include "rpReportError.h"
#include "rpView.h"
#include "sc_iinterpreter.h"

void TrpReport::DoMouseEnter(TrpView* View)
{
    if (!View)
        return;
    View->DoMouseEnter(nullptr);
    if (OnMouseEnter)
        OnMouseEnter(View);
}

void TrpReport::DoMouseLeave(TrpView* View)
{
    if (!View)
        return;
    View->DoMouseLeave(nullptr);
    if (OnMouseLeave)
        OnMouseLeave(View);
}

void TrpReport::DoMouseUp(TrpView* View, Qt::MouseButton Button, Qt::KeyboardModifiers Shift)
{
    if (View && OnMouseUp)
        OnMouseUp(View, Button, Shift);
}

void TrpReport::DoPreviewClick(
    TrpView* View, Qt::MouseButton Button, Qt::KeyboardModifiers Shift, bool& Modified, bool DblClick)
{
    if (!View)
        return;
    const QString procedure = DblClick ? View->OnPreviewDblClick() : View->OnPreviewClick();
    if (!procedure.isEmpty()) {
        TscCustomVariable* proc = Script()->FindLocal(procedure);
        if (proc && proc->IsCallable()) {
            // The object belongs to a prepared page, not to the template: its
            // script handle is taken back as soon as the procedure is done.
            SetScriptSelf(View);
            try {
                Calc(procedure);
            } catch (const TrpReportError&) {
                // Already in the error list; a failing click handler must not
                // take the preview down.
            }
            SetScriptSelf(nullptr);
            RecycleScriptObjects();
            // The procedure may have changed the object through Self.
            Modified = true;
        }
    }
    const TrpClickObjectEvent& handler = DblClick ? OnDblClickObject : OnClickObject;
    if (handler)
        handler(View, Button, Shift, Modified);
}
