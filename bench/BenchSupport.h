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

// Milliseconds ImageMagick spends on one operation of a picture it holds in
// memory: convert runs that read the picture and apply the operation many
// times against runs that only read it, interleaved, `runs` of each; the
// difference of the medians divided by the repeat count. The count is
// chosen so the repeated operations take about a second, far above the
// noise of starting a process and reading the file. -1 when convert is
// missing or fails; 0 when the operation vanished in that noise.
inline double magickOperationMs(const QStringList& read, const QStringList& operation, int runs)
{
    auto timed = [](const QStringList& arguments) {
        QProcess process;
        process.setProcessChannelMode(QProcess::MergedChannels);
        QElapsedTimer timer;
        timer.start();
        process.start(QStringLiteral("convert"), arguments);
        if (!process.waitForFinished(600000) || process.exitStatus() != QProcess::NormalExit ||
            process.exitCode() != 0)
            return -1.0;
        return double(timer.nsecsElapsed()) / 1e6;
    };
    auto repeated = [&](int repeats) {
        QStringList arguments = read;
        for (int i = 0; i < repeats; ++i)
            arguments += operation;
        return arguments << QStringLiteral("null:");
    };
    const QStringList readOnly = read + QStringList{QStringLiteral("null:")};
    // A first estimate from four repeats sets the count.
    const double probe = timed(repeated(4));
    const double bare = timed(readOnly);
    if (probe < 0 || bare < 0)
        return -1;
    const double estimate = std::max(1.0, (probe - bare) / 4);
    const int repeats = std::clamp(int(1000.0 / estimate), 4, 64);
    std::vector<double> with, without;
    for (int i = 0; i < runs; ++i) {
        const double a = timed(repeated(repeats));
        const double b = timed(readOnly);
        if (a < 0 || b < 0)
            return -1;
        with.push_back(a);
        without.push_back(b);
    }
    std::sort(with.begin(), with.end());
    std::sort(without.begin(), without.end());
    return std::max(0.0, (with[with.size() / 2] - without[without.size() / 2]) / repeats);
}

// A peer's figure is printed, and a ratio formed from it, only when it is
// credible: no operation that writes every byte of a picture takes less
// than a memory copy of the same bytes.
inline bool crediblePeerMs(double peerMs, double copyMs)
{
    return peerMs > 0 && peerMs >= copyMs;
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
