// Link label of the main window: a release of the left button inside the
// label counts as a click, like a push button.
#include "ClickLabel.h"

#include <QMouseEvent>

void TClickLabel::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()))
        emit clicked();
    QLabel::mouseReleaseEvent(event);
}
