#include "platform/X11RootWallpaper.h"

#include "base/Texts.h"

#include <QImageReader>
#include <QtEndian>

#include <xcb/xcb.h>

#include <cstdlib>
#include <cstring>
#include <optional>
#include <vector>

namespace snaplorn {

namespace {

// A connection of its own: the pixmap it creates must survive the program,
// which a resource of Qt's connection would not.
class OwnConnection
{
public:
    explicit OwnConnection(const QByteArray& display)
    {
        m_connection = xcb_connect(display.isEmpty() ? nullptr : display.constData(), &m_number);
    }
    ~OwnConnection() { xcb_disconnect(m_connection); }
    OwnConnection(const OwnConnection&) = delete;
    OwnConnection& operator=(const OwnConnection&) = delete;

    bool ok() const { return m_connection && xcb_connection_has_error(m_connection) == 0; }
    xcb_connection_t* get() const { return m_connection; }
    xcb_screen_t* screen() const
    {
        auto roots = xcb_setup_roots_iterator(xcb_get_setup(m_connection));
        for (int i = 0; i < m_number && roots.rem; ++i)
            xcb_screen_next(&roots);
        return roots.data;
    }

private:
    xcb_connection_t* m_connection = nullptr;
    int m_number = 0;
};

// Returns the error code of a checked request, 0 when it succeeded.
int errorOf(xcb_connection_t* c, xcb_void_cookie_t cookie)
{
    xcb_generic_error_t* error = xcb_request_check(c, cookie);
    if (!error)
        return 0;
    const int code = error->error_code;
    std::free(error);
    return code;
}

xcb_atom_t atomNamed(xcb_connection_t* c, const char* name)
{
    xcb_intern_atom_reply_t* reply =
        xcb_intern_atom_reply(c, xcb_intern_atom(c, 0, uint16_t(std::strlen(name)), name), nullptr);
    const xcb_atom_t atom = reply ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
    std::free(reply);
    return atom;
}

std::optional<xcb_pixmap_t> pixmapProperty(xcb_connection_t* c, xcb_window_t root,
                                           xcb_atom_t property)
{
    xcb_get_property_reply_t* reply = xcb_get_property_reply(
        c, xcb_get_property(c, 0, root, property, XCB_ATOM_PIXMAP, 0, 1), nullptr);
    std::optional<xcb_pixmap_t> pixmap;
    if (reply && reply->type == XCB_ATOM_PIXMAP && reply->format == 32 &&
        xcb_get_property_value_length(reply) == 4)
        pixmap = *static_cast<xcb_pixmap_t*>(xcb_get_property_value(reply));
    std::free(reply);
    return pixmap;
}

struct RootAtoms {
    xcb_atom_t xrootpmap;
    xcb_atom_t esetroot;
};

// A pixmap named by both properties was left by a program like this one in
// RETAIN_PERMANENT mode; freeing its owner frees it.
void freePreviousPixmap(xcb_connection_t* c, xcb_window_t root, const RootAtoms& atoms,
                        xcb_pixmap_t keep)
{
    const auto current = pixmapProperty(c, root, atoms.xrootpmap);
    const auto esetroot = pixmapProperty(c, root, atoms.esetroot);
    if (current && esetroot && *current == *esetroot && *current != keep)
        errorOf(c, xcb_kill_client_checked(c, *current)); // gone already: nothing to free
}

// The screen must take 32-bit pixels laid out as 0x00RRGGBB, as Qt's RGB32.
bool screenTakesRgb32(xcb_connection_t* c, const xcb_screen_t* screen)
{
    const xcb_setup_t* setup = xcb_get_setup(c);
    bool bits32 = false;
    for (auto formats = xcb_setup_pixmap_formats_iterator(setup); formats.rem;
         xcb_format_next(&formats))
        if (formats.data->depth == screen->root_depth)
            bits32 = formats.data->bits_per_pixel == 32;
    if (!bits32)
        return false;
    for (auto depths = xcb_screen_allowed_depths_iterator(screen); depths.rem;
         xcb_depth_next(&depths))
        for (auto visuals = xcb_depth_visuals_iterator(depths.data); visuals.rem;
             xcb_visualtype_next(&visuals))
            if (visuals.data->visual_id == screen->root_visual)
                return visuals.data->red_mask == 0xff0000 && visuals.data->green_mask == 0xff00 &&
                       visuals.data->blue_mask == 0xff;
    return false;
}

int bitsPerPixel(xcb_connection_t* c, const xcb_screen_t* screen)
{
    for (auto formats = xcb_setup_pixmap_formats_iterator(xcb_get_setup(c)); formats.rem;
         xcb_format_next(&formats))
        if (formats.data->depth == screen->root_depth)
            return formats.data->bits_per_pixel;
    return screen->root_depth;
}

// The server's byte order for pixels in image requests.
QImage inServerByteOrder(xcb_connection_t* c, QImage image)
{
    const bool serverLittle = xcb_get_setup(c)->image_byte_order == XCB_IMAGE_ORDER_LSB_FIRST;
    if (serverLittle == (Q_BYTE_ORDER == Q_LITTLE_ENDIAN))
        return image;
    for (int y = 0; y < image.height(); ++y) {
        auto* line = reinterpret_cast<quint32*>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x)
            line[x] = qbswap(line[x]);
    }
    return image;
}

// Uploads the picture into the pixmap in strips that each fit one request
// (the largest request is 16 MB even with BIG-REQUESTS).
int putImageInStrips(xcb_connection_t* c, xcb_pixmap_t pixmap, uint8_t depth, const QImage& image)
{
    const xcb_gcontext_t gc = xcb_generate_id(c);
    int error = errorOf(c, xcb_create_gc_checked(c, gc, pixmap, 0, nullptr));
    if (error)
        return error;
    const qsizetype maxBytes = qsizetype(xcb_get_maximum_request_length(c)) * 4 - 64;
    const qsizetype lineBytes = image.bytesPerLine();
    const int rowsPerStrip = int(std::max<qsizetype>(1, maxBytes / lineBytes));
    for (int y = 0; y < image.height() && !error; y += rowsPerStrip) {
        const int rows = std::min(rowsPerStrip, image.height() - y);
        error = errorOf(c, xcb_put_image_checked(c, XCB_IMAGE_FORMAT_Z_PIXMAP, pixmap, gc,
                                                 uint16_t(image.width()), uint16_t(rows), 0,
                                                 int16_t(y), 0, depth, uint32_t(lineBytes * rows),
                                                 image.constScanLine(y)));
    }
    xcb_free_gc(c, gc);
    return error;
}

Result noDisplay(const QByteArray& displayName)
{
    const QByteArray name = displayName.isEmpty() ? qgetenv("DISPLAY") : displayName;
    return Result::failure(
        QString::fromUtf8(texts::WallpaperNoDisplay).arg(QString::fromLocal8Bit(name)));
}

Result serverError(int code)
{
    return Result::failure(QString::fromUtf8(texts::WallpaperServerError).arg(code));
}

} // namespace

