// The remote directory tree: path nodes, directory nodes, paths of nodes,
// sorting and batch inserts as a view sees them.
#include "listing/DirectoryTree.h"

#include <QAbstractItemModelTester>
#include <QtTest>

using namespace Qt::Literals::StringLiterals;
using Tree = DirectoryTreeModel;

namespace {
QStringList Children(const Tree& t, const QModelIndex& parent) {
    QStringList names;
    for (int r = 0; r < t.rowCount(parent); ++r)
        names << t.index(r, 0, parent).data().toString();
    return names;
}
QModelIndex Add(Tree& t, const QString& path, QChar sep = u'/') {
    return t.AddPathNodes(path, sep, [](const QString& n) {
        return n.startsWith(u'*') ? EntryMark::Favourite : EntryMark::None;
    });
}
void AddDir(Tree& t, const QString& name, const QString& current = u"/a/"_s) {
    t.AddDirectoryNode(name, EntryMark::Skip, current);
}
QString Look(const QModelIndex& i) { // image, selected image, mark
    QStringList r;
    for (int role : {Tree::ImageRole, Tree::SelectedImageRole, Tree::MarkRole})
        r << i.data(role).toString();
    return r.join(u' ');
}
} // namespace

class TestListingTree : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void pathNodesAndTheirPaths();
    void directoryNodesAndRoots();
    void batchIsOneInsertPerParentAndSortKeepsIndexes();
    void largeAndDeepTrees();
};

void TestListingTree::pathNodesAndTheirPaths() {
    Tree unix, windows;
    QVERIFY(!unix.FindPath(u"/"_s, u'/').isValid());
    const QModelIndex linux = Add(unix, u"/pub//*linux/"_s, Tree::TreeSeparator(u"/pub/"_s));
    const QModelIndex pub = linux.parent(), root = pub.parent();
    QCOMPARE(unix.currentNode(), linux);
    QCOMPARE(Look(root) + u", "_s + Look(pub) + u", "_s + Look(linux), u"4 4 0, 1 5 0, 1 5 2"_s);
    QCOMPARE(unix.NodePath(linux), u"/pub/*linux"_s);
    // Found again ignoring case, and only below its own parent.
    QCOMPARE(Add(unix, u"/PUB/./*Linux/"_s), linux);
    QCOMPARE(unix.FindPath(u"pub/*LINUX"_s, u'/'), linux);
    const QModelIndex pubPub = Add(unix, u"/../pub/*linux/x/../PUB/"_s);
    QCOMPARE(unix.NodePath(pubPub), u"/pub/*linux/PUB"_s);
    QCOMPARE(Children(unix, pub), QStringList{u"*linux"_s});
    QCOMPARE(unix.FindPath(u"/"_s, u'/'), root);
    QVERIFY(!unix.FindPath(u"/pub/x/y"_s, u'/').isValid());

    const QModelIndex dir = Add(windows, u"C:\\ a \\"_s, Tree::TreeSeparator(u"C:\\"_s));
    QCOMPARE(windows.NodePath(dir), u"C:\\ a "_s);
    QCOMPARE(windows.FindPath(u"c:\\ A "_s, u'\\'), dir);
}

