#include "widgets/StatusConsole.h"

#include "app/StatusLineStore.h"
#include "widgets/GuiColours.h"

#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QScrollBar>
#include <QTimer>

#include <algorithm>

StatusConsole::StatusConsole(StatusLineStore& store, QWidget* parent)
    : QAbstractScrollArea(parent), m_store(store), m_metrics(font()) {
    setObjectName(QStringLiteral("wcStatus"));
    // A scroll bar that came and went with the row count would change the
    // width, the wrap and so the row count again.
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    viewport()->setBackgroundRole(QPalette::Base);
    viewport()->setAutoFillBackground(true);
    // About a frame: more paints than the screen shows would only cost time.
    m_flushTimer = new QTimer(this);
    m_flushTimer->setSingleShot(true);
    m_flushTimer->setInterval(15);
    connect(m_flushTimer, &QTimer::timeout, this, &StatusConsole::flush);
    fontChanged();

    for (int i = 0; i < m_store.count(); ++i)
        onLineAppended(i);
    connect(&m_store, &StatusLineStore::lineAppended, this, &StatusConsole::onLineAppended);
    connect(&m_store, &StatusLineStore::linesRemoved, this, &StatusConsole::onLinesRemoved);
    connect(&m_store, &StatusLineStore::cleared, this, &StatusConsole::onCleared);
}

int StatusConsole::totalRows() const {
    return m_layouts.empty() ? 0 : int(m_endRow - m_layouts.front().firstRow);
}

int StatusConsole::firstVisibleRow() const {
    return int(m_firstRow - baseRow());
}

int StatusConsole::visibleRowCount() const {
    return std::max(1, viewport()->height() / m_lineHeight);
}

bool StatusConsole::isAtEnd() const {
    return m_firstRow >= lastFirstRow();
}

void StatusConsole::scrollToEnd() {
    scrollToRow(totalRows());
}

void StatusConsole::scrollToRow(int row) {
    m_followEnd = false;
    setFirstRow(baseRow() + row);
    m_followEnd = isAtEnd();
    requestFlush(true);
}

QStringList StatusConsole::rowsOfLine(int index) const {
    QStringList rows;
    if (index < 0 || index >= int(m_layouts.size()))
        return rows;
    const QString& text = m_store.line(index).text;
    const LineLayout& layout = m_layouts[index];
    int start = 0;
    for (int next : layout.rowStarts) {
        rows << text.mid(start, next - start);
        start = next;
    }
    rows << text.mid(start);
    return rows;
}

QColor StatusConsole::displayColour(Colour colour) const {
    return ColourToQColor(colour, viewport()->palette());
}

// --- layout -----------------------------------------------------------------

void StatusConsole::fontChanged() {
    m_metrics = QFontMetrics(font());
    m_lineHeight = std::max(1, m_metrics.lineSpacing());
    m_ascent = m_metrics.ascent();
    m_latin1Advance.fill(-1);
    for (int i = 0; i < int(m_layouts.size()); ++i)
        m_layouts[i].width = measure(m_store.line(i).text);
    m_layoutWidth = -1;
    relayoutAll();
}

int StatusConsole::advanceAt(const QString& text, int index, int length) const {
    const QChar c = text.at(index);
    if (length == 1 && c.unicode() < 256) {
        int& cached = m_latin1Advance[c.unicode()];
        if (cached < 0)
            cached = m_metrics.horizontalAdvance(c);
        return cached;
    }
    return m_metrics.horizontalAdvance(text.mid(index, length));
}

static int unitLength(const QString& text, int index) {
    // A surrogate pair is one character and never split across rows.
    return text.at(index).isHighSurrogate() && index + 1 < text.size() &&
                   text.at(index + 1).isLowSurrogate()
               ? 2
               : 1;
}

int StatusConsole::measure(const QString& text) const {
    int width = 0;
    for (int i = 0; i < text.size();) {
        const int length = unitLength(text, i);
        width += advanceAt(text, i, length);
        i += length;
    }
    return width;
}

