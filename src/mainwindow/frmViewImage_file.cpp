// File commands of the main window: New, Open, Save, Save As, Image
// Attributes, and pictures dropped from the desktop.
#include "mainwindow/frmViewImage.h"

#include "base/Texts.h"
#include "document/DropList.h"
#include "document/ImageDocument.h"
#include "document/ImageFiles.h"
#include "mainwindow/CanvasFrame.h"
#include "platform/DialogService.h"
#include "platform/MessageService.h"
#include "platform/PlatformServices.h"
#include "tools/CanvasWidget.h"
#include "tools/Toolbox.h"

#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QMimeData>

using namespace snaplorn;

bool frmViewImage::AskSaveChanges()
{
    if (!m_document->isDirty())
        return true;
    const MsgAnswer answer = m_services.messages->ask(
        this, {QString::fromLatin1(texts::AskSave), MsgIcon::Exclamation, MsgButtons::YesNoCancel});
    if (answer == MsgAnswer::Cancel)
        return false;
    if (answer == MsgAnswer::Yes)
        mnuSave_Click();
    else
        m_document->setDirty(false);
    // A save that was cancelled or failed stops the caller.
    return !m_document->isDirty();
}

void frmViewImage::DiscardChanges(bool& cancelled)
{
    m_document->setDirty(false);
    cancelled = false;
}

Result frmViewImage::LoadImageFile(const QString& path)
{
    return m_document->LoadImageFile(path);
}

Result frmViewImage::SaveImageFile(const QString& path)
{
    bool refused = false;
    const Result saved = m_document->SaveImageFile(path, m_settings.JpgQuality, &refused);
    if (refused) {
        m_services.messages->ask(this, {saved.message, MsgIcon::Exclamation, MsgButtons::Ok,
                                        QString::fromLatin1(texts::ErrorCaption)});
        return Result::failure(QString()); // already told
    }
    if (saved)
        m_toolbox->selectPointerTool();
    return saved;
}

void frmViewImage::mnuNew_Click()
{
    if (!AskSaveChanges())
        return;
    m_toolbox->hidePendingPaste();
    m_document->newBlank();
    RefreshScrollRanges();
}

void frmViewImage::mnuOpen_Click()
{
    m_toolbox->selectPointerTool();
    if (!AskSaveChanges())
        return;
    bool cancelled = false;
    DiscardChanges(cancelled);
    if (cancelled)
        return;
    const QString file =
        m_services.dialogs->openFileName(this, windowTitle(), m_document->lastDialogFolder(),
                                         QString::fromLatin1(texts::OpenFilter));
    if (file.isEmpty())
        return;
    const Result loaded = LoadImageFile(file);
    if (!loaded)
        showError(loaded.message);
}

void frmViewImage::mnuSave_Click()
{
    const QString path = m_document->filePath();
    if (path.trimmed().isEmpty()) {
        mnuSaveAs_Click();
        return;
    }
    const Result saved = SaveImageFile(path);
    if (!saved && !saved.message.isEmpty())
        showError(saved.message);
}

void frmViewImage::mnuSaveAs_Click()
{
    const QString file =
        m_services.dialogs->saveFileName(this, windowTitle(), m_document->lastDialogFolder(),
                                         QString::fromLatin1(texts::OpenFilter));
    if (file.trimmed().isEmpty())
        return;
    if (QFileInfo::exists(file)) {
        const MsgAnswer answer =
            m_services.messages->ask(this, {QString::fromLatin1(texts::OverwriteQuestion),
                                            MsgIcon::Exclamation, MsgButtons::YesNo});
        if (answer != MsgAnswer::Yes)
            return;
    }
    // With no picture on the canvas there is nothing that could be written.
    if (m_document->canvas().isNull()) {
        showError(QString::fromLatin1(texts::NotProperImage));
        return;
    }
    const Result saved = SaveImageFile(file);
    if (!saved && !saved.message.isEmpty())
        showError(saved.message);
}

void frmViewImage::mnuAttribute_Click()
{
    if (m_document->hasImage()) {
        const QString text = QStringLiteral("Image Width: %1 Pixels\r\nImage Height: %2 Pixels")
                                 .arg(m_document->width())
                                 .arg(m_document->height());
        m_services.messages->tell(this, text, MsgIcon::Information);
    } else {
        m_services.messages->tell(this, QString::fromLatin1(texts::NoImagePresent),
                                  MsgIcon::Information);
    }
}

// Drops from the desktop on the canvas or its frame: only a file list whose
// first file has a picture's extension is accepted, with the copy effect.
bool frmViewImage::handleFileDrag(QEvent* event)
{
    auto* drop = static_cast<QDropEvent*>(event);
    const QMimeData* data = drop->mimeData();
    const QString file = data && data->hasFormat(QStringLiteral("text/uri-list"))
                             ? firstDroppedFile(data->data(QStringLiteral("text/uri-list")))
                             : QString();
    if (file.isEmpty() || !IsImageFileName(QFileInfo(file).fileName())) {
        drop->ignore();
        return true;
    }
    drop->setDropAction(Qt::CopyAction);
    drop->accept();
    if (event->type() != QEvent::Drop)
        return true;
    if (!AskSaveChanges())
        return true;
    const Result loaded = LoadImageFile(file);
    if (!loaded)
        showError(loaded.message);
    return true;
}

bool frmViewImage::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_statusRow && event->type() == QEvent::Resize)
        layoutStatusPanels();
    if (watched == picSelImage || watched == picSelImageFrame) {
        switch (event->type()) {
        case QEvent::DragEnter:
        case QEvent::DragMove:
        case QEvent::Drop:
            return handleFileDrag(event);
        default:
            break;
        }
    }
    return QMainWindow::eventFilter(watched, event);
}
