#pragma once

#include <QObject>
#include <QString>
#include <QStringList>

// The lines of the error-only window (`tError`), plain text without colours.
class ErrorLines : public QObject {
    Q_OBJECT

public:
    // Before an error line is added, the oldest goes once more than this many are held.
    static constexpr int MaxLines = 100;

    explicit ErrorLines(QObject* parent = nullptr);

    // Notices are added as they are, without trimming.
    void append(const QString& text);
    // Error lines keep the window near MaxLines by dropping the oldest first.
    void appendError(const QString& text);
    void clear();

    int count() const { return int(m_lines.size()); }
    const QStringList& lines() const { return m_lines; }
    QString text() const { return m_lines.join(QLatin1Char('\n')); }

signals:
    void lineAppended(const QString& text);
    void firstLineRemoved();
    void cleared();

private:
    QStringList m_lines;
};