void TestListingTree::directoryNodesAndRoots() {
    Tree t;
    QCOMPARE(t.NodePath(t.currentNode()), u"unknown"_s);
    AddDir(t, u"orphan"_s, u"/"_s);
    QCOMPARE(t.rowCount(), 0); // no node to hang it on
    const QModelIndex a = Add(t, u"/a/"_s);
    const QStringList names = u"Docs| lead|trail |Ünï|x/y"_s.split(u'|')
                              << QString(QChar(0xDC80)) << QString(QChar(0xDC81));
    for (const QString& n : names + QStringList{u"docs"_s, u"."_s, u".."_s, QString()})
        AddDir(t, n);
    QCOMPARE(Children(t, a), names);
    QCOMPARE(Look(t.index(0, 0, a)), u"1 5 1"_s);
    // Same names under another directory are that directory's own.
    const QModelIndex b = Add(t, u"/b/"_s);
    AddDir(t, u"DOCS"_s, u"/b/"_s);
    AddDir(t, u"top"_s, u"/"_s);
    QCOMPARE(Children(t, b), QStringList{u"DOCS"_s});
    QCOMPARE(Children(t, t.index(0, 0)), (QStringList{u"a"_s, u"b"_s, u"top"_s}));
    const QPersistentModelIndex kept(b);
    t.clear();
    QVERIFY(!kept.isValid());
    AddDir(t, u"late"_s, u"/b/"_s);
    QCOMPARE(t.rowCount(), 0);
    // A root made for a path without components.
    const QModelIndex root = Add(t, u"\\"_s, u'\\');
    QCOMPARE(Look(root), u"1 1 0"_s);
    QCOMPARE(t.NodePath(root), u"\\"_s);
    Add(t, u"\\x\\"_s, u'\\');
    QCOMPARE(Add(t, QString(), u'\\'), root);
    QCOMPARE(Children(t, {}), QStringList{u"\\"_s});
}

void TestListingTree::batchIsOneInsertPerParentAndSortKeepsIndexes() {
    Tree t;
    QAbstractItemModelTester tester(&t, QAbstractItemModelTester::FailureReportingMode::QtTest);
    const QModelIndex a = Add(t, u"/a/"_s);
    AddDir(t, u"old"_s);
    QSignalSpy inserted(&t, &Tree::rowsInserted);
    t.beginUpdate();
    t.beginUpdate();
    for (const QString& n : {u"z"_s, u"B"_s, u"m"_s})
        AddDir(t, n);
    Add(t, u"/c/d/"_s);
    AddDir(t, u"e"_s, u"/c/d/"_s);
    Add(t, u"/a/"_s);
    AddDir(t, u"b"_s); // "B" is there
    AddDir(t, u"A"_s);
    t.endUpdate();
    t.SortAlphabetically(); // waits for the batch
    QCOMPARE(inserted.size(), 0);
    QCOMPARE(Children(t, a), QStringList{u"old"_s});
    QVERIFY(!t.index(1, 0, a).isValid()); // collected, not yet announced
    const QPersistentModelIndex old(t.index(0, 0, a));
    t.endUpdate();
    QStringList got; // parent first-last
    for (const QVariantList& i : inserted)
        got << u"%1 %2-%3"_s.arg(t.NodePath(i[0].value<QModelIndex>()), i[1].toString(),
                                 i[2].toString());
    QCOMPARE(got, (QStringList{u"/a 1-4"_s, u"/ 1-1"_s, u"/c 0-0"_s, u"/c/d 0-0"_s}));
    QCOMPARE(Children(t, a), (QStringList{u"A"_s, u"B"_s, u"m"_s, u"old"_s, u"z"_s}));
    QCOMPARE(old.row(), 3);
    t.beginUpdate(); // unsorted this time
    AddDir(t, u"0"_s);
    t.endUpdate();
    QCOMPARE(Children(t, a).last(), u"0"_s);
    QCOMPARE(t.NodePath(t.currentNode()), u"/a"_s);
}

void TestListingTree::largeAndDeepTrees() {
    Tree t;
    const QModelIndex root = Add(t, u"/"_s);
    QSignalSpy inserted(&t, &Tree::rowsInserted);
    t.beginUpdate();
    for (int i = 0; i < 100000; ++i)
        AddDir(t, u"Dir%1"_s.arg(i), u"/"_s);
    t.endUpdate();
    QCOMPARE(inserted.size(), 1);
    QCOMPARE(t.rowCount(root), 100000);
    // A hostile PWD reply may be arbitrarily deep.
    Tree deep;
    const QString path = u"/d"_s.repeated(100000);
    QCOMPARE(deep.FindPath(path, u'/'), Add(deep, path));
    deep.SortAlphabetically();
    deep.clear();
}

QTEST_GUILESS_MAIN(TestListingTree)
#include "test_listing_tree.moc"