Result X11RootWallpaper::set(const QString& pictureFile, WallpaperStyle style)
{
    // The picture is the program's own bitmap, written just before.
    QImageReader reader(pictureFile);
    const QImage picture = reader.read().convertToFormat(QImage::Format_RGB32);
    if (picture.isNull())
        return Result::failure(
            QString::fromUtf8(texts::WallpaperPictureUnreadable).arg(pictureFile));
    OwnConnection connection(m_displayName);
    if (!connection.ok())
        return noDisplay(m_displayName);
    xcb_connection_t* c = connection.get();
    xcb_screen_t* screen = connection.screen();
    if (!screenTakesRgb32(c, screen))
        return Result::failure(
            QString::fromUtf8(texts::WallpaperDepthUnsupported).arg(bitsPerPixel(c, screen)));
    const QSize size(screen->width_in_pixels, screen->height_in_pixels);
    const QImage desktop = composeDesktopImage(picture, size, style);
    if (desktop.isNull())
        return Result::failure(
            QString::fromUtf8(texts::WallpaperTooLarge).arg(size.width()).arg(size.height()));

    const xcb_pixmap_t pixmap = xcb_generate_id(c);
    int error =
        errorOf(c, xcb_create_pixmap_checked(c, screen->root_depth, pixmap, screen->root,
                                             uint16_t(size.width()), uint16_t(size.height())));
    if (!error)
        error = putImageInStrips(c, pixmap, screen->root_depth, inServerByteOrder(c, desktop));
    if (error)
        return serverError(error);

    const RootAtoms atoms{atomNamed(c, "_XROOTPMAP_ID"), atomNamed(c, "ESETROOT_PMAP_ID")};
    error = errorOf(
        c, xcb_change_window_attributes_checked(c, screen->root, XCB_CW_BACK_PIXMAP, &pixmap));
    if (error)
        return serverError(error);
    xcb_clear_area(c, 0, screen->root, 0, 0, 0, 0);
    freePreviousPixmap(c, screen->root, atoms, pixmap);
    for (const xcb_atom_t atom : {atoms.xrootpmap, atoms.esetroot})
        xcb_change_property(c, XCB_PROP_MODE_REPLACE, screen->root, atom, XCB_ATOM_PIXMAP, 32, 1,
                            &pixmap);
    // The pixmap stays on the server after this connection closes.
    error = errorOf(c, xcb_set_close_down_mode_checked(c, XCB_CLOSE_DOWN_RETAIN_PERMANENT));
    return error ? serverError(error) : Result::success();
}

Result X11RootWallpaper::remove()
{
    OwnConnection connection(m_displayName);
    if (!connection.ok())
        return noDisplay(m_displayName);
    xcb_connection_t* c = connection.get();
    xcb_screen_t* screen = connection.screen();
    const RootAtoms atoms{atomNamed(c, "_XROOTPMAP_ID"), atomNamed(c, "ESETROOT_PMAP_ID")};
    const uint32_t black = screen->black_pixel;
    const int error = errorOf(
        c, xcb_change_window_attributes_checked(c, screen->root, XCB_CW_BACK_PIXEL, &black));
    if (error)
        return serverError(error);
    xcb_clear_area(c, 0, screen->root, 0, 0, 0, 0);
    freePreviousPixmap(c, screen->root, atoms, XCB_PIXMAP_NONE);
    xcb_delete_property(c, screen->root, atoms.xrootpmap);
    xcb_delete_property(c, screen->root, atoms.esetroot);
    // A round trip, so every request has reached the server before closing.
    std::free(xcb_get_input_focus_reply(c, xcb_get_input_focus(c), nullptr));
    return Result::success();
}

} // namespace snaplorn
