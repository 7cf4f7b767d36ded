// Drags from the lists, trees and local lists onto the queue and the panes:
// which drags are taken, what a drop queues and when the queue starts.
#include "FakeFtpServer.h"
#include "NetTestHelpers.h"
#include "RecordingDesktopServices.h"
#include "ScriptedUserPrompts.h"
#include "TempDataDir.h"
#include "app/App.h"
#include "app/MainWindow.h"
#include "app/RemotePath.h"
#include "app/SidePanel.h"
#include "local/LocalPane.h"
#include "transfer/QueueDragDrop.h"

#include <QDrag>
#include <QMimeData>
#include <QMouseEvent>
#include <QTemporaryDir>
#include <QTreeView>
#include <QtTest>

using namespace Qt::Literals::StringLiterals;

namespace {
DirEntry Entry(const QString& name, EntryKind kind) {
    DirEntry e;
    e.name = name;
    e.kind = kind;
    e.sizeText = kind == EntryKind::File ? u"10"_s : u"4,096"_s;
    return e;
}

// A remote listing of ".." plus these entries, all of them selected.
void FillSelected(Side& side, const QString& path, const QList<DirEntry>& entries) {
    side.setCurrentPath(path);
    side.beginListing();
    for (const DirEntry& e : entries)
        side.listing().AddListEntry(e);
    side.endListing();
    side.listSelection().clearSelection();
    for (int row = 1; row < side.listing().count(); ++row)
        side.listSelection().select(side.listing().index(row, 0),
                                    QItemSelectionModel::Select | QItemSelectionModel::Rows);
}
} // namespace

class TestGuiQueueDrop : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void init();
    void cleanup();

    void sourcesAreTheProgramsOwnViews();
    void listOntoQueueOrOtherList();
    void treeNodeOntoQueue();
    void localListUploadsOnlyToAConnectedServer();
    void remoteListIntoLocalList();
    void foreignAndPointlessDragsAreRefused();
    void acceptedDropQueuesAfterTheDrag();
    void onDragDropStartsTheQueueExceptOnTheQueue();
    void treeDragStartsPastTheDragDistance();

private:
    template <class T = QTreeView> T* child(const char* name) const {
        T* found = m_window->findChild<T*>(QString::fromLatin1(name));
        return found ? found : (qFatal("no child %s", name), nullptr);
    }
    Side& left() { return m_app->left(); }
    Side& right() { return m_app->right(); }
    // Logs the side's session in to a scripted server; the rest of its
    // start (SYST, listing) is refused, which leaves it connected.
    void connectSide(Side& side, FakeFtpServer& server);
    void setOnDragDrop(int value);

    std::unique_ptr<TempDataDir> m_dir;
    QByteArray mainSection() const {
        return "[_Main_]\r\nDownload Directory=" + m_dir->filePath(u"local"_s).toUtf8() + "\r\n";
    }
    std::unique_ptr<RecordingDesktopServices> m_services;
    std::unique_ptr<ScriptedUserPrompts> m_prompts;
    std::unique_ptr<App> m_app;
    std::unique_ptr<MainWindow> m_window;
    QueueDragDrop* m_dnd = nullptr;
    int m_starts = 0;
};

void TestGuiQueueDrop::init() {
    m_dir = std::make_unique<TempDataDir>();
    // The local panes start in a quiet folder of their own: the shared
    // temporary folder can hold more than the file model lists in time.
    QVERIFY(QDir(m_dir->path()).mkdir(u"local"_s));
    QVERIFY(m_dir->writeFile(u"Korvane.ini"_s, mainSection()));
    m_services = std::make_unique<RecordingDesktopServices>();
    m_prompts = std::make_unique<ScriptedUserPrompts>();
    m_app = std::make_unique<App>(DataPaths(m_dir->path()), *m_services, *m_prompts);
    m_window = std::make_unique<MainWindow>(*m_app);
    m_window->resize(1000, 700);
    m_window->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_window.get()));
    m_dnd = m_window->findChild<QueueDragDrop*>();
    QVERIFY(m_dnd);
    m_starts = 0;
    m_dnd->setStartQueue([this] { ++m_starts; });
}

void TestGuiQueueDrop::cleanup() {
    m_window.reset();
    m_app.reset();
}

