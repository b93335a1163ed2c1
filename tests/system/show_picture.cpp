// Shows a picture one to one in a window without a frame, for tests that
// capture a known window:  show_picture FILE
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QRasterWindow>

namespace {

class PictureWindow : public QRasterWindow
{
public:
    explicit PictureWindow(const QImage& picture) : m_picture(picture)
    {
        setFlags(Qt::Window | Qt::FramelessWindowHint);
        resize(picture.size());
    }

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter painter(this);
        painter.drawImage(0, 0, m_picture);
    }

private:
    QImage m_picture;
};

} // namespace

int main(int argc, char** argv)
{
    QGuiApplication app(argc, argv);
    if (argc != 2)
        return 64;
    const QImage picture(QString::fromLocal8Bit(argv[1]));
    if (picture.isNull())
        return 2;
    PictureWindow window(picture);
    window.show();
    return app.exec();
}
