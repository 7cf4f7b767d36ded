// The transfer queue's store, its path helpers and the queue file.
#include "RecordingDesktopServices.h"
#include "ScriptedUserPrompts.h"
#include "TempDataDir.h"
#include "app/App.h"
#include "app/RemotePath.h"
#include "transfer/QueueFile.h"
#include "transfer/QueueDrop.h"
#include "transfer/QueueModel.h"
#include "transfer/TransferProgress.h"

#include <QSignalSpy>
#include <QtTest>

using namespace Qt::Literals::StringLiterals;

namespace {
const QLocale Us(QLocale::English, QLocale::UnitedStates);

QueueEntry Entry(const QString& source, const QString& target, const QString& size = {},
                 int icon = 3, Direction direction = Direction::FxpLeftToRight) {
    return {source, target, size, icon, direction};
}

QStringList Sources(const QueueModel& model) {
    QStringList sources;
    for (const QueueEntry& e : model.entries())
        sources << e.SourcePath;
    return sources;
}
} // namespace

class TestTransferQueue : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void pathHelpers_data();
    void pathHelpers();
    void queuedPairsAndInfo();
    void movesKeepTheRunningHead();
    void queueFileBytes();
    void queueFileRoundTripAndRefusals();
    void badLineKeepsWhatWasRead_data();
    void badLineKeepsWhatWasRead();
    void commands();
    void addingFromPanes();
    void progressTexts();
    void dropsAndDrags();
};

void TestTransferQueue::pathHelpers_data() {
    QTest::addColumn<QString>("path");
    QTest::addColumn<QStringList>("expected"); // ensure, last, directory, file
    auto row = [](const char* tag, const QString& path, const QStringList& expected) {
        QTest::newRow(tag) << path << expected;
    };
    row("file", u"/pub/a.zip"_s, {u"/pub/a.zip/"_s, u"a.zip"_s, u"/pub/"_s, u"a.zip"_s});
    row("directory", u"/pub/dir/"_s, {u"/pub/dir/"_s, u"dir"_s, u"/pub/dir/"_s, u""_s});
    row("backslashes", u"C:\\a\\b\\"_s, {u"C:\\a\\b\\"_s, u"b"_s, u"C:\\a\\b\\"_s, u""_s});
    // One "\" and then one "/" are dropped, in that order.
    row("mixed trailing", u"/x/y/\\"_s, {u"/x/y/\\/"_s, u"y"_s, u"/x/y/\\"_s, u""_s});
    row("root", u"/"_s, {u"/"_s, u""_s, u"/"_s, u""_s});
    row("no separator", u"name"_s, {u"name"_s, u"name"_s, u""_s, u"name"_s});
    row("empty", QString(), {QString(), QString(), QString(), QString()});
}

void TestTransferQueue::pathHelpers() {
    QFETCH(QString, path);
    QFETCH(QStringList, expected);
    QCOMPARE(EnsureTrailingSeparator(path), expected[0]);
    QCOMPARE(LastPathComponent(path), expected[1]);
    QCOMPARE(DirectoryPart(path), expected[2]);
    QCOMPARE(FileNamePart(path), expected[3]);
    QCOMPARE(DigitsOnly(u"1,234 bytes"_s), u"1234"_s);
    QCOMPARE(DigitsOnly(u"none"_s), u"0"_s);
}

