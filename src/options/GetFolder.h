#pragma once
#include <QString>

class QWidget;

namespace snaplorn {

class DialogService;

// Lets the user choose a folder with the desktop's folder dialog, opened on
// `initialFolder` (the dialog's own start folder when that does not exist).
// Returns the chosen folder's full path, or the empty text when the user
// cancelled.
QString BrowseForFolder(DialogService& dialogs, QWidget* owner, const QString& title,
                        const QString& initialFolder);

} // namespace snaplorn
