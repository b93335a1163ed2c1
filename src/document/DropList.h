#pragma once
#include <QByteArray>
#include <QString>

namespace snaplorn {

// The first local file named by a "text/uri-list" drag payload (comment
// lines starting with '#' and blank lines skipped), or the empty text when
// the first entry is not a local file.
QString firstDroppedFile(const QByteArray& uriList);

} // namespace snaplorn
