#pragma once
#include "base/Result.h"

#include <QImage>
#include <QObject>
#include <QString>

namespace snaplorn {

// The desktop clipboard: pictures and text.
class Clipboard : public QObject
{
    Q_OBJECT
public:
    using QObject::QObject;
    virtual Result setImage(const QImage& image) = 0;
    virtual bool hasImage() = 0;
    virtual QImage image() = 0; // null when the clipboard holds no picture
    virtual void setText(const QString& text) = 0;
    virtual void clear() = 0;
    // Called once as the program ends, while the application object still
    // exists: keeps a picture this program put on the clipboard available
    // to other programs after it has gone.
    virtual void persistOnExit() {}

signals:
    void changed();
};

} // namespace snaplorn
