#pragma once

#include <QString>

// One user-defined command as "command.dat" stores it. A record with an
// empty caption does not exist; caption plus group identify a command.
struct CommandRecord {
    QString caption;
    QString command;  // the command lines joined by ";"
    QString group;    // NoGroup for a command directly in "&Commands"
    QString subMenu;  // a sub-menu inside the group, or empty
    QString shortcut; // one character: Ctrl+Shift+that character

    bool exists() const;
    bool isGrouped() const;

    // A slot the editor deleted; never written, reused by "&Add".
    static inline const QString DeletedCaption = QStringLiteral("!!deleted!!");
    static inline const QString NoGroup = QStringLiteral("<none>");
};

inline bool CommandRecord::exists() const {
    return !caption.isEmpty() && caption != DeletedCaption;
}

inline bool CommandRecord::isGrouped() const {
    return group != NoGroup;
}

// Groups are told apart without regard to letter case, as the menu does.
inline bool SameGroup(const QString& a, const QString& b) {
    return a.compare(b, Qt::CaseInsensitive) == 0;
}
