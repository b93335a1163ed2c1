#pragma once
#include "platform/Printer.h"

#include <QList>

namespace snaplorn {

// Stand-in for tests: records each printed picture and its place on the
// paper, and fails with `failure` when it is set. It has no printer
// settings of its own: the scripted printer dialog needs none.
class FakePrinter : public Printer
{
public:
    struct Job {
        QImage image;
        QRectF inches;
    };

    QPrinter* settings() override { return nullptr; }
    Result printImage(const QImage& image, const QRectF& inches) override
    {
        if (!failure.isEmpty())
            return Result::failure(failure);
        jobs.append({image, inches});
        return Result::success();
    }

    QList<Job> jobs;
    QString failure;
};

} // namespace snaplorn