void TestGuiQueueDrop::connectSide(Side& side, FakeFtpServer& server) {
    QVERIFY(server.listen());
    server.expect("USER", "230 in");
    LoginTo(side.session(), server.port());
    QVERIFY(side.session().isConnected());
}

void TestGuiQueueDrop::setOnDragDrop(int value) {
    QVERIFY(m_dir->writeFile(u"Korvane.ini"_s, mainSection() + "On DragDrop=" +
                                                   QByteArray::number(value) + "\r\n"));
    m_app->LoadSettings();
    QCOMPARE(m_app->settings().onDragDrop, value);
}

void TestGuiQueueDrop::sourcesAreTheProgramsOwnViews() {
    const std::pair<const char*, DragSource> views[] = {
        {"Llv", DragSource::LeftList},         {"Rlv", DragSource::RightList},
        {"LTree", DragSource::LeftTree},       {"RTree", DragSource::RightTree},
        {"LlocalList", DragSource::LeftLocal}, {"RlocalList", DragSource::RightLocal}};
    for (auto [name, source] : views)
        QCOMPARE(m_dnd->sourceOf(child(name)), source);
    // A drag from outside the program has no source; the queue's own rows
    // and a view's inner widget are no pane's selection.
    QCOMPARE(m_dnd->sourceOf(nullptr), DragSource::Other);
    QCOMPARE(m_dnd->sourceOf(child("LvQueue")), DragSource::Other);
    QCOMPARE(m_dnd->sourceOf(child("Llv")->viewport()), DragSource::Other);
    QCOMPARE(m_dnd->sourceOf(m_window.get()), DragSource::Other);
    // The lists can be dragged from and take drops, as does the queue.
    for (const char* name : {"Llv", "Rlv", "LlocalList", "RlocalList"})
        QVERIFY(child(name)->dragEnabled() && child(name)->viewport()->acceptDrops());
    QVERIFY(child("LvQueue")->viewport()->acceptDrops());
}

void TestGuiQueueDrop::listOntoQueueOrOtherList() {
    FakeFtpServer leftServer, rightServer;
    connectSide(left(), leftServer);
    connectSide(right(), rightServer);
    FillSelected(left(), u"/pub/"_s, {Entry(u"a.txt"_s, EntryKind::File)});
    right().setCurrentPath(u"/in/"_s);
    QueueModel& queue = m_app->queue();

    // Both sides remote: site to site.
    QVERIFY(m_dnd->drop(child("LvQueue"), child("Llv")));
    QCOMPARE(queue.count(), 1);
    QCOMPARE(queue.entry(0).SourcePath, u"/pub/a.txt"_s);
    QCOMPARE(queue.entry(0).TargetPath, u"/in/a.txt"_s);
    QCOMPARE(queue.entry(0).direction, Direction::FxpLeftToRight);

    // Onto the other side's list, the same; "On DragDrop" 0 leaves the queue idle.
    queue.clear();
    FillSelected(right(), u"/in/"_s, {Entry(u"b.txt"_s, EntryKind::File)});
    QVERIFY(m_dnd->drop(child("Llv"), child("Rlv")));
    QCOMPARE(queue.count(), 1);
    QCOMPARE(queue.entry(0).SourcePath, u"/in/b.txt"_s);
    QCOMPARE(queue.entry(0).direction, Direction::FxpRightToLeft);
    QCOMPARE(m_starts, 0);

    // The right pane shows its local list: the left list's drop is a download there.
    queue.clear();
    QTemporaryDir downloads;
    right().setLocalPath(downloads.path());
    right().setLocalView(true);
    QVERIFY(m_dnd->drop(child("LvQueue"), child("Llv")));
    QCOMPARE(queue.count(), 1);
    QCOMPARE(queue.entry(0).SourcePath, u"/pub/a.txt"_s);
    QCOMPARE(queue.entry(0).TargetPath, downloads.path() + u"/a.txt"_s);
    QCOMPARE(queue.entry(0).direction, Direction::DownloadFromLeft);
}

