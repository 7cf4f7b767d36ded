// A side's remote list, tree and path box in the main window: what they show
// of the side's models and what the user's clicks, keys and menu items do.
#include "RecordingDesktopServices.h"
#include "ScriptedUserPrompts.h"
#include "TempDataDir.h"
#include "app/App.h"
#include "app/MainWindow.h"
#include "app/SidePanel.h"
#include "app/TextViewerWindow.h"
#include "listing/ListNavigation.h"

#include <QAction>
#include <QComboBox>
#include <QHeaderView>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QSignalSpy>
#include <QTreeView>
#include <QtTest>

using namespace Qt::Literals::StringLiterals;

namespace {
constexpr Colour Favourite = MakeColour(0, 160, 0);
constexpr Colour Skipped = MakeColour(200, 0, 200);
enum { Name, Size, Date, Owner, Group, Attrib }; // the list's columns

DirEntry Entry(const QString& name, EntryKind kind, qint64 size = 0,
               EntryMark mark = EntryMark::None) {
    const QString attributes = kind == EntryKind::File ? u"-rw-r--r--"_s : u"drwxr-xr-x"_s;
    return {
        name, size, QString::number(size), u"01/02/24 10:00"_s, {}, u"abc"_s, u"abc"_s, attributes,
        kind, mark};
}

void Fill(Side& side, const QList<DirEntry>& entries) {
    side.beginListing();
    for (const DirEntry& e : entries)
        side.listing().AddListEntry(e);
    side.endListing();
}

QStringList Names(const QTreeView* list) {
    QStringList names;
    for (int row = 0; row < list->model()->rowCount(); ++row)
        names << list->model()->index(row, Name).data().toString();
    return names;
}

// The width a cell asks for, icon included.
int HintWidth(QTreeView* list, const QModelIndex& index) {
    QStyleOptionViewItem option;
    option.initFrom(list);
    option.decorationSize = QSize(16, 16);
    return list->itemDelegate()->sizeHint(option, index).width();
}

// Pixels of the row's name cell as drawn on screen in nearly this colour.
int PixelsIn(QTreeView* list, int row, Colour c) {
    const QImage image = list->viewport()->grab().toImage();
    const QRect cell = list->visualRect(list->model()->index(row, Name));
    int n = 0;
    for (int y = cell.top(); y <= cell.bottom(); ++y)
        for (int x = cell.left(); x <= cell.right(); ++x) {
            const QColor p = image.pixelColor(x, y);
            const int distance = qAbs(p.red() - ColourRed(c)) + qAbs(p.green() - ColourGreen(c)) +
                                 qAbs(p.blue() - ColourBlue(c));
            n += distance < 90;
        }
    return n;
}
} // namespace

class TestGuiListing : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void init();
    void cleanup();

    void viewsShowTheSide();
    void listForwardsHeaderClicksDoubleClicksAndEnter();
    void columnMenuAndFitting();
    void findAndRawListing();

private:
    QAction* action(const char* name) const { return m_window->action(name); }
    template <class T = QTreeView> T* child(const char* name) const {
        T* found = m_window->findChild<T*>(QString::fromLatin1(name));
        return found ? found : (qFatal("no child %s", name), nullptr);
    }
    Side& left() { return m_app->left(); }

    std::unique_ptr<TempDataDir> m_dir;
    std::unique_ptr<RecordingDesktopServices> m_services;
    std::unique_ptr<ScriptedUserPrompts> m_prompts;
    std::unique_ptr<App> m_app;
    std::unique_ptr<MainWindow> m_window;
};

void TestGuiListing::init() {
    m_dir = std::make_unique<TempDataDir>();
    m_services = std::make_unique<RecordingDesktopServices>();
    m_prompts = std::make_unique<ScriptedUserPrompts>();
    const QString ini = u"[_Main_]\r\nFColor=%1\r\nSkipColor=%2\r\nOn Double Click=1\r\n"_s;
    QVERIFY(m_dir->writeFile(u"Korvane.ini"_s, ini.arg(Favourite).arg(Skipped).toLatin1()));
    m_app = std::make_unique<App>(DataPaths(m_dir->path()), *m_services, *m_prompts);
    m_window = std::make_unique<MainWindow>(*m_app);
    m_window->resize(1000, 700);
    m_window->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_window.get()));
}

void TestGuiListing::cleanup() {
    m_window.reset();
    m_app.reset();
}

