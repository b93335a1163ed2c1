#include "platform/ToolProcess.h"

#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>

namespace snaplorn {

namespace {

// Processes whose programs were let go while still running. Each stays
// listed until it is freed after its program ended; one still running when
// Snaplorn quits is kept (freeing it would kill the program).
QList<QProcess*>& letGoProcesses()
{
    static auto* processes = new QList<QProcess*>;
    return *processes;
}

} // namespace

QString ToolRun::diagnostics() const
{
    const QByteArray text = (errors.trimmed().isEmpty() ? output : errors).trimmed();
    QStringList lines = QString::fromLocal8Bit(text).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    while (lines.size() > 4)
        lines.removeFirst();
    QString joined = lines.join(QLatin1Char(' ')).simplified();
    if (joined.size() > 400)
        joined = joined.left(400) + QStringLiteral("...");
    return joined;
}

ToolRun runTool(const QString& program, const QStringList& arguments, int timeoutMs,
                const QByteArray& input, bool leaveRunning)
{
    ToolRun run;
    auto* process = new QProcess;
    process->start(program, arguments);
    if (!process->waitForStarted(5000)) {
        delete process;
        return run;
    }
    run.started = true;
    if (!input.isEmpty())
        process->write(input);
    process->closeWriteChannel();
    if (!process->waitForFinished(timeoutMs)) {
        if (leaveRunning) {
            // Deleting a QProcess kills its program; this one is let go, and
            // the object is freed only once the program ends by itself.
            letGoProcesses().append(process);
            QObject::connect(process, &QObject::destroyed,
                             [process] { letGoProcesses().removeOne(process); });
            QObject::connect(process, &QProcess::finished, process, &QObject::deleteLater);
            return run;
        }
        process->kill();
        process->waitForFinished(2000);
        delete process;
        return run;
    }
    run.finished = true;
    run.exitCode = process->exitStatus() == QProcess::NormalExit ? process->exitCode() : -1;
    run.output = process->readAllStandardOutput();
    run.errors = process->readAllStandardError();
    delete process;
    return run;
}

QString findProgram(const QString& name)
{
    if (name.contains(QLatin1Char('/')))
        return QFileInfo(name).isExecutable() ? name : QString();
    const QString onPath = QStandardPaths::findExecutable(name);
    if (!onPath.isEmpty())
        return onPath;
    return QStandardPaths::findExecutable(
        name, {QStringLiteral("/usr/sbin"), QStringLiteral("/usr/lib"), QStringLiteral("/sbin")});
}

} // namespace snaplorn
