#include "dupes/NameIndex.h"

std::uint64_t NameIndex::pieceAt(const QString& text, qsizetype at) {
    return std::uint64_t(text.at(at).unicode()) << 32 |
           std::uint64_t(text.at(at + 1).unicode()) << 16 | text.at(at + 2).unicode();
}

NameIndex::NameIndex(const QStringList& names) : m_names(names) {
    for (int row = 0; row < names.size(); ++row) {
        const QString& name = names.at(row);
        for (qsizetype at = 0; at + 3 <= name.size(); ++at) {
            std::vector<int>& rows = m_rows[pieceAt(name, at)];
            // A piece twice in one name files it once.
            if (rows.empty() || rows.back() != row)
                rows.push_back(row);
        }
    }
}

int NameIndex::FirstContaining(const QString& text) const {
    if (text.size() < 3) {
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
    for (qsizetype at = 0; at + 3 <= text.size(); ++at) {
        const auto found = m_rows.find(pieceAt(text, at));
        if (found == m_rows.end())
            return nullptr;
        if (!rarest || found->second.size() < rarest->size())
            rarest = &found->second;
    }
    return rarest;
}
