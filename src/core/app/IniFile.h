#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

#include <utility>

// An INI file with Windows-profile semantics: sections and keys match without
// regard to ASCII case, lines keep their order, values are raw bytes (strings
// are UTF-8), "key=value" is written without blanks and lines end in CR LF.
//
// The file is read when the object is made; reads are served from that copy.
// Each write rewrites the whole file atomically at once, unless it happens
// between beginUpdate() and endUpdate(), which save once for the whole group.
class IniFile {
public:
    explicit IniFile(QString path);

    QString path() const { return m_path; }
    // False when the file exists but could not be read; writes are then
    // refused so that a partial copy never replaces it.
    bool isReadable() const { return !m_loadFailed; }
    bool reload();

    bool sectionExists(const QByteArray& section) const;
    bool keyExists(const QByteArray& section, const QByteArray& key) const;
    QList<QByteArray> sectionNames() const;
    QList<QByteArray> readSection(const QByteArray& section) const; // key names in file order
    // Every key of a section with its value, in file order, in one pass; a
    // repeated key counts once, with its first value.
    QList<std::pair<QByteArray, QByteArray>> readSectionEntries(const QByteArray& section) const;

    QByteArray readValue(const QByteArray& section, const QByteArray& key,
                         const QByteArray& defaultValue = {}) const;
    QString readString(const QByteArray& section, const QByteArray& key,
                       const QString& defaultValue = {}) const;
    int readInteger(const QByteArray& section, const QByteArray& key, int defaultValue) const;
    bool readBool(const QByteArray& section, const QByteArray& key, bool defaultValue) const;

    // Each returns false when nothing was written: a name or value that cannot
    // be stored in a line, an unreadable original, or a failed save.
    bool writeValue(const QByteArray& section, const QByteArray& key, const QByteArray& value);
    bool writeString(const QByteArray& section, const QByteArray& key, const QString& value);
    bool writeInteger(const QByteArray& section, const QByteArray& key, int value);
    bool writeBool(const QByteArray& section, const QByteArray& key, bool value);
    bool eraseSection(const QByteArray& section);
    bool deleteKey(const QByteArray& section, const QByteArray& key);
    // The section's keys become exactly these, in this order (other lines of
    // the section stay). Refused as a whole when one cannot be stored.
    bool replaceSectionEntries(const QByteArray& section,
                               const QList<std::pair<QByteArray, QByteArray>>& entries);

    // Groups writes into one save. endUpdate() returns false if any write of
    // the group was refused or the save failed.
    void beginUpdate();
    bool endUpdate();

    // Decimal with optional sign, or hexadecimal after "$" or "0x".
    static bool ParseInteger(const QByteArray& text, int& value);

private:
    struct Line {
        QByteArray text;    // the line as read or built, without line end
        QByteArray section; // for section lines: the name
        QByteArray key;     // for key lines: the name
        QByteArray value;   // for key lines: the value
        enum Kind { Other, Section, Key } kind = Other;
    };

    int findSection(const QByteArray& section) const;
    // The section's header line, appended at the end when it is missing.
    int findOrAppendSection(const QByteArray& section);
    int sectionEnd(int sectionLine) const;
    int findKey(int sectionLine, const QByteArray& key) const;
    bool changed(bool accepted);
    bool save();

    QString m_path;
    QList<Line> m_lines;
    bool m_loadFailed = false;
    bool m_byteOrderMark = false; // the file began with a UTF-8 BOM
    int m_updateDepth = 0;
    bool m_updateDirty = false;
    bool m_updateRefused = false;
};
