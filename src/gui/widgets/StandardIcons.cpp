#include "widgets/StandardIcons.h"

#include <QApplication>
#include <QHash>

QIcon StandardIcon(QStyle::StandardPixmap which) {
    static QHash<int, QIcon> cache;
    auto found = cache.constFind(int(which));
    if (found != cache.constEnd())
        return *found;
    const QIcon icon = QApplication::style()->standardIcon(which);
    cache.insert(int(which), icon);
    return icon;
}
