// Operations on a server's files: deletion, one command each or recursive,
// from the list and from the tree, stopped by the user or by a refusal;
// rename, move, chmod, make, change and copy directory; and the same on the
// local disk.
#include "FakeScripts.h"
#include "FtpServerFixture.h"
#include "RecordingDesktopServices.h"
#include "RemoteFiles.h"
#include "ScriptedUserPrompts.h"
#include "TempDataDir.h"
#include "TwoSites.h"
#include "app/App.h"
#include "app/RemotePath.h"
#include "net/FtpSession.h"

#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

using namespace Qt::Literals::StringLiterals;

class TestRemoteFileOps : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void cleanup();
    void permissionBoxes();
    void nonRecursiveDelete();
    void recursiveDelete();
    void deleteFromTheTree();
    void stopLeavesTheRest();
    void refusalStopsRecursiveDelete();
    void hostileListingStopsRecursiveDelete_data();
    void hostileListingStopsRecursiveDelete();
    void bigTreeGoesEntirely();
    void renameAndMove();
    void renameAndMoveInTheTree();
    void chmod();
    void directories();
    void localDirectories();

private:
    void startApp(const QByteArray& mainKeys = {});
    // A fresh directory on the left server, the side in it.
    QString enterFreshDirectory();
    void select(const QStringList& names);
    void selectTreeNode(const QString& path);
    // Commands the left side sent since line `from`, paths shortened to
    // what follows the fresh directory.
    QStringList sent(const QStringList& kinds, int from = 0) const;
    QStringList listed();
    bool logged(const QString& text) const;
    int lineCount() const { return m_app->statusLog().lines().count(); }
    void deleteSelection(bool recursive, bool fromTree = false);

    TwoSites m_sites;
    RecordingDesktopServices m_services;
    ScriptedUserPrompts m_prompts;
    std::unique_ptr<App> m_app;
    QString m_fresh;
    int m_dirs = 0;
};

void TestRemoteFileOps::initTestCase() {
    QString error;
    QVERIFY2(m_sites.startServers(error), qPrintable(error));
}

void TestRemoteFileOps::cleanup() {
    m_app.reset();
    m_prompts = ScriptedUserPrompts();
}

void TestRemoteFileOps::startApp(const QByteArray& mainKeys) {
    m_app = m_sites.startConnectedApp(m_services, m_prompts, mainKeys);
    QVERIFY(m_app);
}

QString TestRemoteFileOps::enterFreshDirectory() {
    Side& left = m_app->left();
    const QString name = u"korvane-ops-%1-%2"_s.arg(QCoreApplication::applicationPid()).arg(++m_dirs);
    const QString dir = left.currentPath() + name + u'/';
    left.session().MakeDir(dir);
    left.session().ChangeDir(dir);
    m_fresh = dir;
    return dir;
}

void TestRemoteFileOps::select(const QStringList& names) {
    Side& side = m_app->left();
    side.listSelection().clearSelection();
    const std::vector<DirEntry>& entries = side.listing().entries();
    for (size_t row = 0; row < entries.size(); ++row)
        if (names.contains(entries[row].name))
            side.listSelection().select(side.listing().index(int(row), 0),
                                        QItemSelectionModel::Select | QItemSelectionModel::Rows);
    QCOMPARE(side.selectedRows().size(), names.size());
}

void TestRemoteFileOps::selectTreeNode(const QString& path) {
    Side& side = m_app->left();
    const QModelIndex node = side.tree().FindPath(path, u'/');
    QVERIFY2(node.isValid(), qPrintable(path));
    side.treeSelection().setCurrentIndex(node, QItemSelectionModel::ClearAndSelect);
}

QStringList TestRemoteFileOps::sent(const QStringList& kinds, int from) const {
    QStringList result;
    const StatusLineStore& store = m_app->statusLog().lines();
    for (int i = from; i < store.count(); ++i) {
        const StatusLine& line = store.line(i);
        if (line.colour != clBlue || !kinds.contains(line.text.section(u' ', 0, 0)))
            continue;
        QString text = line.text;
        text.replace(m_fresh, QString());
        result << text;
    }
    return result;
}

