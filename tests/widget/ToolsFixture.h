#pragma once
// The main window with stand-ins and a picture on the canvas, and the mouse
// moves of the canvas tools, for the toolbox tests.
#include "TestSupport.h"

#include "capture/CaptureController.h"
#include "document/ImageDocument.h"
#include "mainwindow/BroadcastNotice.h"
#include "mainwindow/frmViewImage.h"
#include "output/OutputCommands.h"
#include "platform/standins/FakeClipboard.h"
#include "settings/Registry.h"
#include "tools/Toolbox.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>

#include <memory>

namespace snaplorn::test {

class ToolsFixture
{
public:
    ToolsFixture()
    {
        standIns = makeStandIns();
        auto fake = std::make_unique<FakeClipboard>();
        clipboard = fake.get();
        standIns.services.clipboard = std::move(fake);
        registry = std::make_unique<Registry>(scratchFolder() + "/tools.conf");
        window = std::make_unique<frmViewImage>(standIns.services, *registry, QString());
        window->show();
        window->activateWindow();
        if (!QTest::qWaitForWindowActive(window.get()))
            qWarning("the main window did not become active");
    }

    frmViewImage& w() { return *window; }
    ImageDocument& doc() { return window->document(); }
    QWidget* canvas() { return window->findChild<QWidget*>("picSelImage"); }
    QWidget* paste() { return window->findChild<QWidget*>("picPaste"); }
    QAction* action(const char* name) { return window->command(QLatin1String(name)); }
    bool enabled(const char* name) { return action(name)->isEnabled(); }

    // A picture on the canvas, committed, as a load leaves it.
    QImage setImage(const QImage& image)
    {
        doc().setCanvas(image);
        doc().CommitCanvas();
        QCoreApplication::processEvents();
        return doc().canvas();
    }
    QImage setWhite(int width, int height)
    {
        QImage image(width, height, QImage::Format_RGB32);
        image.fill(Qt::white);
        return setImage(image);
    }

    void chooseTool(int tool)
    {
        QTest::mouseClick(window->toolbox().OptTool(tool), Qt::LeftButton);
        QCOMPARE(window->toolbox().tool(), qint16(tool));
    }
    void chooseWidth(int width)
    {
        QWidget* picker = window->findChild<QWidget*>("picPenSize");
        const int y = width == 1 ? 10 : width == 4 ? 30 : 50;
        QTest::mouseClick(picker, Qt::LeftButton, {}, QPoint(30, y));
        QCOMPARE(window->toolbox().penWidth(), qint16(width));
    }
    void chooseColour(QRgb colour)
    {
        standIns.dialogs->colorAnswers.append(QColor(colour));
        QTest::mouseClick(window->findChild<QWidget*>("cmdColor"), Qt::LeftButton);
    }

    // A left-button drag on the canvas through the given points (canvas
    // pixels; the canvas is not scrolled in these tests).
    void drag(const QList<QPoint>& points)
    {
        QTest::mousePress(canvas(), Qt::LeftButton, {}, points.first());
        for (int i = 1; i < points.size(); ++i)
            QTest::mouseMove(canvas(), points[i]);
        QTest::mouseRelease(canvas(), Qt::LeftButton, {}, points.last());
        QCoreApplication::processEvents();
    }
    void drag(QPoint from, QPoint to) { drag({from, (from + to) / 2, to}); }

    // A move with no button held, for the read-outs.
    void hover(QPoint at)
    {
        QMouseEvent move(QEvent::MouseMove, QPointF(at), canvas()->mapToGlobal(QPointF(at)),
                         Qt::NoButton, Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(canvas(), &move);
    }

    // What the canvas shows on screen, previews included.
    QImage onScreen()
    {
        QCoreApplication::processEvents();
        return canvas()->grab().toImage().convertToFormat(QImage::Format_RGB32);
    }

    StandIns standIns;
    FakeClipboard* clipboard = nullptr;
    std::unique_ptr<Registry> registry;
    std::unique_ptr<frmViewImage> window;
};

// Pixels that differ between two pictures of the same size.
inline int differingPixels(const QImage& a, const QImage& b)
{
    if (a.size() != b.size())
        return -1;
    int count = 0;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x)
            if (a.pixel(x, y) != b.pixel(x, y))
                ++count;
    return count;
}

inline QImage whiteImage(int width, int height)
{
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(Qt::white);
    return image;
}

} // namespace snaplorn::test
