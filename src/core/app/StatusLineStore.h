#pragma once

#include "Colour.h"

#include <QList>
#include <QObject>
#include <QString>

struct StatusLine {
    QString text;
    Colour colour = clBlack;
};

// The lines of the status console, oldest first. The console widget only
// draws what this store holds and follows its signals.
class StatusLineStore : public QObject {
    Q_OBJECT

public:
    static constexpr int MaxLineLength = 1024;
    static constexpr int MaxRecordsLimit = 32768;
    static constexpr int MaxRemoveLimit = 200;
    static constexpr int DefaultMaxRecords = 500;
    static constexpr int DefaultMaxRemove = 10;

    explicit StatusLineStore(QObject* parent = nullptr);

    // `MaxRecords`: 0..32768, other values are ignored.
    int maxRecords() const { return m_maxRecords; }
    void setMaxRecords(int value);
    // `MaxRemove`: 0..200 and below `MaxRecords`, other values are ignored.
    int maxRemove() const { return m_maxRemove; }
    void setMaxRemove(int value);

    void append(const QString& text, Colour colour);
    void clear();

    int count() const { return int(m_lines.size()); }
    bool isEmpty() const { return m_lines.isEmpty(); }
    const StatusLine& line(int index) const { return m_lines.at(index); }
    const QList<StatusLine>& lines() const { return m_lines; }

    // Every line followed by CR LF, as the clipboard gets it.
    QString clipboardText() const;
    // Every line followed by a line feed, as the viewer and a saved file get it.
    QString plainText() const;
    // Replaces the file's contents atomically.
    bool saveToFile(const QString& path, QString* errorMessage = nullptr) const;

signals:
    void lineAppended(int index);
    void linesRemoved(int count); // always the oldest lines
    void cleared();

private:
    void trim();

    QList<StatusLine> m_lines;
    int m_maxRecords = DefaultMaxRecords;
    int m_maxRemove = DefaultMaxRemove;
};