QStringList TestRemoteFileOps::listed() {
    m_app->listing().RefreshDirectory(SideId::Left, false);
    QStringList names;
    for (const DirEntry& entry : m_app->left().listing().entries())
        if (entry.kind != EntryKind::Parent)
            names << entry.name;
    names.sort();
    return names;
}

bool TestRemoteFileOps::logged(const QString& text) const {
    const StatusLineStore& store = m_app->statusLog().lines();
    for (int i = 0; i < store.count(); ++i)
        if (store.line(i).text.startsWith(text))
            return true;
    return false;
}

void TestRemoteFileOps::deleteSelection(bool recursive, bool fromTree) {
    m_app->WriteToggle(ToggleKey::DeleteMethod, !recursive);
    m_prompts.confirmAnswers.enqueue(true);
    m_app->deletion().Delete1Click(SideId::Left, fromTree);
}

void TestRemoteFileOps::permissionBoxes() {
    const PermissionBoxes boxes = PermissionBoxes::FromAttributes(u"-rwxr-x---"_s);
    QCOMPARE(boxes.checked, (std::array<bool, 9>{true, true, true, true, false, true, false,
                                                 false, false}));
    QCOMPARE(boxes.ModeText(), u"750"_s);
    QCOMPARE(PermissionBoxes().ModeText(), u"0"_s);
    QCOMPARE(PermissionBoxes::FromAttributes(u"drw-r--r--"_s).Mode(), 644);
    QCOMPARE(PermissionBoxes::FromAttributes(u"----r--r--"_s).ModeText(), u"44"_s);
    // An MS-DOS "D", a short text or other letters check nothing.
    QCOMPARE(PermissionBoxes::FromAttributes(u"D"_s).Mode(), 0);
    QCOMPARE(PermissionBoxes::FromAttributes(u"-rwsr-Sr-T"_s).Mode(), 644);
}

void TestRemoteFileOps::nonRecursiveDelete() {
    startApp();
    Side& left = m_app->left();
    const QString dir = enterFreshDirectory();
    QVERIFY(PutRemoteFile(left.session(), dir + u"a.txt"_s, "a"));
    QVERIFY(PutRemoteFile(left.session(), dir + u"b.txt"_s, "b"));
    left.session().MakeDir(dir + u"empty"_s);
    left.session().MakeDir(dir + u"full"_s);
    QVERIFY(PutRemoteFile(left.session(), dir + u"full/x"_s, "x"));
    QCOMPARE(listed(), QStringList({u"a.txt"_s, u"b.txt"_s, u"empty"_s, u"full"_s}));
    select({u"a.txt"_s, u"b.txt"_s, u"empty"_s, u"full"_s});
    QSignalSpy shown(&m_app->deletion().queue(), &DeleteQueueModel::shownChanged);
    const int from = lineCount();
    deleteSelection(false);

    QCOMPARE(m_prompts.asked.last(), u"confirm:Delete selected files, Are you sure"_s);
    QCOMPARE(m_services.calls.first(), u"playSystemSound:4"_s);
    // In reverse list order (directories are listed first), then back.
    QCOMPARE(sent({u"DELE"_s, u"RMD"_s, u"CWD"_s}, from),
             QStringList({u"DELE b.txt"_s, u"DELE a.txt"_s, u"RMD full"_s, u"RMD empty"_s,
                          u"CWD "_s}));
    // The directory that still held a file stays, with its file.
    QCOMPARE(listed(), QStringList(u"full"_s));
    QCOMPARE(shown.count(), 2);
    QVERIFY(!m_app->deletion().queue().shown());
    QVERIFY(m_app->deletion().queue().isEmpty());
    QVERIFY(!left.state().Busy);
    QVERIFY(!left.button(SideButton::Stop).enabled);

    // Answered No: nothing is sent.
    select({u"full"_s});
    const int before = lineCount();
    m_prompts.confirmAnswers.enqueue(false);
    m_app->deletion().Delete1Click(SideId::Left, false);
    QCOMPARE(sent({u"DELE"_s, u"RMD"_s, u"CWD"_s}, before), QStringList());
}

