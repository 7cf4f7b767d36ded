#include "widgets/StatusPane.h"

#include "app/DesktopServices.h"
#include "app/ErrorLog.h"
#include "app/StatusLog.h"
#include "app/UserPrompts.h"
#include "widgets/StatusConsole.h"

#include <QAction>
#include <QDir>
#include <QGridLayout>
#include <QMenu>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QTextCursor>
#include <QTextDocumentFragment>

StatusPane::StatusPane(StatusLog& log, DesktopServices& services, UserPrompts& prompts,
                       QWidget* parent)
    : QWidget(parent), m_log(log), m_services(services), m_prompts(prompts) {
    m_console = new StatusConsole(log.lines(), this);

    m_errorWindow = new QPlainTextEdit(this);
    m_errorWindow->setObjectName(QStringLiteral("tError"));
    m_errorWindow->setReadOnly(true);
    m_errorWindow->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    m_errorWindow->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_errorWindow->hide();
    rebuildErrorWindow();

    // Both in one cell: tError lies over wcStatus and only one is seen.
    auto* layout = new QGridLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_console, 0, 0);
    layout->addWidget(m_errorWindow, 0, 0);
    m_errorWindow->raise();

    m_statusMenu = new QMenu(this);
    m_statusMenu->setObjectName(QStringLiteral("RTPopup"));
    addMenuAction(m_statusMenu, "ErrorOnlyStatusWindow1",
                  QStringLiteral("&Error Only Status Window"), &StatusPane::showErrorOnly);
    addMenuAction(m_statusMenu, "Copy1", QStringLiteral("&Copy to Clipboard"),
                  &StatusPane::copyStatusToClipboard);
    addMenuAction(m_statusMenu, "SavetoFile1", QStringLiteral("&Save to File"),
                  &StatusPane::saveStatusToFile);
    addMenuAction(m_statusMenu, "Clear1", QStringLiteral("C&lear"), &StatusPane::clearStatus);

    m_errorMenu = new QMenu(this);
    m_errorMenu->setObjectName(QStringLiteral("PopError"));
    addMenuAction(m_errorMenu, "DefaultStatus1", QStringLiteral("&Default Status Window"),
                  &StatusPane::showDefault);
    addMenuAction(m_errorMenu, "CopytoClipboard1", QStringLiteral("&Copy to Clipboard"),
                  &StatusPane::copyErrorsToClipboard);
    addMenuAction(m_errorMenu, "Clear2", QStringLiteral("C&lear"), &StatusPane::clearErrors);

    m_console->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(m_console, &QWidget::customContextMenuRequested, this, [this](const QPoint& pos) {
        m_statusMenu->popup(m_console->viewport()->mapToGlobal(pos));
    });
    m_errorWindow->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(m_errorWindow, &QWidget::customContextMenuRequested, this, [this](const QPoint& pos) {
        m_errorMenu->popup(m_errorWindow->viewport()->mapToGlobal(pos));
    });

    connect(m_console, &StatusConsole::doubleClicked, this, [this] { m_log.showStatusInViewer(); });

    ErrorLines& errors = log.errorLines();
    connect(&errors, &ErrorLines::lineAppended, m_errorWindow, &QPlainTextEdit::appendPlainText);
    // Rare and at most about 100 lines: rebuilding keeps the window an exact
    // copy even of lines that hold line breaks of their own.
    connect(&errors, &ErrorLines::firstLineRemoved, this, &StatusPane::rebuildErrorWindow);
    connect(&errors, &ErrorLines::cleared, m_errorWindow, &QPlainTextEdit::clear);
}

QAction* StatusPane::addMenuAction(QMenu* menu, const char* objectName, const QString& text,
                                   void (StatusPane::*slot)()) {
    QAction* action = menu->addAction(text);
    action->setObjectName(QLatin1String(objectName));
    connect(action, &QAction::triggered, this, slot);
    return action;
}

bool StatusPane::isErrorOnly() const {
    return !m_errorWindow->isHidden();
}

void StatusPane::showErrorOnly() {
    m_errorWindow->show();
    m_errorWindow->raise();
}

void StatusPane::showDefault() {
    m_errorWindow->hide();
}

void StatusPane::toggleErrorOnly() {
    if (isErrorOnly())
        showDefault();
    else
        showErrorOnly();
}

void StatusPane::copyStatusToClipboard() {
    m_log.copyStatusToClipboard();
}

void StatusPane::saveStatusToFile() {
    const QString path = m_prompts.saveFileName(QString(), m_log.dataDirectory(),
                                                QStringLiteral("Log File (*.log)"));
    if (path.isEmpty())
        return;
    QString error;
    if (!m_log.lines().saveToFile(path, &error)) {
        ErrorLog(m_log).logUnhandledError(QStringLiteral("StatusLineStore"),
                                          QStringLiteral("Cannot create file \"%1\". %2")
                                              .arg(QDir::toNativeSeparators(path), error));
    }
}

void StatusPane::clearStatus() {
    m_log.lines().clear();
}

void StatusPane::copyErrorsToClipboard() {
    m_errorWindow->selectAll();
    const QString text = m_errorWindow->textCursor().selection().toPlainText();
    if (!text.isEmpty())
        m_services.setClipboardText(text);
    m_errorWindow->ensureCursorVisible();
}

void StatusPane::clearErrors() {
    m_log.errorLines().clear();
}

void StatusPane::rebuildErrorWindow() {
    QScrollBar* bar = m_errorWindow->verticalScrollBar();
    const bool atEnd = bar->value() >= bar->maximum();
    const int value = bar->value();
    m_errorWindow->setPlainText(m_log.errorLines().lines().join(QLatin1Char('\n')));
    bar->setValue(atEnd ? bar->maximum() : value);
}
