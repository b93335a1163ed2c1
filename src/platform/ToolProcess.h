#pragma once
#include <QByteArray>
#include <QString>
#include <QStringList>

namespace snaplorn {

// One run of a desktop tool or mail program, without a shell.
struct ToolRun {
    bool started = false;  // false: the program is missing or cannot be run
    bool finished = false; // false after started: it did not end in time
    int exitCode = -1;     // when finished; -1 after a crash
    QByteArray output;     // standard output
    QByteArray errors;     // standard error

    bool succeeded() const { return finished && exitCode == 0; }
    // The last lines of standard error (else output), for a message.
    QString diagnostics() const;
};

// Runs the program with the arguments, writes `input` to its standard input
// and waits up to `timeoutMs` for it to end. A program that is still running
// then is killed, unless `leaveRunning` is set: it is then left to run on its
// own (a mail program that stays open) and never killed by this process.
ToolRun runTool(const QString& program, const QStringList& arguments, int timeoutMs,
                const QByteArray& input = QByteArray(), bool leaveRunning = false);

// The full path of a program: searched in PATH, then in the system folders
// that are not on a user's PATH (sendmail lives in /usr/sbin); empty when
// it is missing. A name with a '/' is taken as a path.
QString findProgram(const QString& name);

} // namespace snaplorn
