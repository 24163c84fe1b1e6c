// Progress reporting: the small window with a Cancel button that a report
// shows while it is printed or exported.
#pragma once

#include <QPointer>
#include <QString>
#include <QWidget>

class QFrame;
class QLabel;
class QProgressBar;
class QPushButton;

// The progress window: borderless, 271 x 101, never modal. While it exists
// the window that was active at its creation is disabled; hiding or
// destroying it enables that window again.
class TrpProgress : public QWidget {
public:
    explicit TrpProgress(QWidget* Parent = nullptr);
    ~TrpProgress() override;

    // Shows the window: Canceled shows the Cancel button, Progress the bar
    // (range 0..MaxValue).
    void Execute(int MaxValue, const QString& Msg, bool Canceled, bool Progress);
    void Reset() { SetPosition(0); }
    // One step forward while the bar is not full.
    void Tick();

    QString Message() const;
    void SetMessage(const QString& Value);
    int Position() const;
    void SetPosition(int Value);
    bool ShowProgress() const { return FShowProgress; }
    void SetShowProgress(bool Value);
    // Set by Cancel (or Escape); setting it closes the window.
    bool Terminated() const { return FTerminated; }
    void SetTerminated(bool Value);
    QWidget* ActiveForm() const { return FActiveForm; }

    QLabel* LMessage() const { return FLMessage; }
    QProgressBar* Bar() const { return FBar; }
    QPushButton* CancelB() const { return FCancelB; }

protected:
    void hideEvent(QHideEvent* Event) override;
    void keyPressEvent(QKeyEvent* Event) override;
    void mousePressEvent(QMouseEvent* Event) override;
    void mouseMoveEvent(QMouseEvent* Event) override;
    void mouseReleaseEvent(QMouseEvent* Event) override;

private:
    void CancelBClick();
    void EnableActiveForm();
    void KeepOnScreen();

    QFrame* FPanel;
    QLabel* FLMessage;
    QProgressBar* FBar;
    QPushButton* FCancelB;
    QPointer<QWidget> FActiveForm;
    bool FShowProgress = false;
    bool FTerminated = false;
    // Offset of the pointer from the window's corner while dragged by hand.
    QPoint FDragOffset;
    bool FDragging = false;
};