void TestRemoteFileOps::recursiveDelete() {
    startApp();
    Side& left = m_app->left();
    const QString dir = enterFreshDirectory();
    left.session().MakeDir(dir + u"A"_s);
    left.session().MakeDir(dir + u"A/B"_s);
    QVERIFY(PutRemoteFile(left.session(), dir + u"A/f"_s, "f"));
    QVERIFY(PutRemoteFile(left.session(), dir + u"A/B/g"_s, "g"));
    QVERIFY(PutRemoteFile(left.session(), dir + u"keep"_s, "k"));
    QCOMPARE(listed(), QStringList({u"A"_s, u"keep"_s}));
    select({u"A"_s});
    const int from = lineCount();
    deleteSelection(true);

    // Each RMD follows a listing that showed the directory empty, and the
    // side leaves a directory before removing it.
    QCOMPARE(sent({u"DELE"_s, u"RMD"_s, u"CWD"_s, u"CDUP"_s, u"LIST"_s}, from),
             QStringList({u"CWD A"_s, u"LIST"_s, u"DELE A/f"_s, u"CWD A/B"_s, u"LIST"_s,
                          u"DELE A/B/g"_s, u"CWD A/B"_s, u"LIST"_s, u"CDUP"_s, u"RMD A/B"_s,
                          u"CWD A"_s, u"LIST"_s, u"CDUP"_s, u"RMD A"_s, u"CWD "_s,
                          u"LIST"_s}));
    QCOMPARE(listed(), QStringList(u"keep"_s));
    QCOMPARE(left.currentPath(), dir);
    QVERIFY(!logged(u"Action STOPPED!"_s));
}

void TestRemoteFileOps::deleteFromTheTree() {
    startApp();
    Side& left = m_app->left();
    const QString dir = enterFreshDirectory();
    left.session().MakeDir(dir + u"T"_s);
    QVERIFY(PutRemoteFile(left.session(), dir + u"T/h"_s, "h"));
    QCOMPARE(listed(), QStringList(u"T"_s));
    selectTreeNode(dir + u"T"_s);
    const int from = lineCount();
    deleteSelection(false, true);
    // Entered first; its contents go before the directory itself.
    QCOMPARE(sent({u"DELE"_s, u"RMD"_s, u"CWD"_s}, from),
             QStringList({u"CWD T"_s, u"RMD T"_s, u"DELE T/h"_s, u"CWD "_s + dir.chopped(1)}));
    QCOMPARE(left.currentPath(), dir);
    // Its RMD came before its file went: it stays, empty, until a recursive run.
    QCOMPARE(listed(), QStringList(u"T"_s));
    selectTreeNode(dir + u"T"_s);
    deleteSelection(true, true);
    QCOMPARE(listed(), QStringList());
    QVERIFY(!m_app->left().tree().FindPath(dir + u"T"_s, u'/').isValid());
}

void TestRemoteFileOps::stopLeavesTheRest() {
    startApp();
    Side& left = m_app->left();
    const QString dir = enterFreshDirectory();
    left.session().MakeDir(dir + u"many"_s);
    for (int i = 0; i < 12; ++i)
        QVERIFY(PutRemoteFile(left.session(), dir + u"many/f%1"_s.arg(i, 2, 10, QLatin1Char('0')), "x"));
    listed();
    select({u"many"_s});
    // Stop is pressed while the fourth file is deleted.
    int deletes = 0;
    const StatusLineStore& store = m_app->statusLog().lines();
    QObject::connect(&store, &StatusLineStore::lineAppended, m_app.get(), [&](int index) {
        if (store.line(index).text.startsWith(u"DELE ") && ++deletes == 4)
            m_app->queueRunner().AbortClick();
    });
    deleteSelection(true);
    QVERIFY(logged(u"Action STOPPED!"_s));
    QCOMPARE(deletes, 4);
    QVERIFY(!m_app->deletion().queue().shown());
    QVERIFY(!left.state().Busy);
    left.session().ChangeDir(dir + u"many"_s);
    QCOMPARE(listed().size(), 8);
}

