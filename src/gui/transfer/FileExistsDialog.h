#pragma once

#include "transfer/FileExists.h"

#include <QDialog>
#include <QTimer>

class QLabel;

// "File Exists, Now what?": a download's local file is there already. The
// result is a FileExistsChoice; with "Wait" on it counts down and chooses
// Overwrite by itself.
class FileExistsDialog : public QDialog {
    Q_OBJECT
public:
    FileExistsDialog(const FileExistsQuestion& question, QWidget* mainWindow);

    FileExistsChoice choice() const { return FileExistsChoice(result()); }
    QTimer& timer() { return m_timer; }

private:
    void Timer1Timer();

    FileExistsCountdown m_countdown;
    QTimer m_timer;
    QLabel* m_wait;
};
