#include "options/GetFolder.h"

#include "platform/DialogService.h"

#include <QDir>
#include <QFileInfo>

namespace snaplorn {

QString BrowseForFolder(DialogService& dialogs, QWidget* owner, const QString& title,
                        const QString& initialFolder)
{
    const QString start = QFileInfo(initialFolder).isDir() ? initialFolder : QString();
    const QString chosen = dialogs.existingDirectory(owner, title, start);
    if (chosen.isEmpty())
        return QString();
    return QDir::cleanPath(chosen);
}

} // namespace snaplorn