void TestTransferQueue::queuedPairsAndInfo() {
    QueueModel queue;
    queue.append(Entry(u"/pub/a"_s, u"/in/a"_s, u"1,024"_s));
    queue.append({Entry(u"/pub/d/"_s, u"/in/"_s, {}, 1), Entry(u"/up"_s, u"/in/up"_s, u"2,048"_s),
                  Entry(u"/up"_s, u"/in/up"_s, u"2,048"_s)});
    QVERIFY(queue.IsQueued(u"/pub/a"_s, u"/in/a"_s));
    QVERIFY(!queue.IsQueued(u"/pub/A"_s, u"/in/a"_s));
    QVERIFY(!queue.IsQueued(u"/pub/a"_s, u"/in/"_s));
    QCOMPARE(queue.QueueInfoText(Us), u"Queue Summary\n\nFiles: 3\nDirs:  1\nSize:  5,120 bytes"_s);

    // A pair queued twice stays queued until both are gone.
    queue.removeEntries({2});
    QVERIFY(queue.IsQueued(u"/up"_s, u"/in/up"_s));
    queue.removeEntries({2, 0, 2});
    QVERIFY(!queue.IsQueued(u"/up"_s, u"/in/up"_s) && !queue.IsQueued(u"/pub/a"_s, u"/in/a"_s));
    QCOMPARE(Sources(queue), QStringList{u"/pub/d/"_s});
    queue.setTargetPath(0, u"/other/"_s);
    QVERIFY(queue.IsQueued(u"/pub/d/"_s, u"/other/"_s) && !queue.IsQueued(u"/pub/d/"_s, u"/in/"_s));

    // A directory's contents go right behind the head, in order.
    queue.append(Entry(u"/last"_s, u"/in/last"_s));
    queue.insertBehindHead({Entry(u"/pub/d/1"_s, u"/o/1"_s), Entry(u"/pub/d/2"_s, u"/o/2"_s)});
    QCOMPARE(Sources(queue), (QStringList{u"/pub/d/"_s, u"/pub/d/1"_s, u"/pub/d/2"_s, u"/last"_s}));
    QVERIFY(queue.IsQueued(u"/pub/d/2"_s, u"/o/2"_s));

    // Sizes past 4 GB add up without overflow.
    queue.clear();
    QVERIFY(!queue.IsQueued(u"/pub/d/1"_s, u"/o/1"_s));
    queue.append({Entry(u"/big1"_s, u"/b1"_s, u"3,000,000,000"_s),
                  Entry(u"/big2"_s, u"/b2"_s, u"3,000,000,000"_s)});
    QCOMPARE(queue.QueueInfoText(Us), u"Queue Summary\n\nFiles: 2\nDirs:  0\nSize:  6,000,000,000 bytes"_s);
    QCOMPARE(queue.headerData(0, Qt::Horizontal).toString(), u"Name                "_s);
    QCOMPARE(queue.headerData(1, Qt::Horizontal).toString(), u"Target       "_s);
}

void TestTransferQueue::movesKeepTheRunningHead() {
    QueueModel queue;
    queue.append({Entry(u"a"_s, u"1"_s), Entry(u"b"_s, u"2"_s), Entry(u"c"_s, u"3"_s)});
    QSignalSpy moved(&queue, &QAbstractItemModel::rowsMoved);
    QCOMPARE(queue.MoveUp(0, false), -1);
    QCOMPARE(queue.MoveDown(2, false), -1);
    QCOMPARE(queue.MoveDown(0, false), 1);
    QCOMPARE(Sources(queue), (QStringList{u"b"_s, u"a"_s, u"c"_s}));
    QCOMPARE(queue.MoveUp(2, false), 1);
    QCOMPARE(Sources(queue), (QStringList{u"b"_s, u"c"_s, u"a"_s}));
    QCOMPARE(moved.size(), 2);
    // While a run is active the head stays where it is.
    QCOMPARE(queue.MoveDown(0, true), -1);
    QCOMPARE(queue.MoveUp(1, true), -1);
    QCOMPARE(queue.MoveDown(1, true), 2);
    QCOMPARE(Sources(queue), (QStringList{u"b"_s, u"a"_s, u"c"_s}));
}

void TestTransferQueue::queueFileBytes() {
    const auto line = QueueFile::EncodeLine(Entry(u"/pub/a.zip"_s, u"/incoming/a.zip"_s, u"1,234"_s));
    QVERIFY(line);
    QCOMPARE(*line, QByteArray("30\xFF/pub/a.zip\xFE/incoming/a.zip\xFA"
                               "1,234"));
    TempDataDir dir;
    const QString path = dir.path() + u"/q.kqf"_s;
    QCOMPARE(QueueFile::Write(path, {}), QString());
    QCOMPARE(QFileInfo(path).size(), 0);
    QCOMPARE(QueueFile::Write(path, {Entry(u"/pub/a.zip"_s, u"/incoming/a.zip"_s, u"1,234"_s),
                                     Entry(u"/d/"_s, u"/t/"_s, {}, 1, Direction::DownloadFromRight)}),
             QString());
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), *line + "\r\n15\xFF/d/\xFE/t/\xFA\r\n");
}

