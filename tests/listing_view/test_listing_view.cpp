// What a side's list shows: entry order by every sort setting, the summary
// line, column widths, and selections that survive a sort.
#include "RecordingDesktopServices.h"
#include "ScriptedUserPrompts.h"
#include "TempDataDir.h"
#include "app/App.h"
#include "listing/ColumnFit.h"
#include "listing/ListingModel.h"
#include "listing/SelectionSummary.h"

#include <QItemSelectionModel>
#include <QtTest>

using namespace Qt::Literals::StringLiterals;

namespace {
const QLocale Us(QLocale::English, QLocale::UnitedStates);

DirEntry Entry(const QString& name, EntryKind kind, qint64 size = 0, int day = 1,
               const QString& owner = u"o"_s) {
    DirEntry e;
    e.name = name;
    e.kind = kind;
    e.size = size;
    e.sizeText = QString::number(size);
    e.date = QDateTime(QDate(2024, 3, day), QTime(12, 0), Qt::UTC);
    e.dateText = e.date.toString(u"MM/dd/yy hh:mm"_s);
    e.owner = owner;
    e.group = owner;
    e.attributes = kind == EntryKind::File ? u"-rw-r--r--"_s : u"drwxr-xr-x"_s;
    return e;
}

QStringList Names(const std::vector<DirEntry>& entries) {
    QStringList names;
    for (const DirEntry& e : entries)
        names.append(e.name);
    return names;
}

// "..", two directories, a link and three files, in listing order.
std::vector<DirEntry> Listing() {
    return {ListingModel::ParentEntry(),
            Entry(u"zeta"_s, EntryKind::File, 10, 5, u"bob"_s),
            Entry(u"Alpha"_s, EntryKind::Directory, 4096, 2, u"carl"_s),
            Entry(u"mid"_s, EntryKind::File, 3000, 9, u"al"_s),
            Entry(u"beta"_s, EntryKind::Directory, 512, 7, u"dan"_s),
            Entry(u"link"_s, EntryKind::Link, 7, 1, u"eve"_s),
            Entry(u"Apple"_s, EntryKind::File, 10, 3, u"bob"_s)};
}
} // namespace

class TestListingView : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void sorting_data();
    void sorting();
    void unreadableDatesSortAsTheirPlaceholder();
    void selectionSummary();
    void columnFit();
    void loadingShowsOneInsertAndSortKeepsSelection();
    void findAndColumnClicks();
};

void TestListingView::sorting_data() {
    QTest::addColumn<int>("column");
    QTest::addColumn<int>("direction");
    QTest::addColumn<bool>("directoriesFirst");
    QTest::addColumn<QStringList>("expected");
    auto row = [](const char* tag, SortColumn c, int d, bool dirs, const QString& names) {
        QTest::newRow(tag) << int(c) << d << dirs << names.split(u' ');
    };
    // Locale collation: "Alpha" before "Apple" before "beta"; ".." first.
    row("name, directories first", SortColumn::Name, 0, true, u".. Alpha beta link Apple mid zeta"_s);
    row("name descending", SortColumn::Name, 1, true, u".. beta Alpha link zeta mid Apple"_s);
    row("name, mixed", SortColumn::Name, 0, false, u".. Alpha Apple beta link mid zeta"_s);
    // Sizes largest first; equal sizes keep the listing's order.
    row("size", SortColumn::Size, 0, true, u".. Alpha beta link mid zeta Apple"_s);
    row("size descending", SortColumn::Size, 1, true, u".. beta Alpha link zeta Apple mid"_s);
    row("size, mixed", SortColumn::Size, 0, false, u"Alpha mid beta zeta Apple link .."_s);
    // Newest first, ".." (no date) heads the list even when mixed.
    row("date, mixed", SortColumn::Date, 0, false, u".. mid beta zeta Apple Alpha link"_s);
    row("date descending, mixed", SortColumn::Date, 1, false, u".. link Alpha Apple zeta beta mid"_s);
    // Equal owners keep the listing's order either way.
    row("owner", SortColumn::Owner, 0, false, u".. mid zeta Apple Alpha beta link"_s);
    row("group descending", SortColumn::Group, 1, false, u"link beta Alpha zeta Apple mid .."_s);
    row("none keeps the listing, directories first", SortColumn::None, 0, true,
        u".. Alpha beta link zeta mid Apple"_s);
}

void TestListingView::sorting() {
    QFETCH(int, column);
    QFETCH(int, direction);
    QFETCH(bool, directoriesFirst);
    QFETCH(QStringList, expected);
    std::vector<DirEntry> entries = Listing();
    SortEntries(entries, {SortColumn(column), direction, directoriesFirst}, Us);
    QCOMPARE(Names(entries), expected);
}

