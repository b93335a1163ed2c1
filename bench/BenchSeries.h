#pragma once
// What the capture-series benchmarks share: the real main window set up for
// auto capture, and a marker window.
#include "capture/CaptureController.h"
#include "mainwindow/BroadcastNotice.h"
#include "mainwindow/frmViewImage.h"
#include "output/OutputCommands.h"
#include "platform/MessageService.h"
#include "platform/PlatformServices.h"
#include "platform/ScriptedMessageService.h"
#include "platform/standins/ScriptedDialogService.h"
#include "settings/Registry.h"
#include "tools/Toolbox.h"

// A small frameless window of the benchmarks whose colour changes on demand
// (after each save of a capture series), so that every capture differs and
// each file can be told apart by the colour at (160, 120) of the screen.
#include <QPainter>
#include <QWidget>

class BenchMarker : public QWidget
{
public:
    BenchMarker()
        : QWidget(nullptr, Qt::Window | Qt::FramelessWindowHint | Qt::X11BypassWindowManagerHint)
    {
        setGeometry(40, 40, 240, 160);
    }
    void next()
    {
        ++m_step;
        repaint();
    }
    static QRgb colour(int step) { return qRgb((step * 37) % 256, (step * 91) % 256, 128); }

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter(this).fillRect(rect(), QColor(colour(m_step)));
    }

private:
    int m_step = 1;
};

// The real main window with the real X11 services, messages and dialogs
// answered by stand-ins, its auto capture set to `images` pictures every
// 0.2 s into `folder`; shown, with a marker window beside it.
struct SeriesWindow {
    snaplorn::PlatformServices services;
    snaplorn::Registry registry;
    frmViewImage window;
    BenchMarker marker;

    static snaplorn::PlatformServices seriesServices()
    {
        snaplorn::PlatformServices services = snaplorn::createPlatformServices();
        services.messages = std::make_unique<snaplorn::ScriptedMessageService>();
        services.dialogs = std::make_unique<snaplorn::ScriptedDialogService>();
        return services;
    }
    SeriesWindow(const QString& folder, int images)
        : services(seriesServices()), registry(folder + QStringLiteral("/bench.conf")),
          window(services, registry, QString())
    {
        window.settings().HotKeyPresent = 0;
        window.settings().AutoFolder = folder;
        window.settings().AutoInterval = 0.2f;
        window.settings().AutoImagesNum = qint16(images);
        window.show();
        marker.show();
    }
};
