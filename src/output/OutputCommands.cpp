#include "output/OutputCommands.h"

#include "base/Paths.h"
#include "base/Texts.h"
#include "document/ImageDocument.h"
#include "output/frmEmail.h"
#include "platform/Clipboard.h"
#include "platform/DialogService.h"
#include "platform/Mailer.h"
#include "platform/MessageService.h"
#include "platform/PlatformServices.h"
#include "platform/PrintLayout.h"
#include "platform/Printer.h"
#include "platform/Wallpaper.h"
#include "platform/WallpaperStyle.h"
#include "settings/AppSettings.h"
#include "settings/Registry.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

namespace snaplorn {

namespace {

constexpr char WallpaperFile[] = "Snaplorn.bmp";

QString wallpaperPath()
{
    return paths::join(paths::dataFolder(), QLatin1String(WallpaperFile));
}

QString emailAttachmentPath()
{
    return paths::join(paths::cacheFolder(), QString::fromUtf8(texts::EmailAttachmentFile));
}

QString withWebAddress(const char* text)
{
    return QString::fromUtf8(text).arg(QString::fromUtf8(texts::WebAddress));
}

} // namespace

OutputCommands::OutputCommands(QWidget& window, ImageDocument& document, Registry& registry,
                               const AppSettings& settings, PlatformServices& services)
    : QObject(&window), m_window(window), m_document(document), m_registry(registry),
      m_settings(settings), m_services(services)
{
}

void OutputCommands::showError(const QString& text)
{
    m_services.messages->tell(&m_window, text, MsgIcon::Exclamation);
}

// ---- clipboard -------------------------------------------------------------

void OutputCommands::copyToClipboard()
{
    Clipboard* clipboard = m_services.clipboard.get();
    if (!clipboard) {
        showError(QString::fromUtf8(texts::ClipboardUnavailable));
        return;
    }
    clipboard->clear();
    const QImage& image = m_document.canvas();
    if (image.isNull()) {
        showError(QString::fromUtf8(texts::NothingToCopy));
        return;
    }
    // Paste follows the clipboard through the paste timer, not from here.
    const Result copied = clipboard->setImage(image);
    if (!copied)
        showError(copied.message);
}

void OutputCommands::clearClipboard()
{
    if (m_services.clipboard)
        m_services.clipboard->clear();
    emit pasteCleared();
}

// ---- wallpaper -------------------------------------------------------------

Result OutputCommands::SetWallpaper(const QString& pFileName, const QString& DisplayType)
{
    if (const auto values = wallpaperValuesFor(DisplayType)) {
        // The desktop section is always there on a desktop; here it may
        // still have to be made.
        const QString key = QString::fromLatin1(DesktopKey);
        m_registry.createKey(key);
        RegWriteString(m_registry, RegRoot::CurrentUser, key,
                       QString::fromLatin1(TileWallpaperValue), values->tileWallpaper);
        RegWriteString(m_registry, RegRoot::CurrentUser, key,
                       QString::fromLatin1(WallpaperStyleValue), values->wallpaperStyle);
    }
    if (!m_services.wallpaper)
        return Result::failure(QString::fromUtf8(texts::WallpaperUnavailable));
    if (pFileName.isEmpty())
        return m_services.wallpaper->remove();
    // The desktop shows the picture in the style its stored values name.
    const QString key = QString::fromLatin1(DesktopKey);
    const WallpaperStyle style =
        wallpaperStyleFrom(m_registry.readString(key, QString::fromLatin1(TileWallpaperValue)),
                           m_registry.readString(key, QString::fromLatin1(WallpaperStyleValue)));
    return m_services.wallpaper->set(pFileName, style);
}

// The wallpaper and the e-mail attachment are copies: the document keeps its
// own file, title and unsaved state, so a later Save still writes the user's
// picture and not the program's cache file.
Result OutputCommands::writeImageCopy(const QString& path)
{
    const Result written = m_document.WriteImageCopy(path, m_settings.JpgQuality);
    if (written)
        emit imageCopyWritten();
    return written;
}

void OutputCommands::setWallpaperFromImage(const QString& displayType)
{
    const QString file = wallpaperPath();
    const Result saved = writeImageCopy(file);
    if (!saved) {
        if (!saved.message.isEmpty())
            showError(saved.message);
        return;
    }
    QCoreApplication::processEvents();
    const Result shown = SetWallpaper(file, displayType);
    if (!shown)
        showError(shown.message);
}

void OutputCommands::removeWallpaper()
{
    const Result removed = SetWallpaper(QString(), QStringLiteral("center"));
    if (!removed)
        showError(removed.message);
}

// ---- printing --------------------------------------------------------------

Result OutputCommands::printCanvas()
{
    if (!m_services.printer)
        return Result::failure(QString::fromUtf8(texts::PrinterUnavailable));
    const QImage& image = m_document.canvas();
    if (image.isNull())
        return Result::failure(QString::fromUtf8(texts::NothingToPrint));
    // The image keeps the physical size it has on this window's screen,
    // where one image pixel is one device pixel (Qt counts the screen's dots
    // per inch in device-independent pixels).
    const QScreen* shownOn =
        m_window.screen() ? m_window.screen() : QGuiApplication::primaryScreen();
    const qreal ratio = shownOn ? shownOn->devicePixelRatio() : 1.0;
    const QSizeF dpi = shownOn ? QSizeF(shownOn->physicalDotsPerInchX() * ratio,
                                        shownOn->physicalDotsPerInchY() * ratio)
                               : QSizeF();
    const PrintLayout layout = printLayout(image.size(), dpi);
    return m_services.printer->printImage(image, layout.imageInches);
}

void OutputCommands::print()
{
    const Result printed = printCanvas();
    if (!printed)
        showError(printed.message);
}

void OutputCommands::pageSetup()
{
    if (!m_services.printer) {
        showError(QString::fromUtf8(texts::PrinterUnavailable));
        return;
    }
    // Cancel ends here without printing.
    if (!m_services.dialogs->printerSetup(&m_window, m_services.printer->settings()))
        return;
    print();
}

// ---- e-mail ----------------------------------------------------------------

void OutputCommands::send()
{
    const Result saved = writeImageCopy(emailAttachmentPath());
    if (!saved) {
        if (!saved.message.isEmpty())
            showError(saved.message);
        return;
    }
    OpenEmailWindow();
}

void OutputCommands::OpenEmailWindow()
{
    if (!m_services.mailer) {
        showError(QString::fromUtf8(texts::MailerUnavailable));
        return;
    }
    // The mail program may take seconds to answer; the window stays usable,
    // only a second send waits for the first.
    emit sendEnabled(false);
    const QString attachment = emailAttachmentPath();
    m_services.mailer->compose(
        withWebAddress(texts::EmailComposeSubject), attachment, &m_window,
        [this, attachment](const Mailer::ComposeOutcome& composed) {
            emit sendEnabled(true);
            switch (composed.outcome) {
            case Mailer::Compose::Opened:
                return;
            case Mailer::Compose::Failed:
                m_services.messages->ask(&m_window,
                                         {QString::fromUtf8(texts::EmailOpenError) +
                                              QLatin1String(texts::CRLF) + composed.message,
                                          MsgIcon::None, MsgButtons::Ok, QString()});
                return;
            case Mailer::Compose::NoClient:
                break;
            }
            frmEmail dialog(*m_services.mailer, *m_services.messages, attachment, &m_window);
            if (dialog.exec() == QDialog::Accepted)
                emit mailSent(QString::fromUtf8(texts::EmailSent).arg(dialog.sentTo()));
        });
}

} // namespace snaplorn