void TestRemoteFileOps::refusalStopsRecursiveDelete() {
    m_app = m_sites.startApp(m_services, m_prompts, "ConnectTimeout=2\r\nDelete Method=0\r\n");
    QVERIFY(m_app);
    FakeFtpServer fake;
    QVERIFY(fake.listen());
    ScriptLogin(fake);
    ScriptPassiveList(fake, "/", "drwxr-xr-x 2 u g 0 Jan 1 2024 d\r\n");
    fake.expect("CWD /d", "250 ok");
    ScriptPassiveList(fake, "/d",
                  "-rw-r--r-- 1 u g 1 Jan 1 2024 a\r\n-rw-r--r-- 1 u g 1 Jan 1 2024 b\r\n");
    // Listed a, b: queued b, a above d; the files go last first.
    fake.expect("DELE /d/a", "550 Permission denied");
    ConnectLeftToFake(*m_app, fake);
    select({u"d"_s});
    m_prompts.confirmAnswers.enqueue(true);
    m_app->deletion().Delete1Click(SideId::Left, false);
    QVERIFY2(fake.mismatches().isEmpty(), fake.mismatches().join('\n'));
    // "b" stays, and no return to the start: a stop skips it.
    QVERIFY(!fake.received().contains("DELE /d/b"));
    QVERIFY(logged(u"Action STOPPED!"_s));
    QVERIFY(!logged(u"Transfered "_s));
}

// Names that lead out of the directory, and a server that keeps listing
// what it said it deleted, stop the deletion instead of going elsewhere or
// on forever.
void TestRemoteFileOps::hostileListingStopsRecursiveDelete() {
    QFETCH(QByteArray, listing);
    QFETCH(QByteArray, refused);
    m_app = m_sites.startApp(m_services, m_prompts, "ConnectTimeout=2\r\nDelete Method=0\r\n");
    QVERIFY(m_app);
    FakeFtpServer fake;
    QVERIFY(fake.listen());
    ScriptLogin(fake);
    ScriptPassiveList(fake, "/", "drwxr-xr-x 2 u g 0 Jan 1 2024 d\r\n");
    fake.expect("CWD /d", "250 ok");
    ScriptPassiveList(fake, "/d", listing);
    if (refused.isEmpty()) {
        // The file is said to go, and is listed again.
        fake.expect("DELE /d/stays", "250 deleted");
        fake.expect("CWD /d", "250 ok");
        ScriptPassiveList(fake, "/d", listing);
    }
    ConnectLeftToFake(*m_app, fake);
    select({u"d"_s});
    m_prompts.confirmAnswers.enqueue(true);
    m_app->deletion().Delete1Click(SideId::Left, false);
    QVERIFY2(fake.mismatches().isEmpty(), fake.mismatches().join('\n'));
    QVERIFY(fake.scriptDone());
    QVERIFY(logged(u"Action STOPPED!"_s));
    if (!refused.isEmpty())
        QVERIFY(logged(u"File Skipped: "_s + QString::fromUtf8(refused)));
    else
        QVERIFY(logged(u"Delete stopped: /d still lists what was deleted from it"_s));
}

void TestRemoteFileOps::hostileListingStopsRecursiveDelete_data() {
    QTest::addColumn<QByteArray>("listing");
    QTest::addColumn<QByteArray>("refused");
    QTest::newRow("up and out") << QByteArray("-rw-r--r-- 1 u g 1 Jan 1 2024 ../x\r\n")
                                << QByteArray("../x");
    QTest::newRow("absolute") << QByteArray("drwxr-xr-x 2 u g 0 Jan 1 2024 /etc\r\n")
                              << QByteArray("/etc");
    QTest::newRow("deleted, listed again")
        << QByteArray("-rw-r--r-- 1 u g 1 Jan 1 2024 stays\r\n") << QByteArray();
}

