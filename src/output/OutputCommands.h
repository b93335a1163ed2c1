#pragma once
#include "base/Result.h"

#include <QObject>
#include <QString>

class QWidget;

namespace snaplorn {

class ImageDocument;
class Registry;
struct AppSettings;
struct PlatformServices;

// What leaves the program with the image: the clipboard, the desktop
// wallpaper, the printer and e-mail. Failures are told to the user in
// boxes over `window`.
class OutputCommands : public QObject
{
    Q_OBJECT
public:
    OutputCommands(QWidget& window, ImageDocument& document, Registry& registry,
                   const AppSettings& settings, PlatformServices& services);

    // The whole image on the clipboard; Clear Clipboard also disables Paste.
    void copyToClipboard();
    void clearClipboard();
    // A copy of the image written as the wallpaper file and shown in the
    // given style ("center", "tile", "stretch"); remove shows no wallpaper.
    void setWallpaperFromImage(const QString& displayType);
    void removeWallpaper();
    // Stores the style values of DisplayType ("center", "tile", "stretch",
    // any case; other types store nothing) in the desktop section of the
    // settings file, then shows pFileName (empty: no picture) in the stored
    // style. The desktop's refusal comes back as a failure.
    Result SetWallpaper(const QString& pFileName, const QString& DisplayType);
    // Print at screen scale on the default printer; Print Setup chooses the
    // printer first.
    void print();
    void pageSetup();
    // A copy of the image as "screen.jpg", handed to the mail program or,
    // where there is none, to the e-mail window.
    void send();
    void OpenEmailWindow();

signals:
    // A copy of the image was written for the wallpaper or the e-mail.
    void imageCopyWritten();
    void pasteCleared();
    // Send waits while the mail program has not answered the last one.
    void sendEnabled(bool enabled);
    // A message sent from the e-mail window, for the status bar.
    void mailSent(const QString& statusText);

private:
    Result writeImageCopy(const QString& path);
    Result printCanvas();
    void showError(const QString& text);

    QWidget& m_window;
    ImageDocument& m_document;
    Registry& m_registry;
    const AppSettings& m_settings;
    PlatformServices& m_services;
};

} // namespace snaplorn
