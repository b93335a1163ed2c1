#include "platform/DesktopWallpaperCommands.h"

#include <QUrl>

namespace snaplorn {

namespace {

const QString GSettings = QStringLiteral("gsettings");
const QString XfconfQuery = QStringLiteral("xfconf-query");

QString fileUri(const QString& path)
{
    return QUrl::fromLocalFile(path).toString(QUrl::FullyEncoded);
}

// The picture-options value of the GNOME family of desktops.
QString gnomeOption(WallpaperStyle style)
{
    switch (style) {
    case WallpaperStyle::Tile:
        return QStringLiteral("wallpaper");
    case WallpaperStyle::Stretch:
        return QStringLiteral("stretched");
    case WallpaperStyle::Center:
        break;
    }
    return QStringLiteral("centered");
}

ToolCommand gsettingsSet(const QString& schema, const QString& key, const QString& value,
                         bool optional = false)
{
    return {GSettings, {QStringLiteral("set"), schema, key, gvariantString(value)}, optional};
}

QList<ToolCommand> gnomeCommands(const QString& schema, const QString& path, WallpaperStyle style)
{
    const QString options = QStringLiteral("picture-options");
    if (path.isEmpty())
        return {gsettingsSet(schema, options, QStringLiteral("none"))};
    const QString uri = fileUri(path);
    QList<ToolCommand> commands{gsettingsSet(schema, QStringLiteral("picture-uri"), uri)};
    // Only newer GNOME releases keep a second picture for the dark style.
    if (schema == QLatin1String("org.gnome.desktop.background"))
        commands << gsettingsSet(schema, QStringLiteral("picture-uri-dark"), uri, true);
    commands << gsettingsSet(schema, options, gnomeOption(style));
    return commands;
}

QList<ToolCommand> mateCommands(const QString& path, WallpaperStyle style)
{
    const QString schema = QStringLiteral("org.mate.background");
    // MATE shows its background colour when no picture file is named.
    if (path.isEmpty())
        return {gsettingsSet(schema, QStringLiteral("picture-filename"), QString())};
    return {gsettingsSet(schema, QStringLiteral("picture-filename"), path),
            gsettingsSet(schema, QStringLiteral("picture-options"), gnomeOption(style))};
}

// Xfce's image-style: 0 none, 1 centred, 2 tiled, 3 stretched.
QString xfceStyle(const QString& path, WallpaperStyle style)
{
    if (path.isEmpty())
        return QStringLiteral("0");
    switch (style) {
    case WallpaperStyle::Tile:
        return QStringLiteral("2");
    case WallpaperStyle::Stretch:
        return QStringLiteral("3");
    case WallpaperStyle::Center:
        break;
    }
    return QStringLiteral("1");
}

// Every output shows the picture; sway's own background colour fills what a
// centred picture leaves, and stands alone when there is no picture.
ToolCommand swayCommand(const QString& path, WallpaperStyle style)
{
    QString command = QStringLiteral("output * bg ");
    if (path.isEmpty()) {
        command += QLatin1String("#000000 solid_color");
    } else {
        const char* mode = style == WallpaperStyle::Tile
                               ? "tile"
                               : (style == WallpaperStyle::Stretch ? "stretch" : "center #000000");
        command += swayFileWord(path) + QLatin1Char(' ') + QLatin1String(mode);
    }
    return {QStringLiteral("swaymsg"), {command}, false};
}

ToolCommand xfconfSet(const QString& property, const QString& value, const QString& newType = {})
{
    QStringList arguments{QStringLiteral("-c"), QStringLiteral("xfce4-desktop"),
                          QStringLiteral("-p"), property};
    if (!newType.isEmpty())
        arguments << QStringLiteral("-n") << QStringLiteral("-t") << newType;
    arguments << QStringLiteral("-s") << value;
    return {XfconfQuery, arguments, false};
}

} // namespace

DesktopKind detectDesktop(const QString& xdgCurrentDesktop)
{
    const QStringList names = xdgCurrentDesktop.split(QLatin1Char(':'), Qt::SkipEmptyParts);
    for (QString name : names) {
        name = name.trimmed().toLower();
        if (name == QLatin1String("gnome") || name == QLatin1String("unity") ||
            name == QLatin1String("gnome-classic") || name == QLatin1String("gnome-flashback") ||
            name == QLatin1String("budgie"))
            return DesktopKind::Gnome;
        if (name == QLatin1String("x-cinnamon") || name == QLatin1String("cinnamon"))
            return DesktopKind::Cinnamon;
        if (name == QLatin1String("mate"))
            return DesktopKind::Mate;
        if (name == QLatin1String("xfce"))
            return DesktopKind::Xfce;
        if (name == QLatin1String("kde"))
            return DesktopKind::Plasma;
        if (name == QLatin1String("sway"))
            return DesktopKind::Sway;
    }
    return DesktopKind::Other;
}

QList<ToolCommand> wallpaperCommands(DesktopKind desktop, const QString& path, WallpaperStyle style)
{
    switch (desktop) {
    case DesktopKind::Gnome:
        return gnomeCommands(QStringLiteral("org.gnome.desktop.background"), path, style);
    case DesktopKind::Cinnamon:
        return gnomeCommands(QStringLiteral("org.cinnamon.desktop.background"), path, style);
    case DesktopKind::Mate:
        return mateCommands(path, style);
    case DesktopKind::Plasma:
        return {
            {QStringLiteral("dbus-send"),
             {QStringLiteral("--session"), QStringLiteral("--print-reply"),
              QStringLiteral("--type=method_call"), QStringLiteral("--dest=org.kde.plasmashell"),
              QStringLiteral("/PlasmaShell"), QStringLiteral("org.kde.PlasmaShell.evaluateScript"),
              QStringLiteral("string:") + plasmaScript(path, style)},
             false}};
    case DesktopKind::Sway:
        return {swayCommand(path, style)};
    case DesktopKind::Xfce:
    case DesktopKind::Other:
        break;
    }
    return {};
}

ToolCommand xfceListCommand()
{
    return {XfconfQuery,
            {QStringLiteral("-c"), QStringLiteral("xfce4-desktop"), QStringLiteral("-l")},
            false};
}

QList<ToolCommand> xfceWallpaperCommands(const QString& propertyList, const QString& path,
                                         WallpaperStyle style)
{
    QStringList images;
    QStringList styles;
    for (const QString& line : propertyList.split(QLatin1Char('\n'), Qt::SkipEmptyParts)) {
        const QString property = line.trimmed();
        if (!property.startsWith(QLatin1String("/backdrop/")))
            continue;
        if (property.endsWith(QLatin1String("/last-image")))
            images << property;
        else if (property.endsWith(QLatin1String("/image-style")))
            styles << property;
    }
    const QString styleValue = xfceStyle(path, style);
    QList<ToolCommand> commands;
    if (images.isEmpty() && styles.isEmpty()) {
        // A desktop that never had a picture: make the first monitor's.
        const QString base = QStringLiteral("/backdrop/screen0/monitor0/workspace0/");
        if (!path.isEmpty())
            commands << xfconfSet(base + QLatin1String("last-image"), path,
                                  QStringLiteral("string"));
        commands << xfconfSet(base + QLatin1String("image-style"), styleValue,
                              QStringLiteral("int"));
        return commands;
    }
    if (!path.isEmpty())
        for (const QString& property : images)
            commands << xfconfSet(property, path);
    for (const QString& property : styles)
        commands << xfconfSet(property, styleValue);
    return commands;
}

QString plasmaScript(const QString& path, WallpaperStyle style)
{
    if (path.isEmpty())
        return QStringLiteral("var all = desktops();\n"
                              "for (var i = 0; i < all.length; i++) {\n"
                              "    all[i].wallpaperPlugin = \"org.kde.color\";\n"
                              "}\n");
    // Plasma's fill modes: 0 stretched, 3 tiled, 6 centred at its own size.
    const int fillMode =
        style == WallpaperStyle::Tile ? 3 : (style == WallpaperStyle::Stretch ? 0 : 6);
    return QStringLiteral(
               "var all = desktops();\n"
               "for (var i = 0; i < all.length; i++) {\n"
               "    var d = all[i];\n"
               "    d.wallpaperPlugin = \"org.kde.image\";\n"
               "    d.currentConfigGroup = [\"Wallpaper\", \"org.kde.image\", \"General\"];\n"
               "    d.writeConfig(\"Image\", %1);\n"
               "    d.writeConfig(\"FillMode\", %2);\n"
               "}\n")
        .arg(javaScriptString(fileUri(path)))
        .arg(fillMode);
}

QString swayFileWord(const QString& path)
{
    // Single quotes keep the expansion from touching the name, and double
    // quotes around them keep sway's split from cutting it at blanks. A
    // quote of either kind in the name leaves the single quotes for a
    // moment and comes escaped (sway passes an escaped double quote on).
    QString quoted = path;
    quoted.replace(QLatin1Char('\''), QLatin1String("'\\''"));
    quoted.replace(QLatin1Char('"'), QLatin1String("'\\\"'"));
    return QStringLiteral("\"'%1'\"").arg(quoted);
}

QString gvariantString(const QString& text)
{
    QString quoted = QStringLiteral("'");
    for (const QChar c : text) {
        if (c == QLatin1Char('\\') || c == QLatin1Char('\''))
            quoted += QLatin1Char('\\');
        quoted += c;
    }
    return quoted + QLatin1Char('\'');
}

QString javaScriptString(const QString& text)
{
    QString quoted = QStringLiteral("\"");
    for (const QChar c : text) {
        if (c == QLatin1Char('\\') || c == QLatin1Char('"'))
            quoted += QLatin1Char('\\') + QString(c);
        else if (c.unicode() < 0x20 || c.unicode() == 0x2028 || c.unicode() == 0x2029)
            quoted += QStringLiteral("\\u%1").arg(c.unicode(), 4, 16, QLatin1Char('0'));
        else
            quoted += c;
    }
    return quoted + QLatin1Char('"');
}

} // namespace snaplorn