void TestRemoteFileOps::bigTreeGoesEntirely() {
    if (!m_sites.a().isLocal())
        QSKIP("builds the tree in the server's own folder: our pyftpdlib only");
    startApp();
    const QString dir = enterFreshDirectory();
    // 50 directories nested five deep, 40 files each.
    const QString root = m_sites.a().rootPath() + dir;
    QString path;
    int files = 0;
    for (int d = 0; d < 50; ++d) {
        path = (d % 5 == 0 ? u"big"_s : path) + u"/d%1"_s.arg(d);
        QVERIFY(QDir().mkpath(root + path));
        for (int f = 0; f < 40; ++f, ++files)
            QVERIFY(m_sites.a().putFile((dir + path).mid(1) + u"/f%1"_s.arg(f), "x"));
    }
    QCOMPARE(files, 2000);
    QCOMPARE(listed(), QStringList(u"big"_s));
    select({u"big"_s});
    deleteSelection(true);
    QVERIFY(!logged(u"Action STOPPED!"_s));
    QCOMPARE(listed(), QStringList());
    QVERIFY(!QFileInfo::exists(root + u"big"_s));
}

void TestRemoteFileOps::renameAndMove() {
    startApp();
    Side& left = m_app->left();
    const QString dir = enterFreshDirectory();
    QVERIFY(PutRemoteFile(left.session(), dir + u"a.txt"_s, "a"));
    left.session().MakeDir(dir + u"moved"_s);
    listed();
    select({u"a.txt"_s});
    int from = lineCount();
    m_prompts.inputAnswers.enqueue(u"b.txt"_s);
    m_app->remoteFileOps().Rename(SideId::Left, PaneFocus::List);
    QCOMPARE(m_prompts.asked.last(), u"input:Rename|To"_s);
    QCOMPARE(m_prompts.inputDefaults.last(), u"a.txt"_s);
    QCOMPARE(sent({u"RNFR"_s, u"RNTO"_s, u"LIST"_s}, from),
             QStringList({u"RNFR a.txt"_s, u"RNTO b.txt"_s, u"LIST"_s}));
    // Refreshed without the cache: the new name shows.
    QVERIFY(std::any_of(left.listing().entries().begin(), left.listing().entries().end(),
                        [](const DirEntry& e) { return e.name == u"b.txt"; }));

    // Unchanged or empty: nothing is sent.
    select({u"b.txt"_s});
    from = lineCount();
    m_prompts.inputAnswers.enqueue(u"b.txt"_s);
    m_app->remoteFileOps().Rename(SideId::Left, PaneFocus::List);
    m_prompts.inputAnswers.enqueue(QString());
    m_app->remoteFileOps().Move(SideId::Left, PaneFocus::List);
    QCOMPARE(sent({u"RNFR"_s, u"RNTO"_s}, from), QStringList());

    // Move takes the path as typed.
    m_prompts.inputAnswers.enqueue(dir + u"moved/a.txt"_s);
    m_app->remoteFileOps().Move(SideId::Left, PaneFocus::List);
    QCOMPARE(m_prompts.inputDefaults.last(), dir + u"b.txt"_s);
    QCOMPARE(sent({u"RNFR"_s, u"RNTO"_s}, from),
             QStringList({u"RNFR b.txt"_s, u"RNTO moved/a.txt"_s}));
    QCOMPARE(FetchRemoteFile(left.session(), dir + u"moved/a.txt"_s), QByteArray("a"));
    QCOMPARE(listed(), QStringList(u"moved"_s));

    // A refused RNFR: the failure shows, RNTO is still sent, the list refreshed.
    left.listSelection().clearSelection();
    select({u"moved"_s});
    QVERIFY(left.session().isConnected());
    from = lineCount();
    m_prompts.inputAnswers.enqueue(u"/nowhere/at/all"_s);
    m_app->remoteFileOps().Move(SideId::Left, PaneFocus::List);
    QCOMPARE(sent({u"RNFR"_s, u"RNTO"_s, u"LIST"_s}, from),
             QStringList({u"RNFR moved"_s, u"RNTO /nowhere/at/all"_s, u"LIST"_s}));
    QCOMPARE(listed(), QStringList(u"moved"_s));
}