void TestGuiQueueDrop::treeNodeOntoQueue() {
    FakeFtpServer leftServer, rightServer;
    connectSide(left(), leftServer);
    connectSide(right(), rightServer);
    right().setCurrentPath(u"/in/"_s);
    left().tree().AddPathNodes(u"/pub/"_s, u'/', [](const QString&) { return EntryMark::None; });
    left().tree().AddDirectoryNode(u"sub"_s, EntryMark::None, u"/pub/"_s);
    left().treeSelection().setCurrentIndex(left().tree().FindPath(u"/pub/sub"_s, u'/'),
                                           QItemSelectionModel::ClearAndSelect);
    // The list has a selection too; the tree's drag queues the node only.
    FillSelected(left(), u"/pub/"_s, {Entry(u"a.txt"_s, EntryKind::File)});

    QVERIFY(m_dnd->drop(child("LvQueue"), child("LTree")));
    QCOMPARE(m_app->queue().count(), 1);
    const QueueEntry entry = m_app->queue().entry(0);
    QCOMPARE(entry.SourcePath, u"/pub/sub"_s);
    QCOMPARE(entry.TargetPath, u"/in/"_s);
    QVERIFY(!entry.isFile());
    QCOMPARE(entry.direction, Direction::FxpLeftToRight);
}

void TestGuiQueueDrop::localListUploadsOnlyToAConnectedServer() {
    QTemporaryDir folder;
    QVERIFY(WriteFile(folder.filePath(u"f.bin"_s), QByteArray(3000, 'x')));
    QVERIFY(WriteFile(folder.filePath(u"one.bin"_s), QByteArray(1024, 'x')));
    QVERIFY(QDir(folder.path()).mkdir(u"d"_s));
    LocalPane* pane = m_window->sidePanel(SideId::Left)->localPane();
    left().setLocalPath(folder.path());
    left().setLocalView(true);
    // The file system model fills in the background; slow under a loaded machine.
    QTRY_COMPARE_WITH_TIMEOUT(pane->list()->model()->rowCount(pane->list()->rootIndex()), 3, 20000);
    pane->list()->selectAll();
    QueueModel& queue = m_app->queue();

    // The right server is not connected: the drag is refused, nothing queued.
    QVERIFY(!m_dnd->accepts(child("LvQueue"), child("LlocalList")));
    QVERIFY(!m_dnd->drop(child("LvQueue"), child("LlocalList")));
    QVERIFY(queue.isEmpty());

    // Connected, while the right pane shows the server's list: uploads.
    FakeFtpServer rightServer;
    connectSide(right(), rightServer);
    right().setCurrentPath(u"/in/"_s);
    QVERIFY(m_dnd->drop(child("LvQueue"), child("LlocalList")));
    QCOMPARE(queue.count(), 3);
    QHash<QString, QueueEntry> byName;
    for (const QueueEntry& e : queue.entries())
        byName.insert(LastPathComponent(e.SourcePath), e);
    const QueueEntry file = byName.value(u"f.bin"_s);
    QCOMPARE(file.SourcePath, folder.filePath(u"f.bin"_s));
    QCOMPARE(file.TargetPath, u"/in/f.bin"_s);
    QCOMPARE(file.direction, Direction::UploadToRight);
    // Sizes in whole kilobytes rounded up, as the list shows them.
    QCOMPARE(DigitsOnly(file.SizeText), u"3072"_s);
    QCOMPARE(DigitsOnly(byName.value(u"one.bin"_s).SizeText), u"1024"_s);
    const QueueEntry dir = byName.value(u"d"_s);
    QVERIFY(!dir.isFile());
    QCOMPARE(dir.SourcePath, folder.filePath(u"d"_s) + u'/');
    QCOMPARE(DigitsOnly(dir.SizeText), u"0"_s);
}

void TestGuiQueueDrop::remoteListIntoLocalList() {
    setOnDragDrop(1);
    QTemporaryDir folder;
    left().setLocalPath(folder.path());
    left().setLocalView(true);
    FillSelected(right(), u"/in/"_s, {Entry(u"b.txt"_s, EntryKind::File)});

    QVERIFY(m_dnd->drop(child("LlocalList"), child("Rlv")));
    QCOMPARE(m_app->queue().count(), 1);
    QCOMPARE(m_app->queue().entry(0).TargetPath, folder.path() + u"/b.txt"_s);
    QCOMPARE(m_app->queue().entry(0).direction, Direction::DownloadFromRight);
    QCOMPARE(m_starts, 1);
    // Only a remote list downloads into a local list; nothing else starts the queue.
    QVERIFY(!m_dnd->drop(child("LlocalList"), child("RTree")));
    QVERIFY(!m_dnd->drop(child("LlocalList"), child("RlocalList")));
    QVERIFY(!m_dnd->drop(child("LlocalList"), child("LlocalList")));
    QVERIFY(!m_dnd->drop(child("LlocalList"), nullptr));
    QCOMPARE(m_app->queue().count(), 1);
    QCOMPARE(m_starts, 1);
}

