#pragma once

class QWidget;

// Puts a window's centre on the centre of another's frame (its left = the
// other's left + half its width - half the window's own width; the same
// vertically). Nothing happens without the other window.
void CentreOver(QWidget* window, const QWidget* over);