void TestRemoteFileOps::renameAndMoveInTheTree() {
    startApp();
    Side& left = m_app->left();
    const QString dir = enterFreshDirectory();
    left.session().MakeDir(dir + u"old"_s);
    left.session().MakeDir(dir + u"other"_s);
    listed();
    selectTreeNode(dir + u"old"_s);
    int from = lineCount();
    m_prompts.inputAnswers.enqueue(dir + u"new"_s);
    m_app->remoteFileOps().Rename(SideId::Left, PaneFocus::Tree);
    QCOMPARE(m_prompts.inputDefaults.last(), dir + u"old"_s);
    QCOMPARE(sent({u"RNFR"_s, u"RNTO"_s}, from), QStringList({u"RNFR old"_s, u"RNTO new"_s}));
    QVERIFY(!left.tree().FindPath(dir + u"old"_s, u'/').isValid());
    QVERIFY(left.tree().FindPath(dir + u"new"_s, u'/').isValid());

    selectTreeNode(dir + u"new"_s);
    from = lineCount();
    m_prompts.inputAnswers.enqueue(dir + u"other/new"_s);
    m_app->remoteFileOps().Move(SideId::Left, PaneFocus::Tree);
    QCOMPARE(sent({u"RNFR"_s, u"RNTO"_s}, from),
             QStringList({u"RNFR new"_s, u"RNTO other/new"_s}));
    QVERIFY(!left.tree().FindPath(dir + u"new"_s, u'/').isValid());
    QCOMPARE(listed(), QStringList(u"other"_s));

    // The root is the server itself: nothing is asked.
    left.treeSelection().setCurrentIndex(left.tree().index(0, 0), QItemSelectionModel::ClearAndSelect);
    const qsizetype asked = m_prompts.asked.size();
    m_app->remoteFileOps().Rename(SideId::Left, PaneFocus::Tree);
    m_app->remoteFileOps().Move(SideId::Left, PaneFocus::Tree);
    QCOMPARE(m_prompts.asked.size(), asked);
}

void TestRemoteFileOps::chmod() {
    startApp();
    Side& left = m_app->left();
    const QString dir = enterFreshDirectory();
    QVERIFY(PutRemoteFile(left.session(), dir + u"run.sh"_s, "#!/bin/sh\n"));
    listed();
    select({u"run.sh"_s});
    PermissionBoxes mode;
    mode.checked = {true, true, true, true, false, true, false, false, false};
    m_prompts.attributeAnswers.enqueue(mode);
    int from = lineCount();
    m_app->remoteFileOps().Chmod(SideId::Left, PaneFocus::List);
    // The dialog starts from the listed attributes.
    QCOMPARE(m_prompts.attributeQuestions.last().ModeText(), u"644"_s);
    QCOMPARE(sent({u"SITE"_s}, from), QStringList(u"SITE CHMOD 750 run.sh"_s));
    // Refreshed: the new attributes show at once.
    const auto entry = std::find_if(left.listing().entries().begin(),
                                    left.listing().entries().end(),
                                    [](const DirEntry& e) { return e.name == u"run.sh"; });
    QVERIFY(entry != left.listing().entries().end());
    QCOMPARE(entry->attributes, u"-rwxr-x---"_s);

    // All cleared sends 0; Cancel sends nothing.
    select({u"run.sh"_s});
    m_prompts.attributeAnswers.enqueue(PermissionBoxes());
    m_prompts.attributeAnswers.enqueue(std::nullopt);
    from = lineCount();
    m_app->remoteFileOps().Chmod(SideId::Left, PaneFocus::List);
    QCOMPARE(m_prompts.attributeQuestions.last().ModeText(), u"750"_s);
    select({u"run.sh"_s});
    m_app->remoteFileOps().Chmod(SideId::Left, PaneFocus::List);
    QCOMPARE(sent({u"SITE"_s}, from), QStringList(u"SITE CHMOD 0 run.sh"_s));

    // A tree node: its full path, all boxes clear to begin with.
    left.session().MakeDir(dir + u"sub"_s);
    listed();
    selectTreeNode(dir + u"sub"_s);
    m_prompts.attributeAnswers.enqueue(PermissionBoxes::FromAttributes(u"drwxr-xr-x"_s));
    from = lineCount();
    m_app->remoteFileOps().Chmod(SideId::Left, PaneFocus::Tree);
    QCOMPARE(m_prompts.attributeQuestions.last().Mode(), 0);
    QCOMPARE(sent({u"SITE"_s}, from), QStringList(u"SITE CHMOD 755 sub"_s));
}

