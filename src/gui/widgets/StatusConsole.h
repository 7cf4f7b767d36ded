#pragma once

#include "app/Colour.h"

#include <QAbstractScrollArea>
#include <QFontMetrics>
#include <QList>
#include <QStringList>

#include <array>
#include <deque>

class QTimer;
class StatusLineStore;

// The colour-coded status window (`wcStatus`): draws the lines of a
// StatusLineStore, word-wrapped to the width, and follows its signals.
// Each line's rows are laid out once and cached, so appending costs one
// line's layout. Painting and the scroll bar follow at most once per frame,
// so a burst of lines costs one paint, and at the end only the new rows.
class StatusConsole : public QAbstractScrollArea {
    Q_OBJECT

public:
    static constexpr int LeftMargin = 4;

    explicit StatusConsole(StatusLineStore& store, QWidget* parent = nullptr);

    StatusLineStore& store() const { return m_store; }

    int totalRows() const;
    int firstVisibleRow() const;
    // Whole rows that fit in the viewport (at least 1).
    int visibleRowCount() const;
    bool isAtEnd() const;
    void scrollToEnd();
    // Moves the view as the user would; following resumes only at the end.
    void scrollToRow(int row);
    int lineHeight() const { return m_lineHeight; }
    // The display rows of one line, for checking the wrap.
    QStringList rowsOfLine(int index) const;
    // The colour a line is drawn in; system colours resolve against the palette.
    QColor displayColour(Colour colour) const;

signals:
    void doubleClicked();

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void scrollContentsBy(int dx, int dy) override;

private:
    struct LineLayout {
        qint64 firstRow = 0;  // absolute: row numbers never go back, so trims cost nothing
        int width = 0;        // advance of the whole text
        QList<int> rowStarts; // where the second and later rows start
        int rows() const { return int(rowStarts.size()) + 1; }
    };

    void onLineAppended(int index);
    void onLinesRemoved(int count);
    void onCleared();

    void fontChanged();
    void relayoutAll();
    int measure(const QString& text) const;
    int advanceAt(const QString& text, int index, int length) const;
    void wrapLine(const QString& text, LineLayout& layout) const;
    qint64 baseRow() const;
    qint64 lastFirstRow() const;
    int lineAtAbsoluteRow(qint64 row) const;
    void setFirstRow(qint64 row);
    void syncScrollBar();
    void requestFlush(bool full);
    void flush();

    StatusLineStore& m_store;
    std::deque<LineLayout> m_layouts;
    qint64 m_endRow = 0; // absolute row after the last line
    QFontMetrics m_metrics;
    mutable std::array<int, 256> m_latin1Advance{};
    int m_lineHeight = 1;
    int m_ascent = 0;
    int m_layoutWidth = -1;

    // The view's state; the scroll bar is brought in line at the next flush.
    qint64 m_firstRow = 0; // absolute
    bool m_followEnd = true;
    qint64 m_barBase = 0; // absolute row of scroll bar value 0
    bool m_adjusting = false;
    QTimer* m_flushTimer = nullptr;
    // What the pixels show, so a flush can blit instead of repainting.
    qint64 m_paintedFirstRow = 0;
    qint64 m_dirtyFromRow = -1;
    bool m_fullPending = false;
};
