#include "app/TextViewerWindow.h"

#include "widgets/DialogPlacement.h"

#include "app/AtomicFile.h"
#include "app/ErrorLog.h"
#include "app/FontConversion.h"
#include "app/FontDescription.h"
#include "app/SettingsStore.h"
#include "app/StatusLog.h"
#include "app/UserPrompts.h"

#include <QAction>
#include <QCloseEvent>
#include <QDir>
#include <QFontDatabase>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QStatusBar>
#include <QTextDocumentFragment>

namespace {
constexpr int DefaultWidth = 600;
constexpr int DefaultHeight = 400;
} // namespace

TextViewerWindow::TextViewerWindow(StatusLog& log, const SettingsStore& settings,
                                   UserPrompts& prompts, QWidget* parent)
    : QMainWindow(parent, Qt::Window | Qt::WindowStaysOnTopHint), m_log(log), m_settings(settings),
      m_prompts(prompts) {
    setObjectName(QStringLiteral("FrmDir"));
    resize(DefaultWidth, DefaultHeight);

    m_text = new QPlainTextEdit(this);
    m_text->setObjectName(QStringLiteral("RichEdit1"));
    m_text->setReadOnly(true);
    m_text->setLineWrapMode(QPlainTextEdit::NoWrap);
    m_text->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    setCentralWidget(m_text);
    statusBar();

    QMenu* file = menuBar()->addMenu(QStringLiteral("&File"));
    connect(addAction(file, "Save1", QStringLiteral("&Save")), &QAction::triggered, this,
            &TextViewerWindow::save);
    connect(addAction(file, "Close1", QStringLiteral("&Close")), &QAction::triggered, this,
            &QWidget::close);

    QMenu* options = menuBar()->addMenu(QStringLiteral("&Options"));
    connect(addAction(options, "ChangeFont1", QStringLiteral("Change &Font")), &QAction::triggered,
            this, &TextViewerWindow::changeFont);
    m_wordWrap = addAction(options, "WordWrap1", QStringLiteral("&Word Wrap"));
    m_wordWrap->setCheckable(true);
    connect(m_wordWrap, &QAction::toggled, this, &TextViewerWindow::setWordWrap);

    m_popup = new QMenu(this);
    m_popup->setObjectName(QStringLiteral("PopupMenu1"));
    QAction* copy = addAction(m_popup, "ViewerCopy1", QStringLiteral("Copy"));
    QAction* saveSelection =
        addAction(m_popup, "SaveSelectionAs1", QStringLiteral("Save Selection As.."));
    copy->setEnabled(false);
    saveSelection->setEnabled(false);
    connect(m_text, &QPlainTextEdit::copyAvailable, copy, &QAction::setEnabled);
    connect(m_text, &QPlainTextEdit::copyAvailable, saveSelection, &QAction::setEnabled);
    connect(copy, &QAction::triggered, m_text, &QPlainTextEdit::copy);
    connect(saveSelection, &QAction::triggered, this, &TextViewerWindow::saveSelectionAs);
    m_text->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(m_text, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& pos) { m_popup->popup(m_text->viewport()->mapToGlobal(pos)); });
}

QAction* TextViewerWindow::addAction(QMenu* menu, const char* objectName, const QString& text) {
    QAction* action = menu->addAction(text);
    action->setObjectName(QLatin1String(objectName));
    return action;
}

void TextViewerWindow::open(const QString& caption, const QString& text, QWidget* over) {
    setWindowTitle(caption);
    m_text->setPlainText(text);
    applyStoredFont();

    if (!over)
        over = parentWidget();
    CentreOver(this, over);
    if (const auto stored = m_settings.ReadViewerGeometry(QRect(pos(), size()))) {
        move(stored->topLeft());
        resize(stored->size());
    }
    show();
    raise();
    activateWindow();
}

QString TextViewerWindow::text() const {
    return m_text->toPlainText();
}

bool TextViewerWindow::wordWrap() const {
    return m_text->lineWrapMode() != QPlainTextEdit::NoWrap;
}

void TextViewerWindow::setWordWrap(bool on) {
    m_text->setLineWrapMode(on ? QPlainTextEdit::WidgetWidth : QPlainTextEdit::NoWrap);
    m_wordWrap->setChecked(on);
}

void TextViewerWindow::applyStoredFont() {
    const QString stored = m_settings.ReadViewerFont();
    if (stored.isEmpty())
        return;
    FontDescription desc = ToFontDescription(m_text->font(), m_fontColour);
    StringToFont(stored, desc);
    ApplyFontDescription(m_text, desc);
    m_fontColour = desc.colour;
}

void TextViewerWindow::changeFont() {
    const std::optional<FontDescription> font =
        m_prompts.chooseFont(QString(), ToFontDescription(m_text->font(), m_fontColour));
    if (!font)
        return;
    m_text->setFont(ToQFont(*font, m_text->font()));
    if (!m_settings.WriteViewerFont(FontToString(*font)))
        reportError(QStringLiteral("Unable to write the viewer font to %1")
                        .arg(QDir::toNativeSeparators(m_settings.iniPath())));
}

void TextViewerWindow::save() {
    writeTextFile(text(), QString());
}

void TextViewerWindow::saveSelectionAs() {
    const QString selection = m_text->textCursor().selection().toPlainText();
    if (!selection.isEmpty())
        writeTextFile(selection, QStringLiteral("Save Selection As"));
}

void TextViewerWindow::writeTextFile(const QString& text, const QString& title) {
    const QString path = m_prompts.saveFileName(
        title, m_log.dataDirectory(), QStringLiteral("Text File (*.txt)"), QStringLiteral("txt"));
    if (path.isEmpty())
        return;
    QString error;
    if (!WriteFileAtomically(path, text.toUtf8(), &error))
        reportError(QStringLiteral("Cannot create file \"%1\". %2")
                        .arg(QDir::toNativeSeparators(path), error));
}

void TextViewerWindow::reportError(const QString& message) {
    ErrorLog(m_log).logUnhandledError(QStringLiteral("TextViewerWindow"), message);
}

void TextViewerWindow::closeEvent(QCloseEvent* event) {
    m_settings.WriteViewerGeometry(QRect(pos(), size()));
    m_log.setViewerOpen(false);
    QMainWindow::closeEvent(event);
    emit closed();
}
