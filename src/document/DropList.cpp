#include "document/DropList.h"

#include <QUrl>

namespace snaplorn {

QString firstDroppedFile(const QByteArray& uriList)
{
    for (const QByteArray& rawLine : uriList.split('\n')) {
        const QByteArray line = rawLine.trimmed();
        if (line.isEmpty() || line.startsWith('#'))
            continue;
        const QUrl url = QUrl::fromEncoded(line, QUrl::StrictMode);
        if (!url.isValid() || !url.isLocalFile())
            return QString();
        return url.toLocalFile();
    }
    return QString();
}

} // namespace snaplorn