void TestGuiListing::viewsShowTheSide() {
    QTreeView* llv = child("Llv");
    Fill(left(), {Entry(u"favourite_MMMMMMMM"_s, EntryKind::File, 1, EntryMark::Favourite),
                  Entry(u"skipped_MMMMMMMM"_s, EntryKind::File, 2, EntryMark::Skip),
                  Entry(u"abc"_s, EntryKind::File, 3)});
    QVERIFY(llv->model() == &left().listing() && llv->model()->rowCount() == 4);
    const QModelIndex plain = llv->model()->index(3, Name);
    QVERIFY(plain.siblingAtColumn(Size).data(Qt::TextAlignmentRole).value<Qt::Alignment>() &
            Qt::AlignRight);
    // The icon goes with the name only: "abc" as a name is wider than as an owner.
    QVERIFY(HintWidth(llv, plain) >= HintWidth(llv, plain.siblingAtColumn(Owner)) + 16);

    // Favourites always in their colour, skip matches only while Skip is on.
    QVERIFY(PixelsIn(llv, 1, Favourite) > 0);
    QCOMPARE(PixelsIn(llv, 2, Skipped), 0);
    QCOMPARE(PixelsIn(llv, 3, Favourite) + PixelsIn(llv, 3, Skipped), 0);
    action("SkipList1")->trigger();
    QVERIFY(PixelsIn(llv, 2, Skipped) > 0);
    // A selected marked entry keeps its colour.
    llv->selectionModel()->select(plain.siblingAtRow(1),
                                  QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    QVERIFY(PixelsIn(llv, 1, Favourite) > 0);
    action("SkipList1")->trigger();
    QCOMPARE(PixelsIn(llv, 2, Skipped), 0);

    // A loading listing disables the list until it ends.
    left().beginListing();
    QVERIFY(!llv->isEnabled() && llv->cursor().shape() == Qt::WaitCursor);
    QVERIFY(child("Rlv")->isEnabled());
    left().endListing();
    QVERIFY(llv->isEnabled() && !llv->testAttribute(Qt::WA_SetCursor));

    // The path box ("lcb") lists the side's history, newest first.
    auto* box = child<QComboBox>("lcb");
    left().setCurrentPath(u"/b/"_s);
    for (const QString& path : {u"/a/"_s, u"/b/"_s})
        left().AddPathHistory(path);
    QVERIFY(box->count() == 2 && box->itemText(0) == u"/b/"_s && box->itemText(1) == u"/a/"_s);
    QCOMPARE(box->currentText(), u"/b/"_s);

    // Enter in the box goes to the typed path; unconnected, the side then
    // clears its views again.
    QStringList entered;
    connect(&left(), &Side::pathHistoryChanged, this,
            [&] { entered << left().pathHistory().value(0); });
    left().setButtonEnabled(SideButton::Disconnect, true);
    box->lineEdit()->setText(u"/c/"_s);
    QTest::keyClick(box->lineEdit(), Qt::Key_Return);
    QVERIFY(entered.value(0) == u"/c/"_s && box->count() == 0);
    disconnect(&left(), &Side::pathHistoryChanged, this, nullptr);

    // A shown listing opens the tree down to the current directory, selected.
    QTreeView* tree = child("LTree");
    left().setCurrentPath(u"/pub/incoming/"_s);
    const QModelIndex node = left().tree().AddPathNodes(
        u"/pub/incoming/"_s, u'/', [](const QString&) { return EntryMark::None; });
    left().listingShown(false);
    QVERIFY(tree->isExpanded(node.parent()) && tree->currentIndex() == node);
}

void TestGuiListing::listForwardsHeaderClicksDoubleClicksAndEnter() {
    QTreeView* llv = child("Llv");
    Fill(left(),
         {Entry(u"big"_s, EntryKind::File, 5000), Entry(u"small"_s, EntryKind::File, 10),
          Entry(u"sub"_s, EntryKind::Directory, 99999), Entry(u"mid"_s, EntryKind::File, 300)});
    QHeaderView* header = llv->header();
    const QPoint size(header->sectionViewportPosition(Size) + header->sectionSize(Size) / 2,
                      header->height() / 2);
    QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, size);
    QCOMPARE(Names(llv), QStringList({u".."_s, u"sub"_s, u"small"_s, u"mid"_s, u"big"_s}));
    QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, size);
    QCOMPARE(Names(llv), QStringList({u".."_s, u"sub"_s, u"big"_s, u"mid"_s, u"small"_s}));

    // A double-clicked file goes to the queue ("On Double Click" 1); as a
    // window system delivers it: press, release, double click, release.
    QSignalSpy activated(&m_app->navigation(), &ListNavigation::fileActivated);
    m_app->left().setCurrentPath(u"/l/"_s);
    m_app->right().setCurrentPath(u"/r/"_s);
    const QPoint mid = llv->visualRect(llv->model()->index(3, Name)).center();
    QTest::mouseClick(llv->viewport(), Qt::LeftButton, {}, mid);
    QMouseEvent dbl(QEvent::MouseButtonDblClick, mid, llv->viewport()->mapToGlobal(mid),
                    Qt::LeftButton, Qt::LeftButton, {});
    QApplication::sendEvent(llv->viewport(), &dbl);
    QTest::mouseRelease(llv->viewport(), Qt::LeftButton, {}, mid);
    QCOMPARE(activated.size(), 1);
    QVERIFY(activated[0][0].value<SideId>() == SideId::Left && activated[0][1].toInt() == 3);
    QCOMPARE(m_app->queue().count(), 1);

    // Enter on a file does nothing, and goes no further than the list; on a
    // directory it changes to it, which unconnected clears the side's views.
    left().setButtonEnabled(SideButton::Disconnect, true);
    QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, {});
    QApplication::sendEvent(llv, &enter);
    QVERIFY(enter.isAccepted() && llv->model()->rowCount() == 5);
    llv->setCurrentIndex(llv->model()->index(1, Name)); // "sub"
    QTest::keyClick(llv, Qt::Key_Up);
    QCOMPARE(llv->model()->rowCount(), 5);
    llv->setCurrentIndex(llv->model()->index(1, Name));
    QTest::keyClick(llv, Qt::Key_Enter);
    QCOMPARE(llv->model()->rowCount(), 0);
}

