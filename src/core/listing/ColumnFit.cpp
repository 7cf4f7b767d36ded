#include "listing/ColumnFit.h"

namespace {
constexpr int Name = 0, Size = 1, Date = 2, Owner = 3, Group = 4, Attrib = 5;

ColumnFit Fixed(int width) {
    return {ColumnFit::Fixed, width};
}
} // namespace

std::array<ColumnFit, 6> FitColumns(const ColumnMeasures& m, const ColumnChoice& shown) {
    std::array<ColumnFit, 6> fit;
    const auto& w = m.widest;
    if (m.itemCount >= 2) {
        fit[Name] = w[Name] < 62 ? Fixed(w[Name] + 60) : ColumnFit{ColumnFit::Contents, 0};
        if (shown.size) {
            const int room = 4 * m.sizeHeaderWidth;
            fit[Size] = room >= w[Size] ? Fixed(room) : ColumnFit{ColumnFit::Contents, 0};
        }
        if (shown.date)
            fit[Date] = w[Date] < 81 ? Fixed(91) : ColumnFit{ColumnFit::Contents, 0};
        for (int c : {Owner, Group}) {
            if (c == Owner ? shown.owner : shown.group)
                fit[std::size_t(c)] = w[std::size_t(c)] < 51 ? ColumnFit{ColumnFit::Header, 0}
                                                   : ColumnFit{ColumnFit::Contents, 0};
        }
        fit[Attrib] = Fixed(shown.attrib ? m.attribWidth : 0);
        return fit;
    }
    int n = 6;
    for (bool on : {shown.size, shown.date, shown.owner, shown.group, shown.attrib})
        n -= on ? 0 : 1;
    const int share = m.listWidth / n;
    fit[Name] = Fixed(share);
    fit[Size] = Fixed(shown.size ? share - 1 : 0);
    fit[Date] = Fixed(shown.date ? share - 1 : 0);
    fit[Owner] = Fixed(shown.owner ? share - 1 : 0);
    fit[Group] = Fixed(shown.group ? share - 1 : 0);
    fit[Attrib] = Fixed(shown.attrib ? m.listWidth / 5 - 1 : 0);
    return fit;
}