void StatusConsole::wrapLine(const QString& text, LineLayout& layout) const {
    layout.rowStarts.clear();
    const int limit = m_layoutWidth;
    // Before the first layout there is no width to wrap at.
    if (limit <= LeftMargin || LeftMargin + layout.width < limit)
        return;
    int x = LeftMargin;
    int rowStart = 0;
    int lastSpace = -1;
    int xAfterSpace = LeftMargin;
    for (int i = 0; i < text.size();) {
        const int length = unitLength(text, i);
        const int w = advanceAt(text, i, length);
        // A row always keeps at least one character.
        while (x + w >= limit && i > rowStart) {
            if (lastSpace >= rowStart) {
                rowStart = lastSpace + 1;
                x = LeftMargin + (x - xAfterSpace);
            } else {
                rowStart = i;
                x = LeftMargin;
            }
            lastSpace = -1;
            if (rowStart < text.size())
                layout.rowStarts.append(rowStart);
        }
        x += w;
        if (text.at(i) == QLatin1Char(' ')) {
            lastSpace = i;
            xAfterSpace = x;
        }
        i += length;
    }
}

void StatusConsole::relayoutAll() {
    const int width = viewport()->width();
    const bool rewrap = width != m_layoutWidth;
    // Keep the top line in place when the user reads back.
    int topLine = -1;
    if (!m_followEnd && !m_layouts.empty())
        topLine = lineAtAbsoluteRow(m_firstRow);
    m_layoutWidth = width;

    qint64 row = m_layouts.empty() ? m_endRow : m_layouts.front().firstRow;
    for (int i = 0; i < int(m_layouts.size()); ++i) {
        LineLayout& layout = m_layouts[i];
        if (rewrap)
            wrapLine(m_store.line(i).text, layout);
        layout.firstRow = row;
        row += layout.rows();
    }
    m_endRow = row;

    setFirstRow(m_followEnd || topLine < 0 ? m_firstRow : m_layouts[topLine].firstRow);
    requestFlush(true);
}

qint64 StatusConsole::baseRow() const {
    return m_layouts.empty() ? m_endRow : m_layouts.front().firstRow;
}

qint64 StatusConsole::lastFirstRow() const {
    return baseRow() + std::max(0, totalRows() - visibleRowCount());
}

void StatusConsole::setFirstRow(qint64 row) {
    const qint64 last = lastFirstRow();
    m_firstRow = m_followEnd ? last : std::clamp(row, baseRow(), last);
}

int StatusConsole::lineAtAbsoluteRow(qint64 row) const {
    auto it = std::upper_bound(m_layouts.begin(), m_layouts.end(), row,
                               [](qint64 r, const LineLayout& l) { return r < l.firstRow; });
    if (it == m_layouts.begin())
        return 0;
    return int(it - m_layouts.begin()) - 1;
}

// --- the store's signals -------------------------------------------------------

void StatusConsole::onLineAppended(int index) {
    Q_ASSERT(index == int(m_layouts.size()));
    LineLayout layout;
    const QString& text = m_store.line(index).text;
    layout.width = measure(text);
    wrapLine(text, layout);
    layout.firstRow = m_endRow;
    m_endRow += layout.rows();
    if (m_dirtyFromRow < 0)
        m_dirtyFromRow = layout.firstRow;
    m_layouts.push_back(std::move(layout));
    // Scrolled back: the view stays and only the scroll bar learns of the line.
    setFirstRow(m_firstRow);
    requestFlush(false);
}

void StatusConsole::onLinesRemoved(int count) {
    count = std::min(count, int(m_layouts.size()));
    if (count <= 0)
        return;
    m_layouts.erase(m_layouts.begin(), m_layouts.begin() + count);
    // Reading back, the same text stays in view as long as it exists.
    setFirstRow(m_firstRow);
    requestFlush(false);
}

