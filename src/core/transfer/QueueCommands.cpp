#include "transfer/QueueCommands.h"

#include "app/App.h"
#include "app/DesktopServices.h"
#include "app/UserPrompts.h"
#include "transfer/QueueFile.h"

namespace {
const QString SaveFilter = QStringLiteral("Korvane Queue File (*.kqf)");
} // namespace

bool QueueCommands::runActive() const {
    // A run holds the sides while a Stop button is enabled.
    return m_app.left().button(SideButton::Stop).enabled ||
           m_app.right().button(SideButton::Stop).enabled;
}

QueueMenuState QueueCommands::MenuState(const QList<int>& selectedRows,
                                        bool transferEnabled) const {
    const QueueModel& queue = m_app.queue();
    QueueMenuState state;
    state.moveUp = state.moveDown = selectedRows.size() == 1 && queue.count() > 1;
    state.editTarget = state.deleteEntry = !selectedRows.isEmpty();
    state.clearQueue = !queue.isEmpty();
    if (queue.isEmpty())
        state.transfer = false;
    else if (m_app.left().button(SideButton::Transfer).enabled)
        state.transfer = true;
    else
        state.transfer = transferEnabled;
    return state;
}

void QueueCommands::TransferButtonRule() {
    const bool enable = !m_app.queue().isEmpty() && !runActive();
    m_app.left().setButtonEnabled(SideButton::Transfer, enable);
    m_app.right().setButtonEnabled(SideButton::Transfer, enable);
}

void QueueCommands::EditTarget(int row) {
    QueueModel& queue = m_app.queue();
    if (row < 0 || row >= queue.count())
        return;
    const auto answer = m_app.prompts().inputBox(QStringLiteral("Change To"),
                                                 QStringLiteral("New To"),
                                                 queue.entry(row).TargetPath);
    if (answer && !answer->isEmpty())
        queue.setTargetPath(row, *answer);
}

void QueueCommands::DeleteEntries(const QList<int>& rows) {
    m_app.queue().removeEntries(rows);
    TransferButtonRule();
}

int QueueCommands::MoveUp(int row) {
    return m_app.queue().MoveUp(row, runActive());
}

int QueueCommands::MoveDown(int row) {
    return m_app.queue().MoveDown(row, runActive());
}

void QueueCommands::ClearQueue() {
    m_app.services().beep();
    if (!m_app.prompts().confirm(QStringLiteral("Clear Queue, Are you sure")))
        return;
    m_app.queue().clear();
    m_app.left().setButtonEnabled(SideButton::Transfer, false);
    m_app.right().setButtonEnabled(SideButton::Transfer, false);
}

void QueueCommands::QueueInfo() {
    m_app.prompts().information(m_app.queue().QueueInfoText(QLocale()));
}

void QueueCommands::SaveQueue() {
    const QString path = m_app.prompts().saveFileName(
        QStringLiteral("Save Queue"), m_app.paths().directory(), SaveFilter, QStringLiteral("kqf"));
    if (path.isEmpty())
        return;
    const QString error = QueueFile::Write(path, m_app.queue().entries());
    if (!error.isEmpty())
        m_app.prompts().error(error);
}

void QueueCommands::LoadQueue() {
    const QString path = m_app.prompts().openFileName(
        QStringLiteral("Load Queue"), m_app.paths().directory(),
        QStringLiteral("(Korvane Queue File) (*.kqf)"));
    if (!path.isEmpty())
        LoadQueueFile(path);
}

bool QueueCommands::LoadQueueFile(const QString& path, QString* error) {
    const QueueFile::ReadResult read = QueueFile::Read(path);
    m_app.queue().append(read.entries);
    // A run in progress keeps its buttons; otherwise the queue can start.
    TransferButtonRule();
    if (read.error.isEmpty())
        return true;
    m_app.ReportUnhandledError(QStringLiteral("EConvertError"), read.error);
    if (error)
        *error = read.error;
    return false;
}
