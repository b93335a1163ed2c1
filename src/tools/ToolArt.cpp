#include "tools/ToolArt.h"

#include <QHash>
#include <QImage>
#include <QPainter>
#include <QPixmap>
#include <QSvgRenderer>

// The pictures are in the program's resource file, compiled into a static
// library; registering it again is harmless.
static void initToolResources()
{
    Q_INIT_RESOURCE(snaplorn);
}

namespace snaplorn {

namespace {

void ensureResources()
{
    static const bool done = [] {
        initToolResources();
        return true;
    }();
    Q_UNUSED(done);
}

QPixmap render(const QString& path, int size)
{
    ensureResources();
    QSvgRenderer renderer(path);
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    renderer.render(&painter);
    painter.end();
    return QPixmap::fromImage(image);
}

} // namespace

QIcon toolButtonIcon(int toolNumber)
{
    static const char* const faces[] = {"pencil",    "eraser",       "rectangle", "ellipse",
                                        "solidrect", "solidellipse", "line",      "arrow",
                                        "text",      "pointer",      "select",    "pickcolor"};
    if (toolNumber < 0 || toolNumber >= int(std::size(faces)))
        return QIcon();
    const QString path =
        QStringLiteral(":/tools/tool-%1.svg").arg(QLatin1String(faces[toolNumber]));
    QIcon icon;
    icon.addPixmap(render(path, 24));
    icon.addPixmap(render(path, 48));
    return icon;
}

QCursor canvasCursor(CanvasCursor kind)
{
    struct Art {
        const char* name;
        int hotX, hotY; // the pixel of the picture that points
    };
    static const QHash<int, Art> art = {
        {int(CanvasCursor::Pencil), {"pencil", 1, 31}},
        {int(CanvasCursor::Eraser), {"eraser", 8, 22}},
        {int(CanvasCursor::Pipette), {"pipette", 1, 31}},
        {int(CanvasCursor::CrossHair), {"crosshair", 16, 16}},
    };
    const Art a = art.value(int(kind));
    return QCursor(render(QStringLiteral(":/tools/cursor-%1.svg").arg(QLatin1String(a.name)), 32),
                   a.hotX, a.hotY);
}

} // namespace snaplorn
