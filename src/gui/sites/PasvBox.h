#pragma once

class QCheckBox;
class QString;

// The three-state PASV box shared by the site manager and quick connect:
// clear is mode 1, ticked 2, greyed 3 (the global "Alt List" setting, whose
// current value the box's hint names).
QCheckBox* MakePasvBox(const QString& caption, bool altList);
void SetPasvMode(QCheckBox* box, int mode);
int PasvMode(const QCheckBox* box);
