#include "app/ProgramFiles.h"
#include "batch/BatchOptions.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QtTest>

using namespace Qt::StringLiterals;

namespace {

void MakeFile(const QString& path) {
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("x");
}

// The long options a text names, "--data-dir" and the like.
QStringList LongOptions(QString text) {
    // The manual page writes a minus as "\-".
    text.replace(u"\\-"_s, u"-"_s);
    QStringList found;
    static const QRegularExpression option(u"--[a-z][a-z-]*[a-z]"_s);
    for (const QRegularExpressionMatch& m : option.globalMatch(text))
        if (!found.contains(m.captured()))
            found << m.captured();
    found.sort();
    return found;
}

} // namespace

class TestProgramFiles : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void installedPrefixAndPortableCopy();
    void manualPageAndUsageNameTheSameOptions();
};

void TestProgramFiles::installedPrefixAndPortableCopy() {
    QTemporaryDir tmp;
    QVERIFY(tmp.isValid());
    const QString bin = tmp.filePath(u"usr/bin"_s);
    QDir().mkpath(bin);
    QVERIFY(ProgramFiles::Find(bin, u"help.html"_s).isEmpty());

    // An installed (or unpacked) prefix: share/korvane beside bin.
    const QString shared = tmp.filePath(u"usr/share/korvane/help.html"_s);
    MakeFile(shared);
    QCOMPARE(ProgramFiles::Find(bin, u"help.html"_s), shared);
    QCOMPARE(ProgramFiles::Find(bin + u'/', u"help.html"_s), shared);
    QVERIFY(ProgramFiles::Find(bin, u"whatsnew.txt"_s).isEmpty());

    // A folder of that name is not the file; the search goes on.
    QDir().mkpath(bin + u"/help.html"_s);
    QCOMPARE(ProgramFiles::Find(bin, u"help.html"_s), shared);
    QDir(bin + u"/help.html"_s).removeRecursively();

    // The source tree's docs, given as the fallback, come after all of these.
    const QString source = tmp.filePath(u"src/docs"_s);
    MakeFile(source + u"/whatsnew.txt"_s);
    QCOMPARE(ProgramFiles::Find(bin, u"whatsnew.txt"_s, source), source + u"/whatsnew.txt"_s);
    MakeFile(source + u"/help.html"_s);
    QCOMPARE(ProgramFiles::Find(bin, u"help.html"_s, source), shared);

    // A portable copy or the build tree: the file beside the program wins.
    MakeFile(bin + u"/docs/help.html"_s);
    QCOMPARE(ProgramFiles::Find(bin, u"help.html"_s), bin + u"/docs/help.html"_s);
    MakeFile(bin + u"/help.html"_s);
    QCOMPARE(ProgramFiles::Find(bin, u"help.html"_s), bin + u"/help.html"_s);
}

void TestProgramFiles::manualPageAndUsageNameTheSameOptions() {
    QFile page(QStringLiteral(KORVANE_MANPAGE_SOURCE));
    QVERIFY(page.open(QIODevice::ReadOnly));
    const QStringList documented = LongOptions(QString::fromUtf8(page.readAll()));
    const QStringList usage = LongOptions(UsageText());
    QCOMPARE(documented, usage);
    QVERIFY(usage.contains(u"--data-dir"_s));
    QVERIFY(usage.contains(u"--exit-when-done"_s));

    // Every one of them is an option the program takes.
    for (const QString& option : usage) {
        const BatchOptions parsed = BatchOptions::Parse({option, u"file.kqf"_s});
        QVERIFY2(!parsed.error.startsWith(u"unknown option"_s), qPrintable(option));
    }
}

QTEST_GUILESS_MAIN(TestProgramFiles)
#include "test_program_files.moc"