void TestTransferQueue::queueFileRoundTripAndRefusals() {
    TempDataDir dir;
    const QString path = dir.path() + u"/q.kqf"_s;
    // A Latin-1 name (raw byte 0xE9) and UTF-8 text come back unchanged.
    const QString latin1Name = u"/pub/caf"_s + QChar(0xDC00 + 0xE9);
    std::vector<QueueEntry> entries;
    for (int d = 0; d < DirectionCount; ++d)
        entries.push_back(Entry(latin1Name + QString::number(d), u"/ziel/größe "_s, {}, d % 2 ? 1 : 3,
                                Direction(d)));
    // Empty fields and the smallest and largest icon digits survive too.
    entries.push_back(Entry(QString(), QString(), QString(), 0));
    entries.push_back(Entry(u"/x"_s, u"/y"_s, u"1"_s, 9));
    QCOMPARE(QueueFile::Write(path, entries), QString());
    const QueueFile::ReadResult read = QueueFile::Read(path);
    QCOMPARE(read.error, QString());
    QVERIFY(read.entries == entries);

    // A name holding a separator byte or a line break cannot be stored: the
    // old file stays as it was.
    for (const QString& bad : {u"/pub/x"_s + QChar(0xDCFF), u"/pub/a\r\nb"_s}) {
        const QString error = QueueFile::Write(path, {Entry(u"/ok"_s, u"/t"_s), Entry(bad, u"/t"_s)});
        QVERIFY(error.startsWith(u"Cannot save the queue: "_s));
        QCOMPARE(QueueFile::Read(path).entries.size(), size_t(DirectionCount + 2));
    }
    QVERIFY(QueueFile::Read(dir.path() + u"/missing.kqf"_s).error.startsWith(u"Cannot read "_s));
}

void TestTransferQueue::badLineKeepsWhatWasRead_data() {
    QTest::addColumn<QByteArray>("bad");
    QTest::addColumn<QString>("reason");
    QTest::newRow("no separators") << QByteArray("30/pub/x") << u"a separator is missing"_s;
    QTest::newRow("no size mark") << QByteArray("30\xFF/a\xFE/b") << u"a separator is missing"_s;
    QTest::newRow("letter icon") << QByteArray("x0\xFF/a\xFE/b\xFA") << u"the icon is not a digit"_s;
    QTest::newRow("no direction") << QByteArray("3\xFF/a\xFE/b\xFA") << u"the icon is not a digit"_s;
    QTest::newRow("direction 6") << QByteArray("36\xFF/a\xFE/b\xFA") << u"the direction is not 0 to 5"_s;
    QTest::newRow("blank line") << QByteArray("") << u"a separator is missing"_s;
}

void TestTransferQueue::badLineKeepsWhatWasRead() {
    QFETCH(QByteArray, bad);
    QFETCH(QString, reason);
    TempDataDir dir;
    const QString path = dir.path() + u"/q.kqf"_s;
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("30\xFF/a\xFE/b\xFA" "1\r\n31\xFF/c\xFE/d\xFA\n" + bad + "\r\n30\xFF/e\xFE/f\xFA\r\n");
    file.close();
    const QueueFile::ReadResult read = QueueFile::Read(path);
    QCOMPARE(read.entries.size(), size_t(2));
    QCOMPARE(read.entries[1].direction, Direction::FxpRightToLeft);
    QCOMPARE(read.error, u"Queue file %1, line 3: %2; the entries before it were loaded"_s.arg(path, reason));
}

