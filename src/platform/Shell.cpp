#include "platform/Shell.h"

#include <QDesktopServices>
#include <QFileInfo>

namespace snaplorn {

bool isOpenableAddress(const QUrl& url, const QString& helpFile)
{
    if (!url.isValid())
        return false;
    const QString scheme = url.scheme().toLower();
    if (scheme == QLatin1String("http") || scheme == QLatin1String("https"))
        return !url.host().isEmpty();
    if (url.isLocalFile() && !helpFile.isEmpty())
        return QFileInfo(url.toLocalFile()).absoluteFilePath() ==
               QFileInfo(helpFile).absoluteFilePath();
    return false;
}

DesktopShell::DesktopShell(QString helpFile) : m_helpFile(std::move(helpFile)) {}

Result DesktopShell::openUrl(const QUrl& url)
{
    if (!isOpenableAddress(url, m_helpFile))
        return Result::failure(
            QStringLiteral("The address \"%1\" is not a web page and was not opened.")
                .arg(url.toDisplayString()));
    if (url.isLocalFile() && !QFileInfo::exists(url.toLocalFile()))
        return Result::failure(QStringLiteral("File not found: %1").arg(url.toLocalFile()));
    if (!QDesktopServices::openUrl(url))
        return Result::failure(
            QStringLiteral("No program is set up to open %1.").arg(url.toDisplayString()));
    return Result::success();
}

Result RecordingShell::openUrl(const QUrl& url)
{
    opened.append(url);
    return failWith.isEmpty() ? Result::success() : Result::failure(failWith);
}

} // namespace snaplorn
