#include "platform/QtClipboard.h"

#include "base/Texts.h"
#include "platform/ClipboardKeeper.h"
#include "platform/WlCopyClipboard.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>

#include <cstdio>

namespace snaplorn {

namespace {

QClipboard* systemClipboard()
{
    return qobject_cast<QGuiApplication*>(QCoreApplication::instance())
               ? QGuiApplication::clipboard()
               : nullptr;
}

} // namespace

QtClipboard::QtClipboard(QObject* parent, const QString& keeperProgram)
    : Clipboard(parent), m_keeperProgram(keeperProgram)
{
    if (QClipboard* clipboard = systemClipboard())
        connect(clipboard, &QClipboard::changed, this, [this](QClipboard::Mode mode) {
            if (mode == QClipboard::Clipboard)
                emit changed();
        });
}

Result QtClipboard::setImage(const QImage& image)
{
    QClipboard* clipboard = systemClipboard();
    if (!clipboard)
        return Result::failure(QStringLiteral("The clipboard is not available."));
    if (image.isNull())
        return Result::failure(QStringLiteral("There is no picture to put on the clipboard."));
    // The picture itself; Qt offers it to other programs in every image type
    // it can encode (PNG and BMP among them) when they ask.
    auto* data = new QMimeData;
    data->setImageData(image);
    clipboard->setMimeData(data, QClipboard::Clipboard);
    return Result::success();
}

bool QtClipboard::hasImage()
{
    QClipboard* clipboard = systemClipboard();
    if (!clipboard)
        return false;
    const QMimeData* data = clipboard->mimeData(QClipboard::Clipboard);
    return data && data->hasImage();
}

QImage QtClipboard::image()
{
    QClipboard* clipboard = systemClipboard();
    if (!clipboard)
        return QImage();
    const QImage picture = clipboard->image(QClipboard::Clipboard);
    if (picture.isNull())
        return picture;
    return picture.convertToFormat(QImage::Format_RGB32);
}

void QtClipboard::setText(const QString& text)
{
    if (QClipboard* clipboard = systemClipboard())
        clipboard->setText(text, QClipboard::Clipboard);
}

void QtClipboard::clear()
{
    if (QClipboard* clipboard = systemClipboard())
        clipboard->clear(QClipboard::Clipboard);
}

void QtClipboard::persistOnExit()
{
    QClipboard* clipboard = systemClipboard();
    if (!clipboard || !clipboard->ownsClipboard())
        return;
    const QMimeData* data = clipboard->mimeData(QClipboard::Clipboard);
    if (!data || !data->hasImage())
        return;
    // A Wayland clipboard also lives in its owner: wl-copy takes it over.
    if (QGuiApplication::platformName().startsWith(QLatin1String("wayland"))) {
        const Result kept =
            WlCopyClipboard().setImage(qvariant_cast<QImage>(data->imageData()));
        if (!kept)
            fprintf(stderr, "snaplorn: %s: %s\n", texts::ClipboardNotKept,
                    kept.message.toLocal8Bit().constData());
        return;
    }
    if (QGuiApplication::platformName() != QLatin1String("xcb"))
        return;
    // A clipboard manager receives every type from the application object's
    // own hand-over as it is destroyed; a keeper would only race with it.
    if (clipboardkeeper::managerRunning())
        return;
    const QImage picture = qvariant_cast<QImage>(data->imageData());
    const QString program =
        m_keeperProgram.isEmpty() ? QCoreApplication::applicationFilePath() : m_keeperProgram;
    if (!clipboardkeeper::handOver(picture, program, 5000))
        fprintf(stderr, "snaplorn: %s\n", texts::ClipboardNotKept);
}

} // namespace snaplorn
