#include "platform/WlCopyClipboard.h"

#include "base/Texts.h"
#include "platform/ToolProcess.h"

#include <QBuffer>

namespace snaplorn {

namespace {

// wl-copy reads what it is given, takes the clipboard and goes on serving
// it in the background; the foreground process ends at once.
constexpr int WlCopyTimeoutMs = 10000;

Result runWlCopy(const QStringList& arguments, const QByteArray& input)
{
    const QString program = findProgram(QStringLiteral("wl-copy"));
    if (program.isEmpty())
        return Result::failure(QString::fromUtf8(texts::WlCopyMissing));
    const ToolRun run = runTool(program, arguments, WlCopyTimeoutMs, input);
    if (run.succeeded())
        return Result::success();
    if (!run.finished)
        return Result::failure(QString::fromUtf8(texts::WlCopySilent));
    return Result::failure(QString::fromUtf8(texts::WlCopyFailed)
                               .arg(run.diagnostics().replace(QLatin1String("\r\n"),
                                                              QLatin1String(" "))));
}

} // namespace

Result WlCopyClipboard::setImage(const QImage& image)
{
    if (image.isNull())
        return Result::failure(QStringLiteral("There is no picture to put on the clipboard."));
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    if (!image.save(&buffer, "PNG"))
        return Result::failure(QString::fromUtf8(texts::GrabOutOfMemory)
                                   .arg(image.width())
                                   .arg(image.height()));
    const Result copied = runWlCopy({QStringLiteral("--type"), QStringLiteral("image/png")}, png);
    if (copied)
        emit changed();
    return copied;
}

void WlCopyClipboard::setText(const QString& text)
{
    if (runWlCopy({QStringLiteral("--type"), QStringLiteral("text/plain;charset=utf-8")},
                  text.toUtf8()))
        emit changed();
}

void WlCopyClipboard::clear()
{
    runWlCopy({QStringLiteral("--clear")}, QByteArray());
}

} // namespace snaplorn
