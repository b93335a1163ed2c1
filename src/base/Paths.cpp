#include "base/Paths.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace snaplorn::paths {

namespace {

QString ensureFolder(const QString& path)
{
    QDir().mkpath(path);
    return path;
}

QString productFolder(QStandardPaths::StandardLocation base)
{
    return QDir::cleanPath(QStandardPaths::writableLocation(base) +
                           QLatin1String("/Quorvex/Snaplorn21"));
}

} // namespace

QString appPath()
{
    if (QCoreApplication::instance())
        return QCoreApplication::applicationDirPath();
    return QDir::currentPath();
}

QString helpFile()
{
    const QString beside = join(appPath(), QStringLiteral("snhelp.htm"));
    if (QFileInfo::exists(beside))
        return beside;
    return QDir::cleanPath(appPath() + QLatin1String("/../share/snaplorn/snhelp.htm"));
}

QString settingsFile()
{
    return QDir::cleanPath(QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
                           QLatin1String("/Quorvex/Snaplorn21.conf"));
}

QString cacheFolder()
{
    return ensureFolder(productFolder(QStandardPaths::GenericCacheLocation));
}

QString dataFolder()
{
    return ensureFolder(productFolder(QStandardPaths::GenericDataLocation));
}

QString defaultPicturesFolder()
{
    const QString pictures = QStandardPaths::writableLocation(QStandardPaths::PicturesLocation);
    if (!pictures.isEmpty() && QFileInfo(pictures).isDir())
        return QDir::cleanPath(pictures);
    return QDir::homePath();
}

QString join(const QString& folder, const QString& name)
{
    return QDir::cleanPath(folder + QLatin1Char('/') + name);
}

} // namespace snaplorn::paths
