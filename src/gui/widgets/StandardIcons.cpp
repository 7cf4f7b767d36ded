#include "widgets/StandardIcons.h"

#include <QApplication>
#include <QHash>

QIcon StandardIcon(QStyle::StandardPixmap which) {
    // Never destroyed: pixmaps freed after the application is gone are not safe.
    static auto* cache = new QHash<int, QIcon>;
    auto found = cache->constFind(int(which));
    if (found != cache->constEnd())
        return *found;
    const QIcon icon = QApplication::style()->standardIcon(which);
    cache->insert(int(which), icon);
    return icon;
}
