#include "commands/CommandEditor.h"

#include "app/DesktopServices.h"
#include "app/UserPrompts.h"
#include "commands/CommandTable.h"
#include "commands/CommandText.h"

#include <algorithm>

CommandEditor::CommandEditor(CommandTable& table, UserPrompts& prompts, DesktopServices& services,
                             QObject* parent)
    : QObject(parent), m_table(table), m_prompts(prompts), m_services(services),
      m_groups(table.groupList()) {
    SelectGroup(CommandRecord::NoGroup);
}

int CommandEditor::shownRecord(const QString& caption) const {
    return m_table.indexOf(caption, m_shownGroup);
}

void CommandEditor::RefreshList() {
    m_captions.clear();
    for (const CommandRecord& r : m_table.records())
        if (r.exists() && SameGroup(r.group, m_shownGroup))
            m_captions << r.caption;
    // Sorted as a sorted list box sorts: letter case aside, ties stable.
    std::stable_sort(m_captions.begin(), m_captions.end(), [](const QString& a, const QString& b) {
        return a.compare(b, Qt::CaseInsensitive) < 0;
    });
    if (!m_captions.contains(m_selected))
        m_selected.clear();
    Q_EMIT changed();
}

void CommandEditor::clearFields() {
    m_selected.clear();
    m_caption.clear();
    m_commandText.clear();
    m_subMenu.clear();
    m_shortcut.clear();
    m_mode = ButtonMode::Add;
    m_buttonEnabled = false;
}

void CommandEditor::SelectGroup(const QString& group) {
    m_shownGroup = group;
    clearFields();
    m_subMenuEnabled = !SameGroup(group, CommandRecord::NoGroup);
    RefreshList();
}

void CommandEditor::SelectCommand(const QString& caption) {
    const int index = shownRecord(caption);
    if (index < 0)
        return;
    const CommandRecord& r = m_table.records().at(index);
    m_selected = caption;
    m_caption = r.caption;
    m_commandText = CommandText::ForEditor(r.command);
    m_subMenu = r.subMenu;
    m_shortcut = r.shortcut;
    m_mode = ButtonMode::Update;
    m_buttonEnabled = false;
    Q_EMIT changed();
}

void CommandEditor::EditCaption(const QString& text) {
    m_caption = text;
    if (!text.isEmpty()) {
        m_mode = shownRecord(text) >= 0 ? ButtonMode::Update : ButtonMode::Add;
        m_buttonEnabled = true;
    }
    Q_EMIT changed();
}

void CommandEditor::EditCommand(const QString& text) {
    m_commandText = text;
    m_buttonEnabled = true;
    Q_EMIT changed();
}

void CommandEditor::EditSubMenu(const QString& text) {
    m_subMenu = text;
    m_buttonEnabled = true;
    Q_EMIT changed();
}

void CommandEditor::EditShortcut(const QString& text) {
    m_shortcut = text.left(1).toUpper();
    m_buttonEnabled = true;
    Q_EMIT changed();
}

bool CommandEditor::Apply() {
    if (!m_buttonEnabled)
        return false;
    const bool done = m_mode == ButtonMode::Update ? update() : add();
    if (done) {
        m_buttonEnabled = false;
        RefreshList();
    }
    return done;
}

bool CommandEditor::update() {
    // The command the caption field names; it is the selected one unless
    // another existing caption was typed.
    const int index = shownRecord(m_caption.isEmpty() ? m_selected : m_caption);
    if (index < 0)
        return false;
    CommandRecord& r = m_table.records()[index];
    r.command = CommandText::CleanForUpdate(m_commandText);
    r.group = m_shownGroup;
    r.subMenu = m_subMenu;
    r.shortcut = m_shortcut;
    m_selected = r.caption;
    return true;
}

bool CommandEditor::add() {
    // A command without a caption would not exist; one already there is
    // updated, not added twice.
    if (m_caption.isEmpty() || shownRecord(m_caption) >= 0)
        return false;
    m_table.AddRecord(
        {m_caption, CommandText::JoinAsTyped(m_commandText), m_shownGroup, m_subMenu, m_shortcut});
    m_selected = m_caption;
    m_mode = ButtonMode::Update;
    return true;
}

void CommandEditor::DeleteCommand() {
    const int index = shownRecord(m_selected);
    if (index < 0)
        return;
    if (!m_prompts.confirm(QStringLiteral("Delete Select Item ") + m_selected +
                           QStringLiteral(", Are you sure")))
        return;
    m_table.records()[index].caption = CommandRecord::DeletedCaption;
    clearFields();
    RefreshList();
}

void CommandEditor::AddGroup() {
    const std::optional<QString> group =
        m_prompts.inputBox(QStringLiteral("Add New Group"), QStringLiteral("Group"), QString());
    if (!group || group->isEmpty())
        return;
    const auto listed = std::find_if(m_groups.cbegin(), m_groups.cend(),
                                     [&](const QString& g) { return SameGroup(g, *group); });
    if (listed != m_groups.cend()) {
        SelectGroup(*listed);
        return;
    }
    m_groups << *group;
    SelectGroup(*group);
}

void CommandEditor::DeleteGroup() {
    if (SameGroup(m_shownGroup, CommandRecord::NoGroup)) {
        m_services.beep();
        return;
    }
    if (!m_prompts.confirm(QStringLiteral("Delete all items in ") + m_shownGroup +
                           QStringLiteral(", Are you sure")))
        return;
    for (CommandRecord& r : m_table.records())
        if (r.exists() && SameGroup(r.group, m_shownGroup))
            r.caption = CommandRecord::DeletedCaption;
    m_groups.removeIf([this](const QString& g) { return SameGroup(g, m_shownGroup); });
    SelectGroup(CommandRecord::NoGroup);
}

bool CommandEditor::MoveCommand(const QString& destination) {
    const int index = shownRecord(m_selected);
    if (index < 0 || destination.isEmpty() || SameGroup(destination, m_shownGroup))
        return false;
    // Two commands of one caption in one group could no longer be told apart.
    if (m_table.indexOf(m_selected, destination) >= 0) {
        m_prompts.information(m_selected + QStringLiteral(" already exists in ") + destination);
        return false;
    }
    m_table.records()[index].group = destination;
    clearFields();
    RefreshList();
    return true;
}

void CommandEditor::ShowHelp() {
    m_prompts.information(CommandText::TokenHelp());
}

void CommandEditor::AddGroupIfMissing(const QString& group) {
    const bool listed = std::any_of(m_groups.cbegin(), m_groups.cend(),
                                    [&](const QString& g) { return SameGroup(g, group); });
    if (!listed) {
        m_groups << group;
        Q_EMIT changed();
    }
}
