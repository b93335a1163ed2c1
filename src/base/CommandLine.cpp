#include "base/CommandLine.h"

namespace snaplorn {

QString commandLineFromArguments(const QStringList& arguments)
{
    return arguments.join(QLatin1Char(' '));
}

QString unquotedCommandLine(const QString& commandLine)
{
    QString text = commandLine.trimmed();
    if (!text.startsWith(QLatin1Char('"')))
        return text;
    if (text.size() >= 2 && text.endsWith(QLatin1Char('"')))
        return text.mid(1, text.size() - 2);
    return text.mid(1);
}

} // namespace snaplorn
