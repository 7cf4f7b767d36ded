// The file dialogs: the file-exists question (texts, four results, where it
// stands, the countdown that overwrites by itself, Escape as Skip) and the
// chmod dialog (boxes, mode, OK and Cancel).
#include "app/QtUserPrompts.h"
#include "remote/ChmodDialog.h"
#include "transfer/FileExistsDialog.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QtTest>

using namespace Qt::Literals::StringLiterals;

class TestGuiFileDialogs : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void showsTheFilesAndCentresOverTheMainWindow();
    void buttonsGiveTheirResults();
    void countdownOverwrites();
    void escapeSkips();
    void chmodBoxesMakeTheMode();
};

namespace {
const FileExistsQuestion Question{u"/home/u/big.iso"_s, 1048576, u"2,097,152"_s, false};

QString labelText(const QDialog& dialog, const QString& name) {
    const auto* label = dialog.findChild<QLabel*>(name);
    return label ? label->text() : u"(no "_s + name + u')';
}
} // namespace

void TestGuiFileDialogs::showsTheFilesAndCentresOverTheMainWindow() {
    QLocale::setDefault(QLocale(QLocale::English));
    QWidget mainWindow;
    mainWindow.setGeometry(200, 150, 900, 700);
    FileExistsDialog dialog(Question, &mainWindow);
    QCOMPARE(dialog.objectName(), u"FrmExists"_s);
    QCOMPARE(labelText(dialog, u"LFilename"_s), u"Filename: /home/u/big.iso"_s);
    QCOMPARE(labelText(dialog, u"Label3"_s), u"Local Size:"_s);
    QCOMPARE(labelText(dialog, u"LSize"_s), u"1,048,576 bytes"_s);
    QCOMPARE(labelText(dialog, u"Label4"_s), u"Remote Size:"_s);
    QCOMPARE(labelText(dialog, u"Rsize"_s), u"2,097,152 bytes"_s);
    QCOMPARE(labelText(dialog, u"Lwait"_s), QString());
    QVERIFY(!dialog.timer().isActive());
    const QRect frame = mainWindow.frameGeometry();
    QCOMPARE(dialog.pos(), QPoint(frame.left() + frame.width() / 2 - dialog.width() / 2,
                                  frame.top() + frame.height() / 2 - dialog.height() / 2));
}

void TestGuiFileDialogs::buttonsGiveTheirResults() {
    const std::pair<QString, FileExistsChoice> buttons[] = {
        {u"bOverwrite"_s, FileExistsChoice::Overwrite},
        {u"bResume"_s, FileExistsChoice::Resume},
        {u"bRename"_s, FileExistsChoice::Rename},
        {u"bSkip"_s, FileExistsChoice::Skip}};
    for (const auto& [name, choice] : buttons) {
        FileExistsDialog dialog(Question, nullptr);
        auto* button = dialog.findChild<QPushButton*>(name);
        QVERIFY2(button, qPrintable(name));
        button->click();
        QCOMPARE(dialog.choice(), choice);
    }
    FileExistsDialog dialog(Question, nullptr);
    QVERIFY(dialog.findChild<QPushButton*>(u"bOverwrite"_s)->isDefault());
}

void TestGuiFileDialogs::countdownOverwrites() {
    FileExistsQuestion waiting = Question;
    waiting.wait = true;
    FileExistsDialog dialog(waiting, nullptr);
    QVERIFY(dialog.timer().isActive());
    QCOMPARE(dialog.timer().interval(), 1000);
    // A fast clock: the 45 ticks pass at once.
    dialog.timer().setInterval(0);
    QStringList shown;
    auto* label = dialog.findChild<QLabel*>(u"Lwait"_s);
    connect(&dialog.timer(), &QTimer::timeout, &dialog,
            [&] { shown << label->text(); }, Qt::QueuedConnection);
    QCOMPARE(dialog.exec(), int(FileExistsChoice::Overwrite));
    QCOMPARE(label->text(), u"Waiting 0 seconds."_s);
    QVERIFY(!shown.isEmpty());
    QCOMPARE(shown.first(), u"Waiting 44 seconds."_s);
}

void TestGuiFileDialogs::escapeSkips() {
    QWidget mainWindow;
    QtUserPrompts prompts;
    prompts.setParentWindow(&mainWindow);
    QTimer::singleShot(0, this, [] {
        QWidget* modal = QApplication::activeModalWidget();
        QVERIFY(modal);
        QTest::keyClick(modal, Qt::Key_Escape);
    });
    QCOMPARE(prompts.fileExists(Question), FileExistsChoice::Skip);
}

void TestGuiFileDialogs::chmodBoxesMakeTheMode() {
    QWidget mainWindow;
    mainWindow.setGeometry(100, 100, 800, 600);
    ChmodDialog dialog(PermissionBoxes::FromAttributes(u"-rwxr-x---"_s), &mainWindow);
    QCOMPARE(dialog.windowTitle(), u"File Attributes"_s);
    QStringList groups;
    for (const QGroupBox* box : dialog.findChildren<QGroupBox*>())
        groups << box->title();
    QCOMPARE(groups, QStringList({u"Owner"_s, u"Group"_s, u"Public"_s}));
    auto* mode = dialog.findChild<QLabel*>(u"Panel1"_s);
    QCOMPARE(mode->text(), u"750"_s);
    auto box = [&dialog](int n) { return dialog.findChild<QCheckBox*>(u"CheckBox%1"_s.arg(n)); };
    QCOMPARE(box(9)->text(), u"Execute"_s);
    box(9)->click(); // Public Execute
    QCOMPARE(mode->text(), u"751"_s);
    for (int n = 1; n <= 9; ++n)
        if (box(n)->isChecked())
            box(n)->click();
    QCOMPARE(mode->text(), u"0"_s);
    box(4)->click(); // Group Read
    QCOMPARE(dialog.boxes().ModeText(), u"40"_s);

    QtUserPrompts prompts;
    prompts.setParentWindow(&mainWindow);
    QTimer::singleShot(0, this, [] {
        auto* modal = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        QVERIFY(modal);
        modal->findChild<QCheckBox*>(u"CheckBox1"_s)->click();
        modal->accept();
    });
    const auto answer = prompts.chooseAttributes(PermissionBoxes());
    QVERIFY(answer);
    QCOMPARE(answer->Mode(), 400);
    QTimer::singleShot(0, this, [] { QApplication::activeModalWidget()->close(); });
    QVERIFY(!prompts.chooseAttributes(PermissionBoxes()));
}

QTEST_MAIN(TestGuiFileDialogs)
#include "test_gui_filedialogs.moc"
