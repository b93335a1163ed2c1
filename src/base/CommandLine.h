#pragma once
#include <QString>
#include <QStringList>

namespace snaplorn {

// The raw command line: the program's arguments joined by single spaces.
QString commandLineFromArguments(const QStringList& arguments);

// The command line as the main window uses it: trimmed of spaces, and with
// surrounding double quotes removed. A leading quote without a closing one
// is removed alone.
QString unquotedCommandLine(const QString& commandLine);

} // namespace snaplorn