void StatusConsole::onCleared() {
    m_layouts.clear();
    m_followEnd = true;
    setFirstRow(m_endRow);
    requestFlush(true);
}

// --- scrolling and painting ------------------------------------------------------

void StatusConsole::syncScrollBar() {
    QScrollBar* bar = verticalScrollBar();
    m_barBase = baseRow();
    m_adjusting = true;
    bar->setPageStep(visibleRowCount());
    bar->setSingleStep(1);
    bar->setRange(0, std::max(0, totalRows() - visibleRowCount()));
    bar->setValue(firstVisibleRow());
    m_adjusting = false;
}

void StatusConsole::scrollContentsBy(int, int) {
    if (m_adjusting)
        return;
    // The user moved the bar, whose numbers date from the last flush.
    m_followEnd = false;
    setFirstRow(m_barBase + verticalScrollBar()->value());
    m_followEnd = isAtEnd();
    requestFlush(true);
}

void StatusConsole::requestFlush(bool full) {
    m_fullPending = m_fullPending || full;
    if (!m_flushTimer->isActive())
        m_flushTimer->start();
}

void StatusConsole::flush() {
    m_flushTimer->stop();
    syncScrollBar();
    QWidget* view = viewport();
    const qint64 first = m_firstRow;
    const qint64 shift = first - m_paintedFirstRow;
    const int rows = visibleRowCount();
    const qint64 dirtyFrom = m_dirtyFromRow;
    const bool full = m_fullPending || shift < 0 || shift >= rows;
    m_paintedFirstRow = first;
    m_dirtyFromRow = -1;
    m_fullPending = false;
    if (full) {
        view->update();
        return;
    }
    if (shift > 0)
        view->scroll(0, int(-shift * m_lineHeight));
    if (dirtyFrom >= 0) {
        // Only the rows of the new lines that are in view.
        const qint64 y = std::max<qint64>(0, (dirtyFrom - first) * m_lineHeight);
        if (y < view->height())
            view->update(0, int(y), view->width(), view->height() - int(y));
    }
}

void StatusConsole::paintEvent(QPaintEvent* event) {
    // Pixels painted now would be blitted by a pending flush; let it repaint.
    if (m_flushTimer->isActive())
        m_fullPending = true;

    QPainter painter(viewport());
    painter.setFont(font());
    const QRect area = event->rect();
    if (m_layouts.empty())
        return;
    const qint64 first = m_firstRow;
    const qint64 firstRow = first + area.top() / m_lineHeight;
    const qint64 lastRow = first + area.bottom() / m_lineHeight;

    for (int index = lineAtAbsoluteRow(firstRow); index < int(m_layouts.size()); ++index) {
        const LineLayout& layout = m_layouts[index];
        if (layout.firstRow > lastRow)
            break;
        const StatusLine& line = m_store.line(index);
        painter.setPen(displayColour(line.colour));
        const int rowCount = layout.rows();
        for (int r = 0; r < rowCount; ++r) {
            const qint64 row = layout.firstRow + r;
            if (row < firstRow || row > lastRow)
                continue;
            const int start = r == 0 ? 0 : layout.rowStarts[r - 1];
            const int end = r + 1 < rowCount ? layout.rowStarts[r] : int(line.text.size());
            const int y = int(row - first) * m_lineHeight + m_ascent;
            painter.drawText(QPoint(LeftMargin, y), line.text.mid(start, end - start));
        }
    }
}

void StatusConsole::resizeEvent(QResizeEvent* event) {
    QAbstractScrollArea::resizeEvent(event);
    relayoutAll();
}

void StatusConsole::changeEvent(QEvent* event) {
    QAbstractScrollArea::changeEvent(event);
    if (event->type() == QEvent::FontChange)
        fontChanged();
    else if (event->type() == QEvent::PaletteChange)
        requestFlush(true);
}

void StatusConsole::mouseDoubleClickEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton)
        emit doubleClicked();
    QAbstractScrollArea::mouseDoubleClickEvent(event);
}
