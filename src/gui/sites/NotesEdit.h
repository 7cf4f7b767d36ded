#pragma once

#include <QPlainTextEdit>

// The site's notes: at most MaxLength characters, and no ";", which is the
// stored line separator and would come back as a line break.
class NotesEdit : public QPlainTextEdit {
    Q_OBJECT
public:
    static constexpr int MaxLength = 250;

    explicit NotesEdit(QWidget* parent = nullptr);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void insertFromMimeData(const QMimeData* source) override;

private:
    // Characters that may still be added, the selection being replaced.
    int room() const;
};
