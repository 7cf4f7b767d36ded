#pragma once

#include <QString>
#include <QStringList>

// The options of an unattended run and the program's own command line:
// "--queue FILE.kqf --transfer --exit-when-done --log-stdout", "--help",
// "--version". What they do not claim is the connect text and "--data-dir".
struct BatchOptions {
    QString queueFile;
    bool transfer = false;
    bool exitWhenDone = false;
    bool logStdout = false;
    bool help = false;
    bool version = false;
    // Set when the command line cannot be followed; the program says so and ends.
    QString error;
    // The arguments left for the command-line connect.
    QStringList connectArguments;

    // A batch run: a queue to load, to run, or an exit to make.
    bool active() const { return !queueFile.isEmpty() || transfer || exitWhenDone; }

    static BatchOptions Parse(const QStringList& arguments);
};

// What "--help" prints.
QString UsageText();
