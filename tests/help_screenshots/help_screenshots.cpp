// Takes the help's screenshots from the real windows: two FTP servers holding
// the sample files of scripts/run.sh's demo, the main window connected to both,
// README.txt copied from left to right, and the dialogs the help shows.
// Usage: help_screenshots OUTPUT_DIR   (scripts/screenshots.sh runs it)
#include "FtpServerFixture.h"
#include "ScriptedUserPrompts.h"
#include "TempDataDir.h"
#include "app/App.h"
#include "app/MainWindow.h"
#include "app/PreferencesDialog.h"
#include "app/QtDesktopServices.h"
#include "sites/SiteManagerDialog.h"

#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QSignalSpy>
#include <QSplitter>
#include <QTimer>
#include <QtTest>

#include <cstdio>

using namespace Qt::Literals::StringLiterals;

namespace {

QString g_out;
int g_failures = 0;

void Fail(const QString& what) {
    std::fprintf(stderr, "help_screenshots: %s\n", qPrintable(what));
    ++g_failures;
}

void Save(QWidget* widget, const QString& name) {
    QCoreApplication::processEvents();
    const QString path = QDir(g_out).filePath(name);
    if (!widget || !widget->grab().save(path))
        return Fail(u"could not save "_s + path);
    std::printf("%s\n", qPrintable(path));
}

// The same sample trees as scripts/run.sh's demo servers.
bool FillLeft(const FtpServerFixture& s) {
    QByteArray archive(300 * 1024, '\0');
    for (qsizetype i = 0; i < archive.size(); ++i)
        archive[i] = char((i * 7919) >> 3);
    return s.putFile(u"README.txt"_s,
                     "Left demo server, started by scripts/run.sh.\n"
                     "Select a file here, queue it (right-click, Queue, or Ctrl+Q) and press\n"
                     "Transfer: the two servers copy it between each other directly.\n") &&
           s.putFile(u"hello.txt"_s, "Hello from the left server.\n") &&
           s.putFile(u"docs/manual.txt"_s,
                     "A short manual.\nChapter 1: connecting.\nChapter 2: copying.\n") &&
           s.putFile(u"docs/changes.txt"_s, "1.0 first release\n1.1 faster listings\n") &&
           s.putFile(u"archive-300k.bin"_s, archive);
}

bool FillRight(const FtpServerFixture& s) {
    return s.putFile(u"welcome.txt"_s, "Right demo server, started by scripts/run.sh.\n"
                                       "Files copied from the left side land here.\n") &&
           s.putFile(u"todo.txt"_s,
                     "- try a site-to-site copy\n- make a directory\n- rename a file\n") &&
           s.putFile(u"incoming/readme.txt"_s, "Uploads welcome.\n") &&
           s.putFile(u"incoming/list.txt"_s, "one\ntwo\nthree\n") &&
           s.putFile(u"photos-200k.bin"_s, QByteArray(200 * 1024, 'p'));
}

QString Url(const FtpServerFixture& s) {
    return u"ftp://%1:%2@%3:%4/"_s.arg(s.user(), s.password(), s.host()).arg(s.port());
}

// Grabs the modal dialog a command opens, then closes it.
void GrabModal(QAction* action, const QString& name) {
    QTimer::singleShot(0, [name] {
        QWidget* modal = QApplication::activeModalWidget();
        Save(modal, name);
        if (auto* dialog = qobject_cast<QDialog*>(modal))
            dialog->reject();
        else
            Fail(u"no dialog for "_s + name);
    });
    action->trigger();
}

} // namespace

int main(int argc, char* argv[]) {
    QApplication application(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: help_screenshots OUTPUT_DIR\n");
        return 2;
    }
    g_out = QString::fromLocal8Bit(argv[1]);
    QDir().mkpath(g_out);

    FtpServerFixture left(FtpServerFixture::Slot::A), right(FtpServerFixture::Slot::B);
    for (FtpServerFixture* server : {&left, &right})
        if (!server->start()) {
            Fail(u"FTP server: "_s + server->errorString());
            return 1;
        }
    if (!FillLeft(left) || !FillRight(right)) {
        Fail(u"could not write the sample files"_s);
        return 1;
    }

    TempDataDir data;
    QtDesktopServices services;
    ScriptedUserPrompts prompts;
    App app(DataPaths(data.path()), services, prompts);
    MainWindow window(app);
    window.show();
    if (!QTest::qWaitForWindowExposed(&window))
        Fail(u"the main window was not shown"_s);
    // Showing restores the saved layout; the pictures want room for the columns.
    window.resize(900, 600);
    if (auto* sides = window.findChild<QSplitter*>(u"TopSplit"_s))
        sides->setSizes({450, 450});

    // As scripts/run.sh starts it: "LEFT;RIGHT" on the command line.
    const auto logged = app.RunCommandLineConnect({Url(left) + u';' + Url(right)});
    if (!logged[0] || !app.left().state().LoggedIn || !app.right().state().LoggedIn) {
        Fail(u"the demo servers could not be logged in"_s);
        return 1;
    }
    Save(&window, u"main-connected.png"_s);

    // README.txt queued on the left, then copied site to site.
    Side& side = app.left();
    for (int row = 0; row < side.listing().count(); ++row)
        if (side.listing().entry(row).name == u"README.txt"_s)
            side.listSelection().select(side.listing().index(row, 0),
                                        QItemSelectionModel::ClearAndSelect |
                                            QItemSelectionModel::Rows);
    if (!app.queueAdding().AddToQueue(SideId::Left, false, QueueAdding::Mode::SiteToSite))
        Fail(u"README.txt was not queued"_s);
    Save(&window, u"main-queued.png"_s);
    QSignalSpy ended(&app.queueRunner(), &QueueRunner::runEnded);
    app.queueRunner().Transfer1Click();
    if (ended.isEmpty() && !ended.wait(30000))
        Fail(u"the copy did not end"_s);
    if (right.readFile(u"README.txt"_s).isEmpty())
        Fail(u"README.txt did not arrive on the right"_s);
    Save(&window, u"main-copied.png"_s);

    window.action("SiteManager1")->trigger();
    Save(window.findChild<SiteManagerDialog*>(), u"site-manager.png"_s);
    if (auto* manager = window.findChild<SiteManagerDialog*>())
        manager->close();
    GrabModal(window.action("QuickConnect1"), u"quick-connect.png"_s);
    window.action("Preferences1")->trigger();
    Save(window.preferencesDialog(), u"preferences.png"_s);
    if (PreferencesDialog* preferences = window.preferencesDialog())
        preferences->reject();

    return g_failures == 0 ? 0 : 1;
}
