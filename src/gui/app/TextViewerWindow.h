#pragma once

#include <QMainWindow>

class QAction;
class QMenu;
class QPlainTextEdit;
class SettingsStore;
class StatusLog;
class UserPrompts;

// The text viewer (`TFrmDir`): a stay-on-top window showing the status lines
// or a collected help reply as read-only text. Its geometry and font live in
// the settings section _CusWindow_; closing it clears the status log's
// viewer-open flag so the next request can open it again.
class TextViewerWindow : public QMainWindow {
    Q_OBJECT

public:
    TextViewerWindow(StatusLog& log, const SettingsStore& settings, UserPrompts& prompts,
                     QWidget* parent = nullptr);

    // Shows caption and text, centred over `over` (or the parent), then moved
    // to the stored geometry when _CusWindow_ exists.
    void open(const QString& caption, const QString& text, QWidget* over = nullptr);

    QPlainTextEdit* textBox() const { return m_text; }
    QString text() const;
    bool wordWrap() const;
    void setWordWrap(bool on);

public slots:
    void save();
    void saveSelectionAs();
    void changeFont();

signals:
    void closed();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    QAction* addAction(QMenu* menu, const char* objectName, const QString& text);
    void applyStoredFont();
    void writeTextFile(const QString& text, const QString& title);
    void reportError(const QString& message);

    StatusLog& m_log;
    const SettingsStore& m_settings;
    UserPrompts& m_prompts;
    QPlainTextEdit* m_text = nullptr;
    QAction* m_wordWrap = nullptr;
    QMenu* m_popup = nullptr;
    QString m_fontColour = QStringLiteral("clWindowText");
};
