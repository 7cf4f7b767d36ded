#include "dupes/NameIndex.h"

std::uint64_t NameIndex::pieceAt(const QString& text, qsizetype at) {
    std::uint64_t piece = 0;
    for (qsizetype i = 0; i < PieceLength; ++i)
        piece = piece << 16 | text.at(at + i).unicode();
    return piece;
}

NameIndex::NameIndex(const QStringList& names) : m_names(names) {
    qsizetype pieces = 0;
    for (const QString& name : names)
        pieces += std::max<qsizetype>(0, name.size() - PieceLength + 1);
    // Most pieces of real names repeat; this keeps the table from regrowing.
    m_rows.reserve(size_t(pieces / 4 + 1));
    for (int row = 0; row < names.size(); ++row) {
        const QString& name = names.at(row);
        for (qsizetype at = 0; at + PieceLength <= name.size(); ++at) {
            std::vector<int>& rows = m_rows[pieceAt(name, at)];
            // A piece twice in one name files it once.
            if (rows.empty() || rows.back() != row)
                rows.push_back(row);
        }
    }
}

int NameIndex::FirstContaining(const QString& text) const {
    if (text.size() < PieceLength) {
        for (int row = 0; row < m_names.size(); ++row)
            if (m_names.at(row).contains(text))
                return row;
        return -1;
    }
    const std::vector<int>* rows = rarestPiece(text);
    if (!rows)
        return -1;
    for (int row : *rows)
        if (m_names.at(row).contains(text))
            return row;
    return -1;
}

const std::vector<int>* NameIndex::rarestPiece(const QString& text) const {
    const std::vector<int>* rarest = nullptr;
    for (qsizetype at = 0; at + PieceLength <= text.size(); ++at) {
        const auto found = m_rows.find(pieceAt(text, at));
        if (found == m_rows.end())
            return nullptr;
        if (!rarest || found->second.size() < rarest->size())
            rarest = &found->second;
    }
    return rarest;
}