void TestGuiQueueDrop::foreignAndPointlessDragsAreRefused() {
    setOnDragDrop(1);
    QueueModel& queue = m_app->queue();
    // Nothing connected and no local list shown: the queue takes no list.
    FillSelected(left(), u"/pub/"_s, {Entry(u"a.txt"_s, EntryKind::File)});
    QVERIFY(!m_dnd->accepts(child("LvQueue"), child("Llv")));

    FakeFtpServer leftServer, rightServer;
    connectSide(left(), leftServer);
    connectSide(right(), rightServer);
    FillSelected(left(), u"/pub/"_s, {Entry(u"a.txt"_s, EntryKind::File)});
    right().setCurrentPath(u"/in/"_s);
    QVERIFY(m_dnd->accepts(child("LvQueue"), child("Llv")));
    // A list dropped on its own side is no transfer.
    QVERIFY(!m_dnd->drop(child("Llv"), child("Llv")));
    QVERIFY(!m_dnd->drop(child("Llv"), child("LTree")));

    // Files from another program, in the item data format other Qt views
    // use: refused on every target, and no model takes them.
    QMimeData mime;
    mime.setData(u"application/x-qabstractitemmodeldatalist"_s, QByteArray());
    mime.setUrls({QUrl::fromLocalFile(m_dir->filePath(u"Korvane.ini"_s))});
    for (const char* name : {"LvQueue", "Llv", "Rlv", "RlocalList"}) {
        QWidget* viewport = child(name)->viewport();
        const QPoint at(10, 10);
        QDragEnterEvent enter(at, Qt::CopyAction | Qt::MoveAction, &mime, Qt::LeftButton, {});
        QApplication::sendEvent(viewport, &enter);
        QVERIFY2(!enter.isAccepted(), name);
        QDragMoveEvent move(at, Qt::CopyAction | Qt::MoveAction, &mime, Qt::LeftButton, {});
        QApplication::sendEvent(viewport, &move);
        QVERIFY2(!move.isAccepted(), name);
        QDropEvent drop(at, Qt::CopyAction | Qt::MoveAction, &mime, Qt::LeftButton, {});
        QApplication::sendEvent(viewport, &drop);
        QVERIFY2(!drop.isAccepted(), name);
        QVERIFY(!m_dnd->drop(viewport, nullptr));
    }
    QCoreApplication::processEvents();
    QVERIFY(queue.isEmpty());
    QCOMPARE(m_starts, 0);
}

void TestGuiQueueDrop::acceptedDropQueuesAfterTheDrag() {
    FakeFtpServer leftServer, rightServer;
    connectSide(left(), leftServer);
    connectSide(right(), rightServer);
    FillSelected(left(), u"/pub/"_s, {Entry(u"a.txt"_s, EntryKind::File)});
    right().setCurrentPath(u"/in/"_s);
    setOnDragDrop(1);
    QWidget* viewport = child("Rlv")->viewport();
    QMimeData mime;
    const QPoint at(10, 10);

    // Offered as a move, taken as a copy, so the list keeps its rows.
    QDragEnterEvent enter(at, Qt::CopyAction | Qt::MoveAction, &mime, Qt::LeftButton, {});
    enter.setDropAction(Qt::MoveAction);
    QVERIFY(m_dnd->dragEvent(viewport, &enter, child("Llv")));
    QVERIFY(enter.isAccepted());
    QCOMPARE(enter.dropAction(), Qt::CopyAction);
    QDropEvent drop(at, Qt::CopyAction | Qt::MoveAction, &mime, Qt::LeftButton, {});
    drop.setDropAction(Qt::MoveAction);
    QVERIFY(m_dnd->dragEvent(viewport, &drop, child("Llv")));
    QVERIFY(drop.isAccepted());
    QCOMPARE(drop.dropAction(), Qt::CopyAction);
    // The queueing and the start wait until the drag's events are done.
    QVERIFY(m_app->queue().isEmpty());
    QCOMPARE(m_starts, 0);
    QTRY_COMPARE(m_app->queue().count(), 1);
    QCOMPARE(m_app->queue().entry(0).SourcePath, u"/pub/a.txt"_s);
    QCOMPARE(m_starts, 1);

    // A refused drag is ignored; the queue's own rows are the queue view's.
    QDragMoveEvent move(at, Qt::CopyAction, &mime, Qt::LeftButton, {});
    QVERIFY(m_dnd->dragEvent(child("Llv")->viewport(), &move, child("Llv")));
    QVERIFY(!move.isAccepted());
    QVERIFY(!m_dnd->dragEvent(child("LvQueue")->viewport(), &move, child("LvQueue")));
}