void TestListingView::unreadableDatesSortAsTheirPlaceholder() {
    DirEntry unreadable = Entry(u"old"_s, EntryKind::File);
    unreadable.date = QDateTime();
    unreadable.dateText = u"01/01/90 00:00"_s;
    DirEntry january = Entry(u"jan"_s, EntryKind::File);
    january.date = QDateTime(QDate(1990, 1, 15), QTime(0, 0), Qt::UTC);
    std::vector<DirEntry> entries{unreadable, january};
    SortEntries(entries, {SortColumn::Date, 0, true}, Us);
    QCOMPARE(Names(entries), (QStringList{u"jan"_s, u"old"_s}));
}

void TestListingView::selectionSummary() {
    // Three folders (a link among them) and five files.
    std::vector<DirEntry> entries{ListingModel::ParentEntry(),
                                  Entry(u"d1"_s, EntryKind::Directory),
                                  Entry(u"d2"_s, EntryKind::Directory),
                                  Entry(u"l"_s, EntryKind::Link),
                                  Entry(u"f1"_s, EntryKind::File, 1000),
                                  Entry(u"f2"_s, EntryKind::File, 2048),
                                  Entry(u"f3"_s, EntryKind::File, 1),
                                  Entry(u"f4"_s, EntryKind::File, 1),
                                  Entry(u"f5"_s, EntryKind::File, 5'000'000'000)};
    QCOMPARE(FormatSelectionSummary(CountSelection(entries, {}), Us),
             u"3 folder(s), 5 file(s), 8 total"_s);
    // ".." selected counts for nothing; rows out of range are ignored.
    QCOMPARE(FormatSelectionSummary(CountSelection(entries, {0, 4, 5, 99}), Us),
             u"3 folder(s), 5 file(s), 8 total, 2 selected  (3,048 bytes)"_s);
    QCOMPARE(FormatSelectionSummary(CountSelection(entries, {8}), Us),
             u"3 folder(s), 5 file(s), 8 total, 1 selected  (5,000,000,000 bytes)"_s);
    QCOMPARE(FormatSelectionSummary(CountSelection(entries, {0}), Us),
             u"3 folder(s), 5 file(s), 8 total"_s);
}

void TestListingView::columnFit() {
    ColumnMeasures m;
    m.itemCount = 2;
    m.widest = {40, 30, 80, 50, 51, 60};
    m.sizeHeaderWidth = 20;
    m.listWidth = 600;
    m.attribWidth = 70;
    ColumnChoice all;
    all.attrib = true;
    auto fit = FitColumns(m, all);
    QCOMPARE(fit[0].width, 100); // short names get 60 pixels more
    QCOMPARE(fit[1].width, 80);  // four times the header covers the sizes
    QCOMPARE(fit[2].width, 91);
    QCOMPARE(fit[3].kind, ColumnFit::Header);
    QCOMPARE(fit[4].kind, ColumnFit::Contents);
    QCOMPARE(fit[5].width, 70);
    m.widest = {62, 81, 81, 10, 10, 60};
    fit = FitColumns(m, ColumnChoice{true, true, false, true, false});
    QCOMPARE(fit[0].kind, ColumnFit::Contents);
    QCOMPARE(fit[1].kind, ColumnFit::Contents);
    QCOMPARE(fit[2].kind, ColumnFit::Contents);
    QCOMPARE(fit[3].kind, ColumnFit::Fixed); // hidden columns stay closed
    QCOMPARE(fit[3].width, 0);
    QCOMPARE(fit[5].width, 0);
    // Fewer than two entries: the shown columns share the width.
    m.itemCount = 1;
    fit = FitColumns(m, ColumnChoice{true, false, true, true, false});
    QCOMPARE(fit[0].width, 150);
    QCOMPARE(fit[1].width, 149);
    QCOMPARE(fit[2].width, 0);
    QCOMPARE(fit[3].width, 149);
    QCOMPARE(fit[5].width, 0);
    fit = FitColumns(m, ColumnChoice{true, true, true, false, false});
    QCOMPARE(fit[4].width, 0);
    fit = FitColumns(m, all);
    QCOMPARE(fit[0].width, 100);
    QCOMPARE(fit[5].width, 119);
}

void TestListingView::loadingShowsOneInsertAndSortKeepsSelection() {
    ListingModel model;
    QSignalSpy inserted(&model, &QAbstractItemModel::rowsInserted);
    model.beginListing();
    QCOMPARE(model.count(), 1);
    QCOMPARE(model.entry(0).name, u".."_s);
    for (DirEntry& e : Listing())
        if (e.kind != EntryKind::Parent)
            model.AddListEntry(std::move(e));
    QCOMPARE(model.count(), 1);
    QCOMPARE(model.pendingCount(), 6);
    model.endListing();
    QCOMPARE(inserted.size(), 1);
    QCOMPARE(model.count(), 7);

    QItemSelectionModel selection(&model);
    selection.select(model.index(3, 0), QItemSelectionModel::Select | QItemSelectionModel::Rows);
    QCOMPARE(model.index(3, 0).data().toString(), u"mid"_s);
    model.SortList({SortColumn::Size, 1, true}, Us);
    const QModelIndexList rows = selection.selectedRows();
    QCOMPARE(rows.size(), 1);
    QCOMPARE(rows.first().data().toString(), u"mid"_s);
    // Queued marks last until the rows move or the list is filled again.
    model.setCut(2, true);
    QVERIFY(model.index(2, 3).data(ListingModel::CutRole).toBool());
    QVERIFY(!model.isCut(1));
    model.SortList({SortColumn::Name, 0, true}, Us);
    QVERIFY(!model.isCut(2));
    QCOMPARE(model.index(rows.first().row(), ListingModel::SizeColumn)
                 .data(Qt::TextAlignmentRole)
                 .value<Qt::Alignment>(),
             Qt::AlignRight | Qt::AlignVCenter);

    // Skip marks show only while "Skip" is on; favourites always.
    QVERIFY(!MarkColour(EntryMark::Skip, {false, 1, 2}));
    QCOMPARE(MarkColour(EntryMark::Skip, {true, 1, 2}), Colour(1));
    QCOMPARE(MarkColour(EntryMark::Favourite, {false, 1, 2}), Colour(2));
    QVERIFY(!MarkColour(EntryMark::None, {true, 1, 2}));
}

void TestListingView::findAndColumnClicks() {
    TempDataDir dir;
    RecordingDesktopServices services;
    ScriptedUserPrompts prompts;
    App app(DataPaths(dir.path()), services, prompts);
    app.create();
    Side& side = app.left();
    side.listing().beginListing();
    for (DirEntry& e : Listing())
        if (e.kind != EntryKind::Parent)
            side.listing().AddListEntry(std::move(e));
    side.listing().endListing();
    ListNavigation& nav = app.navigation();
    auto selected = [&] { return side.listing().entry(side.selectedRows().value(0)).name; };

    // "a" is in "zeta", "Alpha", "beta" and "Apple", any case.
    QVERIFY(nav.Find(u"A"_s));
    QCOMPARE(selected(), u"zeta"_s);
    QVERIFY(nav.FindNext());
    QCOMPARE(selected(), u"Alpha"_s);
    QVERIFY(nav.FindNext() && nav.FindNext());
    QCOMPARE(selected(), u"Apple"_s);
    // The last row was found: the next search starts over at the top.
    QVERIFY(nav.FindNext());
    QCOMPARE(selected(), u"zeta"_s);
    // The search starts at the very first row, "..".
    QVERIFY(nav.Find(u"."_s));
    QCOMPARE(side.selectedRows(), QList<int>{0});
    QVERIFY(!nav.Find(u"nothing"_s));
    QCOMPARE(prompts.asked.last(), u"information:Search not found!"_s);
    // The other side's list is not searched.
    app.setActiveSide(SideId::Right);
    QVERIFY(!nav.Find(u"zeta"_s));

    // A column's first click sorts it descending, the next ascending; each
    // side keeps its own toggles; Attrib only records the column.
    nav.ColumnClick(SideId::Left, int(SortColumn::Size));
    QCOMPARE(Names(side.listing().entries()),
             (QStringList{u".."_s, u"beta"_s, u"Alpha"_s, u"link"_s, u"zeta"_s, u"Apple"_s,
                          u"mid"_s}));
    nav.ColumnClick(SideId::Left, int(SortColumn::Size));
    QCOMPARE(side.listing().entry(1).name, u"Alpha"_s);
    QCOMPARE(app.listSortOrder().direction, 0);
    nav.ColumnClick(SideId::Right, int(SortColumn::Size));
    QCOMPARE(app.listSortOrder().direction, 1);
    nav.ColumnClick(SideId::Left, 5);
    QCOMPARE(app.listSortOrder().column, SortColumn::None);
    QCOMPARE(side.listing().entry(1).name, u"Alpha"_s);

    QCOMPARE(side.tree().NodePath(QModelIndex()), u"unknown"_s);
    // Delete does nothing on a side that is not connected.
    QSignalSpy deletes(&nav, &ListNavigation::deleteRequested);
    nav.DeleteKey();
    QCOMPARE(deletes.size(), 0);
    side.rawListing() = QStringList{u"l1"_s, u"l2"_s};
    nav.CopyDirectoryToClipboard(SideId::Left);
    QCOMPARE(services.clipboardText, u"l1\nl2"_s);
}

QTEST_GUILESS_MAIN(TestListingView)
#include "test_listing_view.moc"