void TestGuiListing::columnMenuAndFitting() {
    QTreeView* llv = child("Llv");
    QTreeView* views[] = {llv, child("Rlv")};
    // Fewer than two entries: the shown columns share the list's width.
    Fill(left(), {});
    left().listingShown(true);
    int total = 0;
    for (int c : {Name, Size, Date, Owner, Group}) {
        QVERIFY(llv->columnWidth(c) >= llv->viewport()->width() / 5 - 2);
        total += llv->columnWidth(c);
    }
    QVERIFY(llv->isColumnHidden(Attrib) && total <= llv->viewport()->width());

    const QString longName = QString(80, u'W');
    Fill(left(), {Entry(longName, EntryKind::File, 1), Entry(u"b"_s, EntryKind::File, 2)});
    left().listingShown(true);
    // Wide enough for the icon and the whole name.
    const int nameWidth = HintWidth(llv, llv->model()->index(1, Name));
    QVERIFY(llv->columnWidth(Name) >= nameWidth);

    action("Size1")->trigger();
    action("Owner1")->trigger();
    for (QTreeView* v : views) {
        QVERIFY(v->isColumnHidden(Size) && v->isColumnHidden(Owner) && v->isColumnHidden(Attrib));
        QVERIFY(!v->isColumnHidden(Date) && !v->isColumnHidden(Group));
    }
    action("Attrib1")->trigger();
    action("Size1")->trigger();
    for (QTreeView* v : views) {
        QVERIFY(!v->isColumnHidden(Attrib) && !v->isColumnHidden(Size) && v->isColumnHidden(Owner));
        for (int c : {Size, Date, Group})
            QVERIFY(v->columnWidth(c) > 0);
    }
    QCOMPARE(llv->columnWidth(Attrib), 70);
    QVERIFY(llv->columnWidth(Name) >= nameWidth);
}

void TestGuiListing::findAndRawListing() {
    Side& right = m_app->right();
    Fill(left(), {Entry(u"alpha-left"_s, EntryKind::File, 1)});
    Fill(right, {Entry(u"Alpha.txt"_s, EntryKind::File, 1), Entry(u"beta"_s, EntryKind::File, 2),
                 Entry(u"xALPHAbet"_s, EntryKind::Directory, 3)});
    m_app->setActiveSide(SideId::Right);
    QTreeView* rlv = child("Rlv");

    // Find Next without a search asks for one; then it moves on and wraps.
    m_prompts->inputAnswers.enqueue(u"alpha"_s);
    for (int row : {1, 3, 1}) {
        action("FindNext1")->trigger();
        QCOMPARE(rlv->currentIndex().row(), row);
        QCOMPARE(rlv->selectionModel()->selectedRows(), QModelIndexList{rlv->currentIndex()});
    }
    QVERIFY(!child("Llv")->selectionModel()->hasSelection());
    QVERIFY(!m_prompts->asked.contains(u"information:Search not found!"_s));
    m_prompts->inputAnswers.enqueue(u"gamma"_s);
    action("Find1")->trigger();
    QVERIFY(m_prompts->asked.contains(u"information:Search not found!"_s));

    right.setCurrentPath(u"/pub/"_s);
    right.rawListing() = QStringList{u"total 1"_s, u"-rw-r--r-- 1 ftp ftp 1 Jan 1 beta"_s};
    const QString raw = u"total 1\n-rw-r--r-- 1 ftp ftp 1 Jan 1 beta"_s;
    action("ViewRawDirectory1")->trigger();
    const TextViewerWindow* viewer = m_window->textViewer();
    QVERIFY(viewer && viewer->isVisible() && viewer->windowTitle() == u"Directory of /pub/"_s);
    QCOMPARE(viewer->textBox()->toPlainText(), raw);
    action("CopyDirectorytoClipboard1")->trigger();
    QCOMPARE(m_services->clipboardText, raw);
}

QTEST_MAIN(TestGuiListing)
#include "test_gui_listing.moc"
