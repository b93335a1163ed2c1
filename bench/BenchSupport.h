#pragma once
// Small helpers shared by the benchmarks.
#include <QProcess>
#include <QRegularExpression>
#include <QString>
#include <QStringList>

#include <algorithm>

namespace snaplorn::bench {

// Milliseconds of one iteration of an ImageMagick convert command run with
// -bench, from its fastest Performance line; -1 when convert is missing or
// fails.
inline double convertBenchMs(const QStringList& arguments, int timeoutMs = 600000)
{
    QProcess process;
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start(QStringLiteral("convert"), arguments);
    if (!process.waitForFinished(timeoutMs) || process.exitCode() != 0)
        return -1;
    static const QRegularExpression line(
        QStringLiteral("Performance\\[\\d+\\]: \\d+i ([0-9.]+)ips"));
    double best = -1;
    auto it = line.globalMatch(QString::fromLocal8Bit(process.readAll()));
    while (it.hasNext()) {
        const double ips = it.next().captured(1).toDouble();
        if (ips > 0)
            best = std::max(best, ips);
    }
    return best > 0 ? 1000.0 / best : -1;
}

} // namespace snaplorn::bench