void TestRemoteFileOps::directories() {
    startApp();
    Side& left = m_app->left();
    Side& right = m_app->right();
    const QString dir = enterFreshDirectory();
    int from = lineCount();
    m_prompts.inputAnswers.enqueue(u"new"_s);
    m_app->remoteFileOps().MakeDirectory(SideId::Left);
    QCOMPARE(m_prompts.asked.last(), u"input:Make Directory|Name of Directory"_s);
    QCOMPARE(sent({u"MKD"_s, u"CWD"_s}, from), QStringList({u"MKD new"_s, u"CWD new"_s}));
    QCOMPARE(left.currentPath(), dir + u"new/"_s);

    // To where it is: nothing is sent; elsewhere: CWD.
    from = lineCount();
    m_prompts.inputAnswers.enqueue(left.currentPath());
    m_app->remoteFileOps().ChangeDirectory(SideId::Left);
    QCOMPARE(m_prompts.inputDefaults.last(), dir + u"new/"_s);
    QCOMPARE(sent({u"CWD"_s}, from), QStringList());
    m_prompts.inputAnswers.enqueue(dir);
    m_app->remoteFileOps().ChangeDirectory(SideId::Left);
    QCOMPARE(left.currentPath(), dir);

    // Copy Directory: the other side makes and enters a directory of this name.
    const QString rightStart = right.currentPath();
    m_app->remoteFileOps().CopyDirectory(SideId::Left);
    QCOMPARE(right.currentPath(), rightStart + LastPathComponent(dir) + u'/');
}

void TestRemoteFileOps::localDirectories() {
    m_app = m_sites.startApp(m_services, m_prompts, "");
    QVERIFY(m_app);
    Side& side = m_app->right();
    QTemporaryDir disk;
    side.setLocalPath(disk.path());
    QSignalSpy refreshed(&side, &Side::localFolderRefreshRequested);
    m_prompts.inputAnswers.enqueue(u"made"_s);
    m_app->remoteFileOps().MakeLocalDirectory(SideId::Right);
    QVERIFY(QFileInfo(disk.filePath(u"made"_s)).isDir());
    QCOMPARE(refreshed.count(), 1);
    m_prompts.inputAnswers.enqueue(u"made"_s);
    m_app->remoteFileOps().MakeLocalDirectory(SideId::Right);
    QCOMPARE(m_prompts.asked.last(), u"error:Cannot create directory"_s);

    m_prompts.inputAnswers.enqueue(disk.filePath(u"made"_s));
    m_app->remoteFileOps().ChangeLocalDirectory(SideId::Right);
    QCOMPARE(m_prompts.asked.last(), u"input:Change Directory|Enter new directory"_s);
    QCOMPARE(m_prompts.inputDefaults.last(), disk.path());
    QCOMPARE(side.localPath(), disk.filePath(u"made"_s));
    m_prompts.inputAnswers.enqueue(disk.filePath(u"missing"_s));
    m_app->remoteFileOps().ChangeLocalDirectory(SideId::Right);
    QCOMPARE(side.localPath(), disk.filePath(u"made"_s));
}

QTEST_GUILESS_MAIN(TestRemoteFileOps)
#include "test_remote_fileops.moc"
