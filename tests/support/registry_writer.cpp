// Test helper: writes one value of the settings file over and over, as a
// second program instance would. Usage: registry_writer FILE NAME PREFIX COUNT
#include "settings/Registry.h"

#include <QCoreApplication>
#include <QStringList>

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() < 5)
        return 2;
    snaplorn::Registry registry(args.at(1));
    const QString key = QString::fromLatin1(snaplorn::SettingsKey);
    registry.createKey(key);
    const int count = args.at(4).toInt();
    for (int i = 0; i < count; ++i)
        registry.writeString(key, args.at(2), args.at(3) + QString::number(i));
    return 0;
}
