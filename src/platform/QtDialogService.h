#pragma once
#include "platform/DialogService.h"

namespace snaplorn {

class QtDialogService : public DialogService
{
public:
    QString openFileName(QWidget* parent, const QString& title, const QString& folder,
                         const QString& filter) override;
    QString saveFileName(QWidget* parent, const QString& title, const QString& folder,
                         const QString& filter) override;
    std::optional<QColor> color(QWidget* parent, const QColor& initial) override;
    QString existingDirectory(QWidget* parent, const QString& title,
                              const QString& startFolder) override;
    bool printerSetup(QWidget* parent, QPrinter* printer) override;
};

} // namespace snaplorn
