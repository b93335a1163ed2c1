#pragma once
#include <QImage>

#include <condition_variable>
#include <mutex>
#include <optional>
#include <thread>
#include <vector>

namespace snaplorn {

// A private copy of a large picture, made ahead of time on a worker thread.
// The document's pictures share their pixels while they are equal, so the
// first write into the canvas after an operation would otherwise copy the
// whole picture (and fault in fresh memory for it) while the user waits, at
// the first move of a drag. With a spare ready, that write just takes the
// spare, which has the same pixels and attributes as the copy a detach would
// make. Pictures no longer used by anyone are handed back so their memory
// takes the next copy, or is released on the worker.
class SpareCopy
{
public:
    // Smaller pictures are copied in well under a millisecond: no spare.
    static constexpr qsizetype MinimumBytes = 1 << 20;

    SpareCopy();
    ~SpareCopy(); // waits for a copy under way
    SpareCopy(const SpareCopy&) = delete;
    SpareCopy& operator=(const SpareCopy&) = delete;

    // Starts copying the picture on the worker, unless a copy of it is
    // ready or under way. Any older spare is reused for it or released.
    void prepare(const QImage& picture);
    // A picture its holder dropped: kept (its memory takes the next copy)
    // when nobody else holds it, else simply let go.
    void recycle(QImage unused);
    // The prepared copy of the picture, waiting for it when it is still
    // being made; a null image when none was prepared for this picture (or
    // the picture has changed since).
    QImage take(const QImage& picture);

    // For tests: whether a copy of the picture is ready or under way.
    bool preparedFor(const QImage& picture);

private:
    struct Request {
        qint64 key = 0;
        QImage source;
        QImage target; // memory to copy into, when it fits
    };
    // Memory to fault in for the next copy.
    struct Stock {
        QSize size;
        QImage::Format format;
        qsizetype bytesPerLine;
    };
    void run();
    void startWorker();
    // Moves a picture that will not be used onto the worker's release list.
    void discardLocked(QImage picture);

    std::mutex m_mutex;
    std::condition_variable m_changed;
    std::thread m_worker;
    bool m_stop = false;
    std::optional<Request> m_queued; // waiting for the worker
    qint64 m_busyKey = 0;            // the picture the worker copies now
    QImage m_ready;                  // the finished copy ...
    qint64 m_readyKey = 0;           // ... of this picture
    QImage m_pool;                   // unused memory for the next copy
    std::optional<Stock> m_stock;    // memory the worker is to fault in
    std::vector<QImage> m_release;   // released on the worker
};

} // namespace snaplorn
