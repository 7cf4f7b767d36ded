#pragma once

#include <QObject>
#include <QString>
#include <QStringList>

class CommandTable;
class DesktopServices;
class UserPrompts;

// The rules of the "Define Commands" window: which group and commands it
// lists, what its fields hold, what its add/update button reads, and every
// change it makes to the command table. The window shows this state and
// forwards its controls here; changes reach the file when it is closed.
class CommandEditor : public QObject {
    Q_OBJECT
public:
    enum class ButtonMode { Add, Update };

    CommandEditor(CommandTable& table, UserPrompts& prompts, DesktopServices& services,
                  QObject* parent = nullptr);

    // The group drop-down: "<none>" first.
    QStringList groups() const { return m_groups; }
    QString shownGroup() const { return m_shownGroup; }
    // The shown group's commands, sorted.
    QStringList captions() const { return m_captions; }
    QString selectedCaption() const { return m_selected; }

    QString caption() const { return m_caption; }
    QString commandText() const { return m_commandText; } // one command per line
    QString subMenu() const { return m_subMenu; }
    QString shortcut() const { return m_shortcut; }
    bool subMenuEnabled() const { return m_subMenuEnabled; }
    ButtonMode buttonMode() const { return m_mode; }
    bool buttonEnabled() const { return m_buttonEnabled; }

    // The controls.
    void SelectGroup(const QString& group);
    void SelectCommand(const QString& caption);
    void EditCaption(const QString& text);
    void EditCommand(const QString& text);
    void EditSubMenu(const QString& text);
    // One character, upper case.
    void EditShortcut(const QString& text);
    // "&Add" or "&Update", as the button reads; false when nothing changed.
    bool Apply();
    void DeleteCommand();
    void AddGroup();
    void DeleteGroup();
    // "&Move" to the group the "Move" dialog chose; false when refused.
    bool MoveCommand(const QString& destination);
    void ShowHelp();

    // For the import: a group is listed when missing, and the list re-read.
    void AddGroupIfMissing(const QString& group);
    void RefreshList();

Q_SIGNALS:
    // Anything shown may have changed.
    void changed();

private:
    bool add();
    bool update();
    void clearFields();
    int shownRecord(const QString& caption) const;

    CommandTable& m_table;
    UserPrompts& m_prompts;
    DesktopServices& m_services;
    QStringList m_groups;
    QString m_shownGroup;
    QStringList m_captions;
    QString m_selected;
    QString m_caption;
    QString m_commandText;
    QString m_subMenu;
    QString m_shortcut;
    bool m_subMenuEnabled = false;
    ButtonMode m_mode = ButtonMode::Add;
    bool m_buttonEnabled = false;
};
