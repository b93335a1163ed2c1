#pragma once
#include <QByteArray>
#include <QString>
#include <QStringList>

#include <functional>

class QObject;

namespace snaplorn {

// One run of a desktop tool or mail program, without a shell.
struct ToolRun {
    bool started = false;  // false: the program is missing or cannot be run
    bool finished = false; // false after started: it did not end in time
    int exitCode = -1;     // when finished; -1 after a crash
    QByteArray output;     // standard output
    QByteArray errors;     // standard error

    bool succeeded() const { return finished && exitCode == 0; }
    // The last lines of standard error (else output), for a message: one
    // line each, separated by CR LF.
    QString diagnostics() const;
};

// Runs the program with the arguments, writes `input` to its standard input
// and waits up to `timeoutMs` for it to end. A program that is still running
// then is killed, unless `leaveRunning` is set: it is then left to run on its
// own (a mail program that stays open) and never killed by this process.
ToolRun runTool(const QString& program, const QStringList& arguments, int timeoutMs,
                const QByteArray& input = QByteArray(), bool leaveRunning = false);

// The same run without waiting: the program is started and `done` is called
// with the run once it ended or the time ran out, from the event loop of this
// thread. It is not called once `context` is gone; a program not left running
// is then stopped. `done` may be called before startTool returns only when
// the program cannot be started.
void startTool(const QString& program, const QStringList& arguments, int timeoutMs,
               const QByteArray& input, bool leaveRunning, QObject* context,
               std::function<void(const ToolRun&)> done);

// The full path of a program: searched in PATH, then in the system folders
// that are not on a user's PATH (sendmail lives in /usr/sbin); empty when
// it is missing. A name with a '/' is taken as a path.
QString findProgram(const QString& name);

} // namespace snaplorn
