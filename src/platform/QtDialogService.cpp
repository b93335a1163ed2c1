#include "platform/QtDialogService.h"

#include <QColorDialog>
#include <QFileDialog>
#include <QPrintDialog>
#include <QStringList>

namespace snaplorn {

namespace {

// A pattern list in Qt's form: separated by single spaces.
QString normalisedPatterns(QString patterns)
{
    patterns.replace(QLatin1Char(';'), QLatin1Char(' '));
    return patterns.simplified();
}

// True when the description already ends with its patterns in brackets, as
// in "JPG Files(*.jpg)": the dialog reads them from there.
bool endsWithPatterns(const QString& description, const QString& patterns)
{
    if (!description.endsWith(QLatin1Char(')')))
        return false;
    const qsizetype open = description.lastIndexOf(QLatin1Char('('));
    return open >= 0 &&
           normalisedPatterns(description.mid(open + 1, description.size() - open - 2)) == patterns;
}

} // namespace

QString toQtFilter(const QString& filter)
{
    // Pairs of "description|patterns"; patterns may end with a stray ';'.
    const QStringList parts = filter.split(QLatin1Char('|'));
    QStringList entries;
    for (int i = 0; i + 1 < parts.size(); i += 2) {
        const QString description = parts.at(i).trimmed();
        const QString patterns = normalisedPatterns(parts.at(i + 1));
        entries << (endsWithPatterns(description, patterns)
                        ? description
                        : QStringLiteral("%1 (%2)").arg(description, patterns));
    }
    return entries.join(QLatin1String(";;"));
}

QString QtDialogService::openFileName(QWidget* parent, const QString& title, const QString& folder,
                                      const QString& filter)
{
    QFileDialog dialog(parent, title, folder, toQtFilter(filter));
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFile);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return QString();
    return dialog.selectedFiles().constFirst();
}

QString QtDialogService::saveFileName(QWidget* parent, const QString& title, const QString& folder,
                                      const QString& filter)
{
    QFileDialog dialog(parent, title, folder, toQtFilter(filter));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    // The program asks the overwrite question itself.
    dialog.setOption(QFileDialog::DontConfirmOverwrite, true);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return QString();
    return dialog.selectedFiles().constFirst();
}

std::optional<QColor> QtDialogService::color(QWidget* parent, const QColor& initial)
{
    QColorDialog dialog(initial, parent);
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return dialog.selectedColor();
}

QString QtDialogService::existingDirectory(QWidget* parent, const QString& title,
                                           const QString& startFolder)
{
    QFileDialog dialog(parent, title, startFolder);
    dialog.setFileMode(QFileDialog::Directory);
    dialog.setOption(QFileDialog::ShowDirsOnly, true);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return QString();
    return dialog.selectedFiles().constFirst();
}

bool QtDialogService::printerSetup(QWidget* parent, QPrinter* printer)
{
    QPrintDialog dialog(printer, parent);
    return dialog.exec() == QDialog::Accepted;
}

} // namespace snaplorn
