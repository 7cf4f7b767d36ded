#include "listing/SelectionSummary.h"

#include "app/Side.h"
#include "listing/ListingParser.h"
#include "net/FtpSession.h"

SelectionCounts CountSelection(const std::vector<DirEntry>& entries,
                               const QList<int>& selectedRows) {
    SelectionCounts c;
    for (const DirEntry& e : entries) {
        if (e.kind == EntryKind::File)
            ++c.files;
        else if (e.kind != EntryKind::Parent)
            ++c.folders;
    }
    for (int row : selectedRows) {
        if (row < 0 || size_t(row) >= entries.size())
            continue;
        const DirEntry& e = entries[size_t(row)];
        if (e.kind == EntryKind::Parent)
            continue;
        c.bytes += e.size;
        ++c.selected;
    }
    return c;
}

QString FormatSelectionSummary(const SelectionCounts& c, const QLocale& locale) {
    QString text = QStringLiteral("%1 folder(s), %2 file(s), %3 total")
                       .arg(c.folders)
                       .arg(c.files)
                       .arg(c.folders + c.files);
    if (c.selected > 0)
        text += QStringLiteral(", %1 selected  (%2 bytes)")
                    .arg(c.selected)
                    .arg(FormatSizeText(c.bytes, locale));
    return text;
}

void UpdateSelectionSummary(Side& side) {
    if (!side.session().isConnected() || side.listing().count() == 0)
        return;
    side.setSummaryText(FormatSelectionSummary(
        CountSelection(side.listing().entries(), side.selectedRows()), QLocale()));
}
