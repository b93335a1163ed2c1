#include "platform/standins/ScriptedDialogService.h"

namespace snaplorn {

QString ScriptedDialogService::openFileName(QWidget*, const QString& title, const QString& folder,
                                            const QString& filter)
{
    requests.append({QStringLiteral("open"), title, folder, filter});
    return openAnswers.isEmpty() ? QString() : openAnswers.takeFirst();
}

QString ScriptedDialogService::saveFileName(QWidget*, const QString& title, const QString& folder,
                                            const QString& filter)
{
    requests.append({QStringLiteral("save"), title, folder, filter});
    return saveAnswers.isEmpty() ? QString() : saveAnswers.takeFirst();
}

std::optional<QColor> ScriptedDialogService::color(QWidget*, const QColor& initial)
{
    requests.append({QStringLiteral("color"), initial.name(), QString(), QString()});
    return colorAnswers.isEmpty() ? std::nullopt : colorAnswers.takeFirst();
}

QString ScriptedDialogService::existingDirectory(QWidget*, const QString& title,
                                                 const QString& startFolder)
{
    requests.append({QStringLiteral("folder"), title, startFolder, QString()});
    return folderAnswers.isEmpty() ? QString() : folderAnswers.takeFirst();
}

bool ScriptedDialogService::printerSetup(QWidget*, QPrinter*)
{
    requests.append({QStringLiteral("printer"), QString(), QString(), QString()});
    return printerAnswers.isEmpty() ? false : printerAnswers.takeFirst();
}

} // namespace snaplorn
