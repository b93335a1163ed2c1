#pragma once
// Shared helpers of the fuzz targets: a tiny splitter that turns the fuzzer's
// bytes into the structured input a target needs, the application object the
// real program has, a scratch folder, and the check that stops a run when an
// invariant breaks. Plain C++ and Qt, so the targets build with gcc as well.
#include <QByteArray>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QString>
#include <QTemporaryDir>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>

namespace snaplorn::fuzz {

// Reads the fuzzer's bytes front to back. Every read succeeds: past the end
// numbers are 0 and fields are empty, so any input is a valid input.
class FuzzInput
{
public:
    FuzzInput(const uint8_t* data, size_t size) : m_data(data), m_size(size) {}

    bool atEnd() const { return m_pos >= m_size; }
    size_t remaining() const { return m_size - m_pos; }

    uint8_t byte() { return atEnd() ? 0 : m_data[m_pos++]; }
    uint16_t u16()
    {
        const uint16_t low = byte();
        return uint16_t(low | (byte() << 8));
    }
    // A number from lo to hi (inclusive), from one or two bytes.
    int inRange(int lo, int hi)
    {
        const unsigned span = unsigned(hi - lo) + 1;
        const unsigned raw = span > 256 ? u16() : byte();
        return lo + int(raw % span);
    }
    bool flag() { return byte() & 1; }

    // The bytes up to the next NUL (which is consumed) or the end.
    QByteArray field()
    {
        const size_t start = m_pos;
        while (m_pos < m_size && m_data[m_pos] != 0)
            ++m_pos;
        QByteArray out(reinterpret_cast<const char*>(m_data + start), qsizetype(m_pos - start));
        if (m_pos < m_size)
            ++m_pos;
        return out;
    }
    QString textField() { return QString::fromUtf8(field()); }
    // At most n bytes.
    QByteArray take(size_t n)
    {
        n = std::min(n, remaining());
        QByteArray out(reinterpret_cast<const char*>(m_data + m_pos), qsizetype(n));
        m_pos += n;
        return out;
    }
    QByteArray rest() { return take(remaining()); }

private:
    const uint8_t* m_data;
    size_t m_size;
    size_t m_pos = 0;
};

// Stops the run with a message: the fuzzer keeps the input as a crash.
[[noreturn]] inline void fail(const char* what, const QString& detail = QString())
{
    std::fprintf(stderr, "fuzz invariant broken: %s %s\n", what, detail.toLocal8Bit().constData());
    std::fflush(stderr);
    std::abort();
}

inline void require(bool condition, const char* what, const QString& detail = QString())
{
    if (!condition)
        fail(what, detail);
}

// The program runs its picture code under a QGuiApplication (image plugins,
// fonts of scalable pictures) and its settings code under at least a
// QCoreApplication; the targets do the same. The object is made on the first
// input and, as in the program, destroyed on the way out, which also hands
// back what the font configuration library holds.
inline void startApplication(bool gui)
{
    static int argc = 1;
    static char name[] = "snaplorn-fuzz";
    static char* argv[] = {name, nullptr};
    if (gui && qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    static const std::unique_ptr<QCoreApplication> app(gui ? new QGuiApplication(argc, argv)
                                                           : new QCoreApplication(argc, argv));
}

// A folder of this process for the files a target writes, removed at exit.
inline const QString& scratchFolder()
{
    static QTemporaryDir dir(QDir::tempPath() + QStringLiteral("/snaplorn-fuzz-XXXXXX"));
    if (!dir.isValid())
        fail("cannot create a scratch folder", dir.errorString());
    static const QString path = dir.path();
    return path;
}

// The whole content of a file; empty when it cannot be read.
inline QByteArray readAll(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// Writes a scratch file of the target; a failure stops the run.
inline void writeAll(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate) || f.write(bytes) != bytes.size())
        fail("cannot write a scratch file", f.errorString());
}

} // namespace snaplorn::fuzz
