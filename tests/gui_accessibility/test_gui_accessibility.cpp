// The main window without a mouse: what screen readers are told about the
// icon-only tool buttons, and where Tab takes the focus.
#include "RecordingDesktopServices.h"
#include "ScriptedUserPrompts.h"
#include "TempDataDir.h"
#include "app/App.h"
#include "app/MainWindow.h"
#include "app/SidePanel.h"
#include "widgets/StatusPane.h"

#include <QAccessible>
#include <QApplication>
#include <QContextMenuEvent>
#include <QMenu>
#include <QMenuBar>
#include <QStackedWidget>
#include <QToolButton>
#include <QtTest>

#include <memory>

using namespace Qt::Literals::StringLiterals;

class TestGuiAccessibility : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void init();
    void cleanup();

    void toolButtonsAreNamedByTheirHints();
    void tabRunsLeftRightQueueStatus();
    void everyMenuOpensFromTheKeyboard();

private:
    std::unique_ptr<TempDataDir> m_dir;
    std::unique_ptr<RecordingDesktopServices> m_services;
    std::unique_ptr<ScriptedUserPrompts> m_prompts;
    std::unique_ptr<App> m_app;
    std::unique_ptr<MainWindow> m_window;
};

void TestGuiAccessibility::init() {
    m_dir = std::make_unique<TempDataDir>();
    m_services = std::make_unique<RecordingDesktopServices>();
    m_prompts = std::make_unique<ScriptedUserPrompts>();
    m_app = std::make_unique<App>(DataPaths(m_dir->path()), *m_services, *m_prompts);
    m_window = std::make_unique<MainWindow>(*m_app);
    m_window->show();
    QVERIFY(QTest::qWaitForWindowActive(m_window.get()));
}

void TestGuiAccessibility::cleanup() {
    m_window.reset();
    m_app.reset();
}

void TestGuiAccessibility::toolButtonsAreNamedByTheirHints() {
    int named = 0;
    for (const char* side : {"LeftPanel", "RightPanel"}) {
        auto* panel = m_window->findChild<SidePanel*>(QString::fromLatin1(side));
        QVERIFY(panel);
        const QList<QToolButton*> buttons = panel->findChildren<QToolButton*>();
        QVERIFY(buttons.size() >= 9);
        for (QToolButton* button : buttons) {
            if (!button->objectName().startsWith(u"ToolButton"_s))
                continue; // the toolbar's own extension button
            QAccessibleInterface* face = QAccessible::queryAccessibleInterface(button);
            QVERIFY(face);
            QVERIFY2(!button->toolTip().isEmpty(), qPrintable(button->objectName()));
            QCOMPARE(face->text(QAccessible::Name), button->toolTip());
            QVERIFY(button->focusPolicy() & Qt::TabFocus);
            ++named;
        }
    }
    QCOMPARE(named, 18);
}

void TestGuiAccessibility::tabRunsLeftRightQueueStatus() {
    // Which of the four areas a widget belongs to.
    const QList<std::pair<QWidget*, QChar>> areas{
        {m_window->findChild<SidePanel*>(u"LeftPanel"_s), u'L'},
        {m_window->findChild<SidePanel*>(u"RightPanel"_s), u'R'},
        {m_window->findChild<QStackedWidget*>(u"QueueStack"_s), u'Q'},
        {m_window->findChild<StatusPane*>(u"StatusPane"_s), u'S'}};
    for (const auto& [area, letter] : areas)
        QVERIFY2(area, qPrintable(QString(letter)));
    auto areaOf = [&areas](QWidget* w) {
        for (const auto& [area, letter] : areas)
            if (w && (w == area || area->isAncestorOf(w)))
                return letter;
        return QChar(u'?');
    };

    // Tabs once round from the left side's first button: the areas in the
    // order met, and the widgets' names.
    QWidget* start = m_window->findChild<QToolButton*>(u"ToolButton1"_s);
    auto tabRound = [&](QStringList& names) {
        start->setFocus(Qt::TabFocusReason);
        if (QApplication::focusWidget() != start)
            return u"no focus"_s;
        QString visited(1, u'L');
        names = QStringList{start->objectName()};
        for (int i = 0; i < 100; ++i) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            QWidget* now = QApplication::focusWidget();
            if (now == start)
                return visited;
            names << now->objectName();
            const QChar area = areaOf(now);
            if (visited.back() != area)
                visited += area;
        }
        return visited + u" (no way back)"_s;
    };

    QStringList names;
    QString visited = tabRound(names);
    QVERIFY2(visited == u"LRQS"_s, qPrintable(visited + u": "_s + names.join(u' ')));
    // The listings are on the way, not only the buttons.
    QVERIFY(names.contains(u"Llv"_s));
    QVERIFY(names.contains(u"Rlv"_s));
    QVERIFY(names.contains(u"LvQueue"_s));
    QVERIFY(names.contains(u"wcStatus"_s));

    // While a deletion runs its queue stands in the transfer queue's place.
    m_window->findChild<QStackedWidget*>(u"QueueStack"_s)->setCurrentIndex(1);
    visited = tabRound(names);
    QVERIFY2(visited == u"LRQS"_s, qPrintable(visited + u": "_s + names.join(u' ')));
    QVERIFY(names.contains(u"LVdelete"_s));
}

void TestGuiAccessibility::everyMenuOpensFromTheKeyboard() {
    // Alt plus a letter opens each menu of the menu bar: each has its own.
    QSet<QChar> letters;
    for (QAction* top : m_window->menuBar()->actions()) {
        const QString text = top->text();
        const qsizetype amp = text.indexOf(u'&');
        QVERIFY2(amp >= 0 && amp + 1 < text.size(), qPrintable(text));
        const QChar letter = text.at(amp + 1).toLower();
        QVERIFY2(!letters.contains(letter), qPrintable(text));
        letters.insert(letter);
        // Every entry has a text to be read and found by.
        for (QAction* entry : top->menu()->actions())
            QVERIFY2(entry->isSeparator() || !entry->text().isEmpty(),
                     qPrintable(text + u" / "_s + entry->objectName()));
    }
    QVERIFY(letters.size() >= 5);

    // The Menu key opens the right-click menu of the list with the focus:
    // the commands only those menus hold are reachable too.
    struct Pop {
        const char* view;
        const char* menu;
    };
    for (const Pop& pop :
         {Pop{"LvQueue", "PMQueue"}, Pop{"Llv", "PopUp"}, Pop{"wcStatus", "RTPopup"}}) {
        auto* view = m_window->findChild<QWidget*>(QString::fromLatin1(pop.view));
        auto* menu = m_window->findChild<QMenu*>(QString::fromLatin1(pop.menu));
        QVERIFY2(view && menu, pop.view);
        view->setFocus(Qt::TabFocusReason);
        QTRY_COMPARE(QApplication::focusWidget(), view);
        // What the X11 platform sends the focus widget for the Menu key
        // (offscreen sends nothing for it).
        QWidget* target = QApplication::focusWidget();
        QContextMenuEvent event(QContextMenuEvent::Keyboard, QPoint(5, 5),
                                target->mapToGlobal(QPoint(5, 5)));
        QApplication::sendEvent(target, &event);
        QTRY_VERIFY2(menu->isVisible(), pop.menu);
        menu->hide();
    }
}

QTEST_MAIN(TestGuiAccessibility)
#include "test_gui_accessibility.moc"