void TestTransferQueue::commands() {
    TempDataDir dir;
    RecordingDesktopServices services;
    ScriptedUserPrompts prompts;
    App app(DataPaths(dir.path()), services, prompts);
    app.create();
    QueueModel& queue = app.queue();
    QueueCommands& commands = app.queueCommands();
    queue.append({Entry(u"/a"_s, u"/t/a"_s, u"1,024"_s), Entry(u"/d/"_s, u"/t/"_s, {}, 1)});

    // Edit Target: an empty answer or Cancel keeps the target.
    prompts.inputAnswers << u"/new/a"_s << QString() << std::nullopt;
    commands.EditTarget(0);
    QCOMPARE(queue.entry(0).TargetPath, u"/new/a"_s);
    commands.EditTarget(0);
    commands.EditTarget(0);
    QCOMPARE(queue.entry(0).TargetPath, u"/new/a"_s);
    QCOMPARE(prompts.asked.count(u"input:Change To|New To"_s), 3);

    // The pop-up: moves need one selected entry of several.
    QueueMenuState state = commands.MenuState({1}, false);
    QVERIFY(state.moveUp && state.moveDown && state.editTarget && state.clearQueue);
    QVERIFY(!state.transfer); // the left Transfer button is off and so was the item
    QVERIFY(!commands.MenuState({0, 1}, true).moveUp);
    QVERIFY(commands.MenuState({0, 1}, true).transfer);

    // Saved, then loaded behind what is queued; the Transfer buttons follow.
    const QString path = dir.path() + u"/saved.kqf"_s;
    prompts.fileAnswers << path << path;
    commands.SaveQueue();
    commands.LoadQueue();
    QCOMPARE(queue.count(), 4);
    QCOMPARE(queue.entry(2), queue.entry(0));
    QVERIFY(app.left().button(SideButton::Transfer).enabled &&
            app.right().button(SideButton::Transfer).enabled);
    // A run holds the buttons: loading does not offer a second run.
    app.right().setButtonEnabled(SideButton::Stop, true);
    QVERIFY(commands.LoadQueueFile(path));
    QVERIFY(!app.left().button(SideButton::Transfer).enabled);
    QCOMPARE(commands.MoveDown(0), -1);
    app.right().setButtonEnabled(SideButton::Stop, false);
    QCOMPARE(commands.MoveDown(0), 1);

    QFile bad(dir.path() + u"/bad.kqf"_s);
    QVERIFY(bad.open(QIODevice::WriteOnly));
    bad.write("30\xFF/x\xFE/y\xFA\r\nnonsense\r\n");
    bad.close();
    QVERIFY(!commands.LoadQueueFile(bad.fileName()));
    QCOMPARE(queue.count(), 7);
    bool reported = false;
    const StatusLineStore& status = app.statusLog().lines();
    for (int i = 0; i < status.count(); ++i)
        reported |= status.line(i).text.contains(u"line 2: a separator is missing"_s);
    QVERIFY(reported);

    commands.QueueInfo();
    QCOMPARE(prompts.asked.last(), u"information:Queue Summary\n\nFiles: 4\nDirs:  3\nSize:  3,072 bytes"_s);

    // Clear Queue asks first; No keeps everything.
    prompts.confirmAnswers << false << true;
    commands.ClearQueue();
    QCOMPARE(queue.count(), 7);
    commands.ClearQueue();
    QVERIFY(queue.isEmpty());
    QCOMPARE(services.calls.count(u"beep"_s), 2);
    QVERIFY(!app.left().button(SideButton::Transfer).enabled &&
            !app.right().button(SideButton::Transfer).enabled);
    // An empty queue offers no transfer, whatever the item showed before.
    QVERIFY(!commands.MenuState({}, true).transfer);
}

