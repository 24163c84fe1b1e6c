// Progress reporting of a report and its progress window.
//
// The report passes each progress call (start, one per page, stop) to the
// host's events, to its progress window and, while preparing, to an attached
// preview control. Invariants:
//  1. A report has at most one progress window: made at a start (freeing an
//     earlier one), freed at the stop. Cancel only hides it.
//  2. While a window exists, the window that was active at its creation is
//     disabled; it is enabled again when the progress window hides or dies.
//  3. With EngineOptions.EnableThreadSafe no handler does anything; otherwise
//     every handler ends by processing pending events, so that Cancel and the
//     preview's repaints work while the report runs in this thread.
#include "rpProgress.h"

#include "rpClass.h"
#include "rpCustomPreview.h"

#include "rpEngine.h"
#include "rpRes.h"

#include <QApplication>
#include <QFrame>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QWindow>

void TrpProgressDeleter::operator()(TrpProgress* Window) const
{
    delete Window;
}

// ---------------------------------------------------------------- window

namespace {
constexpr int LabelTopWithBar = 15;
constexpr int LabelTopWithoutBar = 35;
} // namespace

TrpProgress::TrpProgress(QWidget* Parent)
    : QWidget(Parent, Qt::Window | Qt::FramelessWindowHint)
    , FPanel(new QFrame(this))
    , FLMessage(new QLabel(FPanel))
    , FBar(new QProgressBar(FPanel))
    , FCancelB(new QPushButton(FPanel))
{
    setFixedSize(271, 101);
    FPanel->setGeometry(0, 0, 271, 101);
    FPanel->setFrameStyle(QFrame::Panel | QFrame::Raised);
    FPanel->setLineWidth(2);

    FLMessage->setGeometry(16, 11, 237, 20);
    FLMessage->setAlignment(Qt::AlignCenter);
    QFont font(QStringLiteral("Tahoma"));
    font.setPixelSize(11);
    FLMessage->setFont(font);

    FBar->setGeometry(16, 37, 237, 17);
    FBar->setTextVisible(false);
    FBar->setRange(0, 100);
    FBar->setValue(0);

    FCancelB->setGeometry(100, 64, 75, 25);
    FCancelB->setText(rpGet(QStringLiteral("2")));
    connect(FCancelB, &QPushButton::clicked, this, [this] { CancelBClick(); });

    // Right-to-left reading mirrors the controls across the window.
    if (QApplication::layoutDirection() == Qt::RightToLeft)
        for (QWidget* control : { static_cast<QWidget*>(FLMessage), static_cast<QWidget*>(FBar),
                 static_cast<QWidget*>(FCancelB) })
            control->move(width() - control->x() - control->width(), control->y());

    // Centred on the screen.
    if (QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());

    FActiveForm = QApplication::activeWindow();
    if (FActiveForm == this)
        FActiveForm = nullptr;
    if (FActiveForm)
        FActiveForm->setEnabled(false);
}

TrpProgress::~TrpProgress()
{
    EnableActiveForm();
}

void TrpProgress::Execute(int MaxValue, const QString& Msg, bool Canceled, bool Progress)
{
    FTerminated = false;
    FCancelB->setVisible(Canceled);
    SetShowProgress(Progress);
    FBar->setRange(0, MaxValue);
    FBar->setValue(0);
    SetMessage(Msg);
    show();
    KeepOnScreen();
    QCoreApplication::processEvents();
}

void TrpProgress::Tick()
{
    if (Position() >= FBar->minimum() && Position() < FBar->maximum())
        SetPosition(Position() + 1);
}

QString TrpProgress::Message() const
{
    return FLMessage->text();
}

void TrpProgress::SetMessage(const QString& Value)
{
    FLMessage->setText(Value);
    FLMessage->repaint();
}

int TrpProgress::Position() const
{
    return FBar->value();
}

void TrpProgress::SetPosition(int Value)
{
    FBar->setValue(Value);
    raise();
    QCoreApplication::processEvents();
}

void TrpProgress::SetShowProgress(bool Value)
{
    FShowProgress = Value;
    FBar->setVisible(Value);
    FLMessage->move(FLMessage->x(), Value ? LabelTopWithBar : LabelTopWithoutBar);
}

void TrpProgress::SetTerminated(bool Value)
{
    FTerminated = Value;
    if (Value)
        hide();
}

void TrpProgress::CancelBClick()
{
    SetTerminated(true);
}

void TrpProgress::EnableActiveForm()
{
    if (FActiveForm)
        FActiveForm->setEnabled(true);
}

