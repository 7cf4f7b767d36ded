#pragma once

#include <QString>
#include <QStringList>

#include <cstdint>
#include <unordered_map>
#include <vector>

// Finds the first of a list of names that contains a text, without reading
// every name: each name is filed under the four-letter pieces it holds,
// and only the names holding the text's rarest piece are read.
class NameIndex {
public:
    // Four UTF-16 units fill the 64 bits of a piece's key.
    static constexpr qsizetype PieceLength = 4;

    explicit NameIndex(const QStringList& names);
    // The lowest row whose name contains text; -1 when none does.
    int FirstContaining(const QString& text) const;
    // The highest row still there whose name contains text; -1 when none does.
    template <typename Present>
    int LastContaining(const QString& text, Present present) const {
        if (text.size() < PieceLength) {
            for (int row = int(m_names.size()) - 1; row >= 0; --row)
                if (present(row) && m_names.at(row).contains(text))
                    return row;
            return -1;
        }
        const std::vector<int>* rows = rarestPiece(text);
        if (!rows)
            return -1;
        for (auto it = rows->rbegin(); it != rows->rend(); ++it)
            if (present(*it) && m_names.at(*it).contains(text))
                return *it;
        return -1;
    }

private:
    // The rows filed under text's rarest piece; null when a piece is nowhere.
    const std::vector<int>* rarestPiece(const QString& text) const;
    static std::uint64_t pieceAt(const QString& text, qsizetype at);

    const QStringList& m_names;
    std::unordered_map<std::uint64_t, std::vector<int>> m_rows;
};
