// In-process grab of the whole root window: the program's grabber through
// shared memory and through plain GetImage, beside a bare xcb_shm_get_image
// into one fixed segment (the floor any X11 grab can reach).
// Usage: bench_grab [RUNS]   (on an X display; prints median milliseconds)
#include "platform/X11Display.h"
#include "platform/X11ScreenGrabber.h"

#include <QElapsedTimer>
#include <QGuiApplication>

#include <xcb/shm.h>
#include <xcb/xcb.h>

#include <sys/ipc.h>
#include <sys/shm.h>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

namespace {

volatile quint32 g_sink = 0;

double medianMs(int runs, const std::function<bool()>& once)
{
    std::vector<double> times;
    once(); // warm-up: first-use costs are not the steady state
    for (int i = 0; i < runs; ++i) {
        QElapsedTimer timer;
        timer.start();
        if (!once())
            return -1;
        times.push_back(double(timer.nsecsElapsed()) / 1e6);
    }
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

// Reads every pixel once, as any use of a grab does (encoding, painting).
quint32 readAll(const void* data, size_t bytes)
{
    const auto* p = static_cast<const quint32*>(data);
    quint32 sum = 0;
    for (size_t i = 0; i < bytes / 4; ++i)
        sum += p[i];
    return sum;
}

double bareShm(xcb_connection_t* c, int runs, bool readPixels)
{
    xcb_screen_t* screen = xcb_setup_roots_iterator(xcb_get_setup(c)).data;
    const size_t size = size_t(screen->width_in_pixels) * screen->height_in_pixels * 4;
    const int id = shmget(IPC_PRIVATE, size, IPC_CREAT | 0600);
    void* address = shmat(id, nullptr, 0);
    const xcb_shm_seg_t seg = xcb_generate_id(c);
    free(xcb_request_check(c, xcb_shm_attach_checked(c, seg, id, 0)));
    shmctl(id, IPC_RMID, nullptr);
    const double ms = medianMs(runs, [&] {
        auto* reply = xcb_shm_get_image_reply(
            c,
            xcb_shm_get_image(c, screen->root, 0, 0, screen->width_in_pixels,
                              screen->height_in_pixels, ~0u, XCB_IMAGE_FORMAT_Z_PIXMAP, seg, 0),
            nullptr);
        const bool ok = reply != nullptr;
        free(reply);
        if (readPixels)
            g_sink += readAll(address, size);
        return ok;
    });
    xcb_shm_detach(c, seg);
    shmdt(address);
    return ms;
}

} // namespace

int main(int argc, char** argv)
{
    const int runs = argc > 1 ? std::max(1, atoi(argv[1])) : 30;
    qputenv("QT_QPA_PLATFORM", "xcb");
    QGuiApplication app(argc, argv);
    xcb_connection_t* c = snaplorn::qtX11Connection();
    if (!c) {
        fprintf(stderr, "bench_grab: needs an X11 display\n");
        return 1;
    }
    snaplorn::X11ScreenGrabber shared(c);
    snaplorn::X11ScreenGrabber plain(c, snaplorn::X11ScreenGrabber::Transport::PlainOnly);
    const QRect root = shared.desktopGeometry();
    // Each grab's picture is kept until the next one replaces it, as the
    // canvas keeps it.
    QImage kept;
    auto grabWith = [&kept](snaplorn::X11ScreenGrabber& grabber) {
        snaplorn::GrabResult result = grabber.grabDesktop();
        kept = result.image;
        return result.ok();
    };
    const double bare = bareShm(c, runs, false);
    const double bareRead = bareShm(c, runs, true);
    const double viaShm = medianMs(runs, [&] { return grabWith(shared); });
    const double viaPlain = medianMs(runs, [&] { return grabWith(plain); });
    printf("grab %dx%d, median of %d: bare xcb_shm_get_image %.2f ms (%.2f ms when its pixels "
           "are read once, as any use does) | Snaplorn SHM %.2f ms (%.2fx bare, %.2fx bare+read; "
           "shared memory %s) | Snaplorn plain GetImage %.2f ms\n",
           root.width(), root.height(), runs, bare, bareRead, viaShm, viaShm / bare,
           viaShm / bareRead, shared.usesSharedMemory() ? "used" : "NOT used", viaPlain);
    return 0;
}
