#include "mainwindow/Icons.h"

#include <QHash>

// The bundled pictures live in a resource file compiled into a static
// library; the linker keeps it only when something names its initialiser.
static void initSnaplornResources()
{
    Q_INIT_RESOURCE(snaplorn);
}

namespace snaplorn {

namespace {

struct IconSource {
    const char* themeName; // freedesktop icon name, looked up in the desktop theme
    const char* bundled;   // our own 24 x 24 picture, used when the theme has none
};

const QHash<QString, IconSource>& iconTable()
{
    static const QHash<QString, IconSource> table = {
        {QStringLiteral("mnuNew"), {"document-new", "cmd-new"}},
        {QStringLiteral("mnuOpen"), {"document-open", "cmd-open"}},
        {QStringLiteral("mnuSave"), {"document-save", "cmd-save"}},
        {QStringLiteral("mnuPrint"), {"document-print", "cmd-print"}},
        {QStringLiteral("mnuSend"), {"mail-send", "cmd-send"}},
        {QStringLiteral("mnuDesktop"), {"video-display", "cmd-desktop"}},
        {QStringLiteral("mnuRectangle"), {"select-rectangular", "cmd-rectangle"}},
        {QStringLiteral("mnuWindow"), {"window", "cmd-window"}},
        {QStringLiteral("mnuUndo"), {"edit-undo", "cmd-undo"}},
        {QStringLiteral("mnuRedo"), {"edit-redo", "cmd-redo"}},
        {QStringLiteral("mnuShowToolbox"), {"draw-brush", "cmd-toolbox"}},
        {QStringLiteral("mnuCut"), {"edit-cut", "cmd-cut"}},
        {QStringLiteral("mnuCopy"), {"edit-copy", "cmd-copy"}},
        {QStringLiteral("mnuPaste"), {"edit-paste", "cmd-paste"}},
        {QStringLiteral("mnuZoomIn"), {"zoom-in", "cmd-zoomin"}},
        {QStringLiteral("mnuZoomOut"), {"zoom-out", "cmd-zoomout"}},
        {QStringLiteral("mnuFitToWin"), {"zoom-fit-best", "cmd-fit"}},
        {QStringLiteral("mnuFlipHor"), {"object-flip-horizontal", "cmd-fliphor"}},
        {QStringLiteral("mnuFlipVert"), {"object-flip-vertical", "cmd-flipvert"}},
        {QStringLiteral("mnuInvertColor"), {"invertimage", "cmd-invert"}},
        {QStringLiteral("mnuHelpContents"), {"help-contents", "cmd-help"}},
    };
    return table;
}

void ensureResources()
{
    static const bool done = [] {
        initSnaplornResources();
        return true;
    }();
    Q_UNUSED(done);
}

} // namespace

QIcon commandIcon(const QString& commandName)
{
    const auto& table = iconTable();
    const auto it = table.constFind(commandName);
    if (it == table.constEnd())
        return QIcon();
    ensureResources();
    const QIcon bundled(QStringLiteral(":/icons/%1.svg").arg(QLatin1String(it->bundled)));
    return QIcon::fromTheme(QLatin1String(it->themeName), bundled);
}

QIcon applicationIcon()
{
    ensureResources();
    return QIcon(QStringLiteral(":/icons/snaplorn.svg"));
}

} // namespace snaplorn
