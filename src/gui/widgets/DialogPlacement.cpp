#include "widgets/DialogPlacement.h"

#include <QWidget>

void CentreOver(QWidget* window, const QWidget* over) {
    if (!over)
        return;
    const QRect frame = over->window()->frameGeometry();
    window->move(frame.left() + frame.width() / 2 - window->width() / 2,
                 frame.top() + frame.height() / 2 - window->height() / 2);
}
