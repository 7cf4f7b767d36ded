#include "sites/NotesEdit.h"

#include <QKeyEvent>
#include <QMimeData>
#include <QTextCursor>

NotesEdit::NotesEdit(QWidget* parent) : QPlainTextEdit(parent) {
    setTabChangesFocus(true);
}

int NotesEdit::room() const {
    const QTextCursor cursor = textCursor();
    const int selected = cursor.selectionEnd() - cursor.selectionStart();
    return MaxLength - (int(toPlainText().size()) - selected);
}

void NotesEdit::keyPressEvent(QKeyEvent* event) {
    const QString text = event->text();
    if (text.contains(QLatin1Char(';'))) {
        event->accept();
        return;
    }
    const bool adds = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter ||
                      (!text.isEmpty() && text.at(0).isPrint());
    if (adds && !(event->modifiers() & Qt::ControlModifier) && room() < 1) {
        event->accept();
        return;
    }
    QPlainTextEdit::keyPressEvent(event);
}

void NotesEdit::insertFromMimeData(const QMimeData* source) {
    if (!source->hasText())
        return;
    QString text = source->text();
    text.remove(QLatin1Char(';'));
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    text.truncate(qMax(0, room()));
    insertPlainText(text);
}
