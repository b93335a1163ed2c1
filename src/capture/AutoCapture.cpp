#include "capture/AutoCapture.h"

#include "base/Paths.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryFile>

#include <cmath>

namespace snaplorn {

QString autoCaptureFileName(const QString& folder, int number)
{
    return paths::join(folder, QStringLiteral("Screen%1.jpg").arg(number));
}

bool autoCaptureFolderUsable(const QString& folder)
{
    if (folder.trimmed().isEmpty())
        return false;
    const QFileInfo info(folder);
    if (!info.exists() || !info.isDir())
        return false;
    QTemporaryFile probe(paths::join(folder, QStringLiteral(".snaplorn-probe-XXXXXX")));
    return probe.open(); // removed again when the probe goes out of scope
}

QString nextFreeScreenFileName(const QString& folder)
{
    for (int number = 1;; ++number) {
        const QString name = autoCaptureFileName(folder, number);
        if (!QFileInfo::exists(name))
            return name;
    }
}

int autoCaptureIntervalMs(float seconds)
{
    const double ms = std::nearbyint(double(seconds) * 1000.0); // default rounding: halves to even
    if (!(ms >= 1.0))
        return 1;
    return ms > 2147483647.0 ? 2147483647 : int(ms);
}

bool DelayTicks::tick()
{
    ++m_ticks;
    if (m_ticks <= 3)
        return false;
    m_ticks = 1;
    return true;
}

} // namespace snaplorn
