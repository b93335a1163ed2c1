#pragma once
#include "platform/DialogService.h"

#include <QList>
#include <QStringList>

namespace snaplorn {

// Stand-in for tests: answers each kind of dialog from its own queue and
// records how each dialog was asked (title, folder, filter). An empty queue
// answers like Cancel.
class ScriptedDialogService : public DialogService
{
public:
    struct Request {
        QString kind; // "open", "save", "color", "folder", "printer"
        QString title;
        QString folder;
        QString filter;
    };

    QString openFileName(QWidget* parent, const QString& title, const QString& folder,
                         const QString& filter) override;
    QString saveFileName(QWidget* parent, const QString& title, const QString& folder,
                         const QString& filter) override;
    std::optional<QColor> color(QWidget* parent, const QColor& initial) override;
    QString existingDirectory(QWidget* parent, const QString& title,
                              const QString& startFolder) override;
    bool printerSetup(QWidget* parent, QPrinter* printer) override;

    QStringList openAnswers;
    QStringList saveAnswers;
    QList<std::optional<QColor>> colorAnswers;
    QStringList folderAnswers;
    QList<bool> printerAnswers;
    QList<Request> requests;
};

} // namespace snaplorn