// Fully visible on the monitor of the window it was started from.
void TrpProgress::KeepOnScreen()
{
    QScreen* screen = FActiveForm ? FActiveForm->screen() : QGuiApplication::primaryScreen();
    if (!screen)
        return;
    const QRect area = screen->availableGeometry();
    QRect r = frameGeometry();
    r.moveLeft(std::max(area.left(), std::min(r.left(), area.right() - r.width() + 1)));
    r.moveTop(std::max(area.top(), std::min(r.top(), area.bottom() - r.height() + 1)));
    move(r.topLeft());
}

void TrpProgress::hideEvent(QHideEvent* Event)
{
    EnableActiveForm();
    QWidget::hideEvent(Event);
}

void TrpProgress::keyPressEvent(QKeyEvent* Event)
{
    if (Event->key() == Qt::Key_Escape && FCancelB->isVisible()) {
        FCancelB->click();
        return;
    }
    QWidget::keyPressEvent(Event);
}

// The whole body works as a title bar: a press starts dragging the window.
void TrpProgress::mousePressEvent(QMouseEvent* Event)
{
    if (Event->button() != Qt::LeftButton)
        return QWidget::mousePressEvent(Event);
    if (windowHandle() && windowHandle()->startSystemMove())
        return;
    FDragging = true;
    FDragOffset = Event->globalPosition().toPoint() - pos();
}

void TrpProgress::mouseMoveEvent(QMouseEvent* Event)
{
    if (FDragging)
        move(Event->globalPosition().toPoint() - FDragOffset);
    else
        QWidget::mouseMoveEvent(Event);
}

void TrpProgress::mouseReleaseEvent(QMouseEvent* Event)
{
    FDragging = false;
    QWidget::mouseReleaseEvent(Event);
}

// ---------------------------------------------------------------- report

namespace {
bool WindowShowsFor(const TrpReport& Report, TrpProgressType Type)
{
    return Report.ShowProgress() && (Type != ptRunning || Report.OldStyleProgress());
}

QString PageMessage(TrpReport& Report, TrpProgressType Type)
{
    switch (Type) {
    case ptRunning: {
        const TrpCustomEngine* engine = Report.Engine();
        const bool firstOfTwo = Report.EngineOptions()->DoublePass() && engine && !engine->FinalPass();
        return rpGet(firstOfTwo ? QStringLiteral("prRunningFirst") : QStringLiteral("prRunning"));
    }
    case ptExporting:
        return rpGet(QStringLiteral("prExporting"));
    case ptPrinting:
        return rpGet(QStringLiteral("prPrinting"));
    }
    return QString();
}
} // namespace

void TrpReport::InternalOnProgressStart(TrpProgressType ProgressType)
{
    if (FEngineOptions.EnableThreadSafe())
        return;
    if (OnProgressStart)
        OnProgressStart(this, ProgressType, 0);
    if (WindowShowsFor(*this, ProgressType)) {
        FProgress.reset();
        FProgress.reset(new TrpProgress());
        FProgress->Execute(0, QString(), true, false);
    }
    if (ProgressType == ptRunning && FPreview)
        FPreview->InternalOnProgressStart(this, ProgressType, 0);
    QCoreApplication::processEvents();
}

void TrpReport::InternalOnProgress(TrpProgressType ProgressType, int Progress)
{
    if (FEngineOptions.EnableThreadSafe())
        return;
    if (OnProgress)
        OnProgress(this, ProgressType, Progress);
    if (WindowShowsFor(*this, ProgressType) && FProgress) {
        FProgress->SetMessage(
            PageMessage(*this, ProgressType).replace(QStringLiteral("%d"), QString::number(Progress)));
        if (FProgress->Terminated())
            SetTerminated(true);
    }
    if (ProgressType == ptRunning && FPreview)
        FPreview->InternalOnProgress(this, ProgressType, Progress - 1);
    QCoreApplication::processEvents();
}

void TrpReport::InternalOnProgressStop(TrpProgressType ProgressType)
{
    if (FEngineOptions.EnableThreadSafe())
        return;
    if (OnProgressStop)
        OnProgressStop(this, ProgressType, 0);
    if (WindowShowsFor(*this, ProgressType))
        FProgress.reset();
    if (ProgressType == ptRunning && FPreview)
        FPreview->InternalOnProgressStop(this, ProgressType, 0);
    QCoreApplication::processEvents();
}

void TrpReport::SetProgressMessage(const QString& Value, bool IsHint)
{
    if (FEngineOptions.EnableThreadSafe())
        return;
    const bool engineRuns = FEngine && FEngine->Running();
    if (engineRuns && OldStyleProgress() && ShowProgress() && FProgress)
        FProgress->SetMessage(Value);
    if (FPreviewForm)
        FPreviewForm->SetMessageText(Value, IsHint);
    QCoreApplication::processEvents();
}

void TrpReport::SetTerminated(bool Value)
{
    FTerminated = Value;
    // The script's statement interpreter has no run of its own to stop yet;
    // expressions check nothing, so the flag is all the engine needs.
}