void TestGuiQueueDrop::onDragDropStartsTheQueueExceptOnTheQueue() {
    FakeFtpServer leftServer, rightServer;
    connectSide(left(), leftServer);
    connectSide(right(), rightServer);
    FillSelected(left(), u"/pub/"_s, {Entry(u"a.txt"_s, EntryKind::File)});
    right().setCurrentPath(u"/in/"_s);
    setOnDragDrop(1);

    QVERIFY(m_dnd->drop(child("LvQueue"), child("Llv")));
    QCOMPARE(m_app->queue().count(), 1);
    QCOMPARE(m_starts, 0);
    m_app->queue().clear();
    QVERIFY(m_dnd->drop(child("Rlv")->viewport(), child("Llv")));
    QCOMPARE(m_app->queue().count(), 1);
    QCOMPARE(m_starts, 1);

    // When a side's directory cannot be found nothing is queued, and the
    // queue is not started for it.
    m_app->queue().clear();
    right().setCurrentPath(QString());
    QVERIFY(m_dnd->drop(child("Rlv"), child("Llv")));
    QVERIFY(m_app->queue().isEmpty());
    QCOMPARE(m_starts, 1);
}

void TestGuiQueueDrop::treeDragStartsPastTheDragDistance() {
    const QModelIndex sub = [&] {
        left().tree().AddPathNodes(u"/pub/"_s, u'/', [](const QString&) { return EntryMark::None; });
        left().tree().AddDirectoryNode(u"sub"_s, EntryMark::None, u"/pub/"_s);
        return left().tree().FindPath(u"/pub/sub"_s, u'/');
    }();
    m_window->sidePanel(SideId::Left)->showTree(true);
    QTreeView* tree = child("LTree");
    tree->expandAll();
    QWidget* viewport = tree->viewport();
    const QPoint at = tree->visualRect(sub).center();
    const QModelIndex above = tree->indexAt(at - QPoint(0, tree->visualRect(sub).height()));
    QVERIFY(sub.isValid() && above.isValid() && above != sub);

    // A click still reaches the tree.
    QSignalSpy clicks(tree, &QAbstractItemView::clicked);
    QTest::mouseClick(viewport, Qt::LeftButton, {}, tree->visualRect(above).center());
    QCOMPARE(clicks.count(), 1);
    QVERIFY(tree->findChildren<QDrag*>().isEmpty());

    QTest::mousePress(viewport, Qt::LeftButton, {}, at);
    QCOMPARE(left().treeSelection().currentIndex(), sub);
    auto moveTo = [viewport](const QPoint& to) {
        QMouseEvent move(QEvent::MouseMove, to, viewport->mapToGlobal(to), Qt::NoButton,
                         Qt::LeftButton, {});
        QApplication::sendEvent(viewport, &move);
    };
    moveTo(at + QPoint(1, 0));
    QVERIFY(tree->findChildren<QDrag*>().isEmpty());
    // Past the distance, over another node: the pressed node is dragged.
    moveTo(tree->visualRect(above).center());
    const QList<QDrag*> drags = tree->findChildren<QDrag*>();
    QCOMPARE(drags.size(), 1);
    QCOMPARE(drags.first()->source(), tree);
    QCOMPARE(drags.first()->mimeData()->data(QString::fromLatin1(QueueDragDrop::TreeNodeMime)),
             QByteArray("/pub/sub"));
    QCOMPARE(left().treeSelection().currentIndex(), sub);
}

QTEST_MAIN(TestGuiQueueDrop)
#include "test_gui_queuedrop.moc"
