#include "platform/ToolProcess.h"

#include <QFileInfo>
#include <QPointer>
#include <QProcess>
#include <QStandardPaths>
#include <QTimer>

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
    for (QString& line : lines)
        line = line.simplified();
    lines.removeAll(QString());
    while (lines.size() > 4)
        lines.removeFirst();
    QString joined = lines.join(QLatin1String("\r\n"));
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

namespace {

// One program started by startTool: its process, its time limit and the
// caller's answer. Owned by the caller's context unless the program may be
// left running, so that the context's end stops the program.
class ToolJob : public QObject
{
public:
    ToolJob(QObject* context, bool leaveRunning, std::function<void(const ToolRun&)> done)
        : QObject(leaveRunning ? nullptr : context), m_context(context),
          m_hasContext(context != nullptr), m_leaveRunning(leaveRunning), m_done(std::move(done))
    {
        m_process = new QProcess(this);
        m_timer.setSingleShot(true);
        connect(&m_timer, &QTimer::timeout, this, &ToolJob::timedOut);
        connect(m_process, &QProcess::started, this, &ToolJob::started);
        connect(m_process, &QProcess::finished, this, &ToolJob::ended);
        connect(m_process, &QProcess::errorOccurred, this, [this](QProcess::ProcessError error) {
            if (error == QProcess::FailedToStart) {
                m_run.started = false;
                answer();
            }
        });
    }
    ~ToolJob() override
    {
        // A program that is not let go ends with its caller.
        if (m_process && m_process->state() != QProcess::NotRunning) {
            m_process->disconnect(this);
            m_process->kill();
            m_process->waitForFinished(2000);
        }
    }

    void start(const QString& program, const QStringList& arguments, int timeoutMs,
               const QByteArray& input)
    {
        m_input = input;
        m_timer.start(timeoutMs);
        m_process->start(program, arguments);
    }

private:
    void started()
    {
        m_run.started = true;
        if (!m_input.isEmpty())
            m_process->write(m_input);
        m_process->closeWriteChannel();
    }
    void ended()
    {
        m_run.started = true;
        m_run.finished = true;
        m_run.exitCode =
            m_process->exitStatus() == QProcess::NormalExit ? m_process->exitCode() : -1;
        m_run.output = m_process->readAllStandardOutput();
        m_run.errors = m_process->readAllStandardError();
        answer();
    }
    void timedOut()
    {
        QProcess* process = m_process;
        process->disconnect(this);
        if (m_leaveRunning && process->state() != QProcess::NotRunning) {
            // The program runs on by itself; its process object goes once
            // it has ended (or stays, when Snaplorn ends first).
            m_process = nullptr;
            process->setParent(nullptr);
            letGoProcesses().append(process);
            QObject::connect(process, &QObject::destroyed,
                             [process] { letGoProcesses().removeOne(process); });
            QObject::connect(process, &QProcess::finished, process, &QObject::deleteLater);
        } else {
            process->kill();
            process->waitForFinished(2000);
        }
        answer();
    }
    void answer()
    {
        if (m_answered)
            return;
        m_answered = true;
        m_timer.stop();
        // The answer may end the caller's context; this job no longer hangs on it.
        setParent(nullptr);
        deleteLater();
        if (!m_hasContext || m_context)
            m_done(m_run);
    }

    QPointer<QObject> m_context;
    bool m_hasContext;
    bool m_leaveRunning;
    std::function<void(const ToolRun&)> m_done;
    QProcess* m_process = nullptr;
    QTimer m_timer;
    QByteArray m_input;
    ToolRun m_run;
    bool m_answered = false;
};

} // namespace

void startTool(const QString& program, const QStringList& arguments, int timeoutMs,
               const QByteArray& input, bool leaveRunning, QObject* context,
               std::function<void(const ToolRun&)> done)
{
    auto* job = new ToolJob(context, leaveRunning, std::move(done));
    job->start(program, arguments, timeoutMs, input);
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
