#include "platform/DesktopToolWallpaper.h"

#include "base/Texts.h"
#include "platform/ToolProcess.h"

namespace snaplorn {

namespace {

Result toolFailure(const QString& program, const ToolRun& run)
{
    if (!run.started)
        return Result::failure(QString::fromUtf8(texts::WallpaperToolMissing).arg(program));
    if (!run.finished)
        return Result::failure(QString::fromUtf8(texts::WallpaperToolTimedOut)
                                   .arg(program)
                                   .arg(DesktopToolWallpaper::ToolTimeoutMs / 1000));
    QString reason = run.diagnostics();
    if (reason.isEmpty())
        reason = QString::fromUtf8(texts::WallpaperToolExitCode).arg(run.exitCode);
    return Result::failure(QString::fromUtf8(texts::WallpaperToolFailed).arg(program, reason));
}

} // namespace

Result DesktopToolWallpaper::set(const QString& pictureFile, WallpaperStyle style)
{
    return apply(pictureFile, style);
}

Result DesktopToolWallpaper::remove()
{
    return apply(QString(), WallpaperStyle::Center);
}

Result DesktopToolWallpaper::apply(const QString& pictureFile, WallpaperStyle style)
{
    QList<ToolCommand> commands;
    if (m_desktop == DesktopKind::Xfce) {
        const Result listed = xfceCommands(pictureFile, style, commands);
        if (!listed)
            return listed;
    } else {
        commands = wallpaperCommands(m_desktop, pictureFile, style);
    }
    if (commands.isEmpty())
        return Result::failure(QString::fromUtf8(texts::WallpaperUnavailable));
    return runAll(commands);
}

Result DesktopToolWallpaper::xfceCommands(const QString& pictureFile, WallpaperStyle style,
                                          QList<ToolCommand>& commands)
{
    const ToolCommand list = xfceListCommand();
    const QString program = findProgram(list.program);
    if (program.isEmpty())
        return Result::failure(QString::fromUtf8(texts::WallpaperToolMissing).arg(list.program));
    const ToolRun run = runTool(program, list.arguments, ToolTimeoutMs);
    // A channel without properties yet answers with an error: start afresh.
    if (!run.started || !run.finished)
        return toolFailure(list.program, run);
    const QString listing = run.succeeded() ? QString::fromUtf8(run.output) : QString();
    commands = xfceWallpaperCommands(listing, pictureFile, style);
    return Result::success();
}

Result DesktopToolWallpaper::runAll(const QList<ToolCommand>& commands)
{
    for (const ToolCommand& command : commands) {
        const QString program = findProgram(command.program);
        if (program.isEmpty()) {
            if (command.optional)
                continue;
            return Result::failure(
                QString::fromUtf8(texts::WallpaperToolMissing).arg(command.program));
        }
        const ToolRun run = runTool(program, command.arguments, ToolTimeoutMs);
        if (run.succeeded() || (command.optional && run.started && run.finished))
            continue;
        return toolFailure(command.program, run);
    }
    return Result::success();
}

} // namespace snaplorn
