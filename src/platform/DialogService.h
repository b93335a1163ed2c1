#pragma once
#include <QColor>
#include <QString>

#include <optional>

class QWidget;
class QPrinter;

namespace snaplorn {

// The program's modal standard dialogs. Every call returns what the user
// chose, or the empty text / nothing / false when the dialog was cancelled.
// Filters are given in the program's own form: "Text|pattern|Text|pattern".
class DialogService
{
public:
    virtual ~DialogService() = default;
    virtual QString openFileName(QWidget* parent, const QString& title, const QString& folder,
                                 const QString& filter) = 0;
    virtual QString saveFileName(QWidget* parent, const QString& title, const QString& folder,
                                 const QString& filter) = 0;
    virtual std::optional<QColor> color(QWidget* parent, const QColor& initial) = 0;
    virtual QString existingDirectory(QWidget* parent, const QString& title,
                                      const QString& startFolder) = 0;
    virtual bool printerSetup(QWidget* parent, QPrinter* printer) = 0;
};

// "JPG Files(*.jpg)|*.jpg|Bitmap Files (*.bmp)|*.bmp;" -> Qt's ";;" form; a
// description that already ends with its patterns in brackets is kept as it is.
QString toQtFilter(const QString& filter);

} // namespace snaplorn
