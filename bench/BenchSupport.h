#pragma once
// Small helpers shared by the benchmarks.
#include <QElapsedTimer>
#include <QProcess>
#include <QRegularExpression>
#include <QString>
#include <QStringList>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <vector>

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

// Median milliseconds of `runs` timed calls of `once`, after one untimed
// warm-up call; `prepare`, when given, runs untimed before every call.
inline double medianMs(int runs, const std::function<void()>& once,
                       const std::function<void()>& prepare = {})
{
    std::vector<double> times;
    for (int i = 0; i <= runs; ++i) {
        if (prepare)
            prepare();
        QElapsedTimer timer;
        timer.start();
        once();
        if (i > 0) // the first call warms up
            times.push_back(double(timer.nsecsElapsed()) / 1e6);
    }
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

// The run count a benchmark was given as its first argument (at least 3,
// `fallback` without one), announced under the benchmark's name.
inline int runsFromArguments(int argc, char** argv, const char* name, int fallback = 15)
{
    const int runs = argc > 1 ? std::max(3, std::atoi(argv[1])) : fallback;
    std::printf("%s: median of %d runs\n", name, runs);
    return runs;
}

} // namespace snaplorn::bench
