#include "document/SpareCopy.h"

#include <QColorSpace>

#include <cstdlib>
#include <cstring>
#include <utility>

#include <sys/mman.h>

namespace snaplorn {

namespace {

// Whether `target` can take a copy of `source` that is indistinguishable from
// the one QImage::copy makes: same size and format, 32-bit pixels with rows
// packed as a fresh picture's are, nobody else holding the target, and no
// text key the source lacks (a key once set cannot be removed again).
bool fits(const QImage& target, const QImage& source)
{
    if (target.isNull() || !target.isDetached() || target.size() != source.size() ||
        target.format() != source.format() || source.depth() != 32 ||
        source.bytesPerLine() != qsizetype(source.width()) * 4 ||
        target.bytesPerLine() != source.bytesPerLine())
        return false;
    const QStringList keys = source.textKeys();
    for (const QString& key : target.textKeys())
        if (!keys.contains(key))
            return false;
    return true;
}

// A picture like `source` (its pixels not yet set) in memory of its own,
// backed by huge pages where the system offers them: faulting in a fresh
// picture page by page costs more than copying it, and the copy's memory is
// reused for later copies. A null image when memory runs out.
QImage freshPicture(QSize size, QImage::Format format, qsizetype bytesPerLine)
{
    constexpr size_t HugePage = size_t(2) << 20;
    const size_t used = size_t(bytesPerLine) * size_t(size.height());
    const size_t bytes = (used + HugePage - 1) / HugePage * HugePage;
    void* memory = bytes ? std::aligned_alloc(HugePage, bytes) : nullptr;
    if (!memory)
        return QImage();
    madvise(memory, bytes, MADV_HUGEPAGE); // a hint: without it, ordinary pages
    return QImage(static_cast<uchar*>(memory), size.width(), size.height(), bytesPerLine, format,
                  [](void* p) { std::free(p); }, memory);
}

// The copy a detach of `source` would make, written into `target` when it
// fits (its memory is already faulted in), else into new memory.
QImage copyOf(const QImage& source, QImage target)
{
    if (!fits(target, source)) {
        target = freshPicture(source.size(), source.format(), source.bytesPerLine());
        if (!fits(target, source)) // rows not packed, or no memory
            return source.copy();
    }
    std::memcpy(target.bits(), source.constBits(), size_t(source.sizeInBytes()));
    // The attributes QImage::copy carries over.
    target.setDotsPerMeterX(source.dotsPerMeterX());
    target.setDotsPerMeterY(source.dotsPerMeterY());
    target.setOffset(source.offset());
    target.setDevicePixelRatio(source.devicePixelRatio());
    target.setColorSpace(source.colorSpace());
    for (const QString& key : source.textKeys())
        target.setText(key, source.text(key));
    return target;
}

} // namespace

SpareCopy::SpareCopy() = default;

SpareCopy::~SpareCopy()
{
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_stop = true;
    }
    m_changed.notify_all();
    if (m_worker.joinable())
        m_worker.join();
}

void SpareCopy::startWorker()
{
    if (!m_worker.joinable())
        m_worker = std::thread([this] { run(); });
}

void SpareCopy::discardLocked(QImage picture)
{
    if (!picture.isNull())
        m_release.push_back(std::move(picture));
}

void SpareCopy::prepare(const QImage& picture)
{
    if (picture.isNull() || picture.sizeInBytes() < MinimumBytes)
        return;
    const qint64 key = picture.cacheKey();
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        if ((!m_ready.isNull() && m_readyKey == key) || m_busyKey == key ||
            (m_queued && m_queued->key == key))
            return;
        if (m_queued) // superseded before it started
            discardLocked(std::exchange(m_queued->source, QImage()));
        m_queued = Request{key, picture, QImage()};
        startWorker();
    }
    m_changed.notify_all();
}

void SpareCopy::recycle(QImage unused)
{
    if (unused.isNull() || !unused.isDetached() || unused.sizeInBytes() < MinimumBytes)
        return;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        discardLocked(std::exchange(m_pool, std::move(unused)));
        if (m_release.empty())
            return;
        startWorker();
    }
    m_changed.notify_all();
}

QImage SpareCopy::take(const QImage& picture)
{
    if (picture.isNull())
        return QImage();
    const qint64 key = picture.cacheKey();
    std::unique_lock<std::mutex> lock(m_mutex);
    m_changed.wait(lock, [&] { return m_busyKey != key && !(m_queued && m_queued->key == key); });
    if (m_ready.isNull() || m_readyKey != key)
        return QImage();
    m_readyKey = 0;
    QImage spare = std::exchange(m_ready, QImage());
    // The next copy needs memory of its own too: unless a dropped picture
    // brings it, it is faulted in now, while the user draws.
    if (m_pool.isNull()) {
        m_stock = Stock{spare.size(), spare.format(), spare.bytesPerLine()};
        lock.unlock();
        m_changed.notify_all();
    }
    return spare;
}

bool SpareCopy::preparedFor(const QImage& picture)
{
    if (picture.isNull())
        return false;
    const qint64 key = picture.cacheKey();
    std::lock_guard<std::mutex> lock(m_mutex);
    return (!m_ready.isNull() && m_readyKey == key) || m_busyKey == key ||
           (m_queued && m_queued->key == key);
}

void SpareCopy::run()
{
    std::unique_lock<std::mutex> lock(m_mutex);
    for (;;) {
        m_changed.wait(lock,
                       [this] { return m_stop || m_queued || m_stock || !m_release.empty(); });
        if (m_stop)
            return;
        if (m_queued) { // first, as a press may be waiting for it
            Request request = std::move(*m_queued);
            m_queued.reset();
            m_busyKey = request.key;
            // A stale spare or a recycled picture takes the copy when it
            // fits; whatever does not fit is released.
            if (!m_ready.isNull()) {
                m_readyKey = 0;
                request.target = std::exchange(m_ready, QImage());
            }
            if (!fits(request.target, request.source))
                std::swap(request.target, m_pool);
            discardLocked(std::exchange(m_pool, QImage()));
            lock.unlock();
            QImage copy = copyOf(request.source, std::move(request.target));
            request = Request(); // the source and an unfit target go here too
            lock.lock();
            if (!copy.isNull()) { // null when memory ran out: no spare then
                m_ready = std::move(copy);
                m_readyKey = m_busyKey;
            }
            m_busyKey = 0;
        } else {
            std::vector<QImage> release = std::exchange(m_release, {});
            const std::optional<Stock> stock = std::exchange(m_stock, std::nullopt);
            lock.unlock();
            release.clear(); // frees the memory here, not on the caller's thread
            QImage stocked;
            if (stock) {
                stocked = freshPicture(stock->size, stock->format, stock->bytesPerLine);
                if (!stocked.isNull())
                    std::memset(stocked.bits(), 0, size_t(stocked.sizeInBytes()));
            }
            lock.lock();
            if (m_pool.isNull())
                m_pool = std::move(stocked);
            else
                discardLocked(std::move(stocked));
        }
        lock.unlock();
        m_changed.notify_all();
        lock.lock();
    }
}

} // namespace snaplorn