void TestTransferQueue::addingFromPanes() {
    TempDataDir dir;
    QVERIFY(dir.writeFile(u"Korvane.ini"_s, "[_Main_]\r\nSkip=1\r\n"));
    QVERIFY(dir.writeFile(u"skiplist.dat"_s, "[_Skip_]\r\ns0=*.zip\r\n"));
    RecordingDesktopServices services;
    ScriptedUserPrompts prompts;
    App app(DataPaths(dir.path()), services, prompts);
    app.create();
    Side& left = app.left();
    left.setCurrentPath(u"/pub/"_s);
    app.right().setCurrentPath(u"/in/"_s);
    app.right().setLocalPath(u"/home/u/dl"_s);
    auto entry = [](const QString& name, EntryKind kind, const QString& size) {
        DirEntry e;
        e.name = name;
        e.kind = kind;
        e.sizeText = size;
        return e;
    };
    left.listing().beginListing();
    left.listing().AddListEntry(entry(u"sub"_s, EntryKind::Directory, u"4,096"_s));
    left.listing().AddListEntry(entry(u"a.txt"_s, EntryKind::File, u"10"_s));
    left.listing().AddListEntry(entry(u"b.zip"_s, EntryKind::File, u"20"_s));
    left.listing().endListing();
    left.tree().AddPathNodes(u"/pub/"_s, u'/', [](const QString&) { return EntryMark::None; });
    left.tree().AddDirectoryNode(u"sub"_s, EntryMark::None, u"/pub/"_s);
    for (int row : {0, 1, 2, 3})
        left.listSelection().select(left.listing().index(row, 0),
                                    QItemSelectionModel::Select | QItemSelectionModel::Rows);
    QueueAdding& adding = app.queueAdding();
    QueueModel& queue = app.queue();

    // ".." and the skipped "*.zip" stay out; the directory's target is the parent.
    QVERIFY(adding.AddToQueue(SideId::Left, false, QueueAdding::Mode::SiteToSite));
    QCOMPARE(queue.entries(),
             (std::vector<QueueEntry>{Entry(u"/pub/sub"_s, u"/in/"_s, u"4,096"_s, 1),
                                      Entry(u"/pub/a.txt"_s, u"/in/a.txt"_s, u"10"_s)}));
    QVERIFY(left.listing().isCut(1) && left.listing().isCut(2) && !left.listing().isCut(3));
    const QModelIndex subNode = left.tree().FindPath(u"/pub/sub"_s, u'/');
    QVERIFY(subNode.data(DirectoryTreeModel::CutRole).toBool());
    QVERIFY(app.left().button(SideButton::Transfer).enabled);
    // Queued already: nothing more.
    QVERIFY(adding.AddToQueue(SideId::Left, true, QueueAdding::Mode::SiteToSite));
    QCOMPARE(queue.count(), 2);

    // A download ignores the skip list and goes to the other pane's folder;
    // Transfer As asks per file, and Cancel keeps the name.
    queue.clear();
    prompts.inputAnswers << u"renamed.txt"_s << std::nullopt;
    QVERIFY(adding.AddToQueue(SideId::Left, true, QueueAdding::Mode::Download, true));
    QCOMPARE(prompts.asked.count(u"input:Save As|Filename"_s), 2);
    QCOMPARE(queue.count(), 3);
    QCOMPARE(queue.entry(0).TargetPath, u"/home/u/dl/sub"_s);
    QCOMPARE(queue.entry(1).TargetPath, u"/home/u/dl/renamed.txt"_s);
    QCOMPARE(queue.entry(2).TargetPath, u"/home/u/dl/b.zip"_s);
    QCOMPARE(queue.entry(2).direction, Direction::DownloadFromLeft);

    // Uploads are never checked for doubles.
    queue.clear();
    const std::vector<LocalItem> items{{u"/home/u/f.bin"_s, false, 2}, {u"/home/u/d"_s, true, 0}};
    adding.AddUploads(SideId::Left, items);
    adding.AddUploads(SideId::Left, items);
    QCOMPARE(queue.count(), 4);
    QCOMPARE(queue.entry(0), Entry(u"/home/u/f.bin"_s, u"/in/f.bin"_s, u"2,048"_s, 3,
                                   Direction::UploadToRight));
    QCOMPARE(queue.entry(1), Entry(u"/home/u/d/"_s, u"/in/"_s, u"0"_s, 1, Direction::UploadToRight));

    // A tree node is a directory entry, queued once.
    queue.clear();
    left.treeSelection().setCurrentIndex(subNode, QItemSelectionModel::ClearAndSelect);
    adding.QueueTreeSelection(SideId::Left);
    adding.QueueTreeSelection(SideId::Left);
    adding.QueueTreeSelection(SideId::Left, u"/elsewhere"_s);
    QCOMPARE(queue.entries(), (std::vector<QueueEntry>{Entry(u"/pub/sub"_s, u"/in/"_s, {}, 1),
                                                      Entry(u"/pub/sub"_s, u"/elsewhere/"_s, {}, 1)}));

    // Without a current directory on a side that cannot answer, nothing is added.
    queue.clear();
    app.right().setCurrentPath(QString());
    QVERIFY(!adding.AddToQueue(SideId::Left, true, QueueAdding::Mode::SiteToSite));
    QVERIFY(queue.isEmpty());
    QCOMPARE(prompts.asked.last(), u"information:Unable to determine Current directory"_s);
}

void TestTransferQueue::progressTexts() {
    QCOMPARE(FormatDuration(0), u"00:00"_s);
    QCOMPARE(FormatDuration(59), u"00:59"_s);
    QCOMPARE(FormatDuration(61), u"01:01"_s);
    QCOMPARE(FormatDuration(3600), u"01:00:00"_s);
    QCOMPARE(FormatDuration(360000 + 62), u"100:01:02"_s);

    QCOMPARE(ProgressLine(u"Receiving "_s, 1048576, 2097152, 10'400, Us),
             u"Receiving 1,048,576 of 2,097,152   (102.40 k/sec)  50%   Remain: 00:10"_s);
    // The first second divides by a hundredth; no size announced, no line.
    QCOMPARE(ProgressLine(u"Sending "_s, 1024, 4096, 300, Us),
             u"Sending 1,024 of 4,096   (100.00 k/sec)  25%   Remain: 00:00"_s);
    QCOMPARE(ProgressLine(u"Receiving "_s, 1024, 0, 5000, Us), QString());
    QCOMPARE(ProgressLine(u"Receiving "_s, 1, 1, 1000, Us),
             u"Receiving 1 of 1   (0.00 k/sec)  100%   Remain: 00:00"_s);
    QCOMPARE(ProgressLine(u"Receiving "_s, 0, 4096, 5000, Us), QString());
    // Past 2 GB the percentage and counts stay right.
    QCOMPARE(ProgressLine(u"Receiving "_s, 3'000'000'000, 6'000'000'000, 1000'000, Us),
             u"Receiving 3,000,000,000 of 6,000,000,000   (2,929.69 k/sec)  50%   Remain: 17:04"_s);

    RunTotals totals;
    QCOMPARE(FormatTransferDone(400, 2048, u"/pub/a.zip"_s, totals, Us),
             u"Transfer done: /pub/a.zip 2,048 bytes in 00:01 (2.00 k/sec)"_s);
    FormatTransferDone(2500, 5'000'000'000, u"big"_s, totals, Us);
    QCOMPARE(totals.files, 2);
    QCOMPARE(totals.seconds, 3);
    QCOMPARE(totals.bytes, 5'000'002'048);

    // The timer's tick without both sessions stops the timer; the title
    // counts the queued directories and files.
    TempDataDir dir;
    RecordingDesktopServices services;
    ScriptedUserPrompts prompts;
    App app(DataPaths(dir.path()), services, prompts);
    app.create();
    app.queue().append({Entry(u"/d/"_s, u"/t/"_s, {}, 1), Entry(u"/f"_s, u"/t/f"_s)});
    QSignalSpy tips(&app, &App::trayTipChanged);
    app.transferTimer().start();
    app.transferTicker().TransferTimerTimer();
    QVERIFY(!app.transferTimer().isActive());
    app.runState().ElapsedSeconds = 75;
    app.transferTicker().UpdateTitle(false);
    QCOMPARE(app.title(), u"1-1 (01:15)"_s);
    QCOMPARE(app.right().statusBarText(), u"Elapsed: 01:15"_s);
    QCOMPARE(tips.last().first().toString(), u"Korvane - 1-1 (01:15)"_s);

    QCOMPARE(TransferTitle(2, 5, 75, false), u"2-5 (01:15)"_s);
    QCOMPARE(TransferTitle(2, 5, 75, true), u"2-5 (?\?:?\?)"_s);
}

void TestTransferQueue::dropsAndDrags() {
    DropContext c;
    c.leftConnected = c.rightConnected = true;
    // A list's selection goes site to site, or down to the other pane's
    // local folder when that pane shows it.
    QCOMPARE(PlanQueueDrop(DragSource::LeftList, c).kind, DropPlan::SiteToSite);
    c.rightLocalVisible = true;
    QCOMPARE(PlanQueueDrop(DragSource::LeftList, c).kind, DropPlan::Download);
    QCOMPARE(PlanQueueDrop(DragSource::RightList, c).kind, DropPlan::SiteToSite);
    const DropPlan tree = PlanQueueDrop(DragSource::RightTree, c);
    QVERIFY(tree.kind == DropPlan::TreeNode && tree.side == SideId::Right);
    // A local pane uploads to the other side only while it is connected.
    QCOMPARE(PlanQueueDrop(DragSource::LeftLocal, c).kind, DropPlan::Upload);
    c.rightConnected = false;
    QCOMPARE(PlanQueueDrop(DragSource::LeftLocal, c).kind, DropPlan::Nothing);
    QCOMPARE(PlanQueueDrop(DragSource::RightLocal, c).kind, DropPlan::Upload);
    QCOMPARE(PlanQueueDrop(DragSource::Other, c).kind, DropPlan::Nothing);
    // "On DragDrop" 1 starts the queue, except for drops on the queue itself.
    QVERIFY(!PlanQueueDrop(DragSource::LeftList, c).startQueue);
    c.onDragDrop = 1;
    QVERIFY(PlanQueueDrop(DragSource::LeftList, c).startQueue);
    c.ontoQueue = true;
    QVERIFY(!PlanQueueDrop(DragSource::LeftList, c).startQueue);

    DropContext d;
    QVERIFY(!AcceptQueueDrag(DragSource::LeftList, d)); // nothing connected, no local list
    d.leftConnected = d.rightConnected = true;
    QVERIFY(AcceptQueueDrag(DragSource::LeftList, d));
    d.leftLocalVisible = d.rightLocalVisible = true;
    QVERIFY(!AcceptQueueDrag(DragSource::LeftTree, d));
    QVERIFY(AcceptQueueDrag(DragSource::LeftLocal, d) && AcceptQueueDrag(DragSource::RightLocal, d));
    d.rightConnected = false;
    QVERIFY(!AcceptQueueDrag(DragSource::LeftLocal, d));
    d.leftConnected = false;
    d.rightLocalVisible = false;
    QVERIFY(AcceptQueueDrag(DragSource::LeftList, d)); // a local list shows, the other is hidden
    QVERIFY(!AcceptQueueDrag(DragSource::Other, d));  // nothing from outside is queued
    QVERIFY(!AcceptQueueDrag(DragSource::RightLocal, d));
    // The usual upload: the left pane shows the disk, the right its server.
    DropContext upload;
    upload.leftLocalVisible = upload.rightConnected = true;
    QVERIFY(AcceptQueueDrag(DragSource::LeftLocal, upload));
    QVERIFY(AcceptsDrop(DropTarget::Queue, DragSource::LeftLocal, upload));
    // Lists take the other side's items only; local lists only downloads.
    DropContext both;
    both.leftConnected = both.rightConnected = true;
    QVERIFY(AcceptsDrop(DropTarget::RightList, DragSource::LeftList, both));
    QVERIFY(!AcceptsDrop(DropTarget::LeftList, DragSource::LeftList, both));
    QVERIFY(!AcceptsDrop(DropTarget::LeftList, DragSource::LeftTree, both));
    QVERIFY(!AcceptsDrop(DropTarget::RightLocal, DragSource::LeftList, both));
    both.rightLocalVisible = true;
    QVERIFY(AcceptsDrop(DropTarget::RightLocal, DragSource::LeftList, both));
    QVERIFY(!AcceptsDrop(DropTarget::RightLocal, DragSource::RightList, both));
}

QTEST_GUILESS_MAIN(TestTransferQueue)
#include "test_transfer_queue.moc"
