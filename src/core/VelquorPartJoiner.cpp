#include "VelquorPartJoiner.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

namespace {
constexpr qint64 CopyChunk = 1024 * 1024;

void setError(QString *error, const QString &text)
{
    if (error)
        *error = text;
}

bool writeAll(int fd, const char *data, qint64 size)
{
    while (size > 0) {
        const ssize_t written = ::write(fd, data, size_t(size));
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0)
            return false;
        data += written;
        size -= written;
    }
    return true;
}

// Appends the whole input to the output. The kernel copies the bytes itself where it can
// (copy_file_range); otherwise they go through a buffer. Answers an error text, empty on success.
QString appendFile(int input, int output, qint64 size, QByteArray &buffer, bool &kernelCopy)
{
    qint64 left = size;
    while (kernelCopy && left > 0) {
        const ssize_t copied = ::copy_file_range(input, nullptr, output, nullptr, size_t(left), 0);
        if (copied > 0) {
            left -= copied;
            continue;
        }
        if (copied < 0 && errno == EINTR)
            continue;
        if (copied == 0)
            return QStringLiteral("The part is shorter than it was");
        if (errno != ENOSYS && errno != EXDEV && errno != EINVAL && errno != EOPNOTSUPP && errno != EBADF)
            return QString::fromLocal8Bit(strerror(errno));
        kernelCopy = false; // not here: copy through the buffer from where the kernel stopped
    }
    while (true) {
        const ssize_t read = ::read(input, buffer.data(), size_t(buffer.size()));
        if (read < 0 && errno == EINTR)
            continue;
        if (read < 0)
            return QString::fromLocal8Bit(strerror(errno));
        if (read == 0)
            return {};
        if (!writeAll(output, buffer.constData(), read))
            return QString::fromLocal8Bit(strerror(errno));
    }
}
} // namespace

bool VelquorPartJoiner::join(const QStringList &partPaths, const QString &outputPath, QString *error)
{
    if (partPaths.isEmpty()) {
        setError(error, QStringLiteral("No parts to join"));
        return false;
    }
    for (const QString &path : partPaths) {
        if (!QFileInfo(path).isFile()) {
            setError(error, QStringLiteral("Missing part %1").arg(path));
            return false;
        }
    }
    QDir().mkpath(QFileInfo(outputPath).absolutePath());
    QSaveFile output(outputPath);
    if (!output.open(QIODevice::WriteOnly)) {
        setError(error, output.errorString());
        return false;
    }
    // The bytes go to the save file's descriptor directly; QSaveFile only makes the result atomic.
    QByteArray buffer(CopyChunk, Qt::Uninitialized);
    bool kernelCopy = true;
    for (const QString &path : partPaths) {
        QFile part(path);
        if (!part.open(QIODevice::ReadOnly | QIODevice::Unbuffered)) {
            setError(error, QStringLiteral("Cannot read part %1: %2").arg(path, part.errorString()));
            output.cancelWriting();
            return false;
        }
        const QString failure = appendFile(part.handle(), output.handle(), part.size(), buffer, kernelCopy);
        if (!failure.isEmpty()) {
            setError(error, QStringLiteral("Cannot join part %1: %2").arg(path, failure));
            output.cancelWriting();
            return false;
        }
    }
    if (!output.commit()) {
        setError(error, output.errorString());
        return false;
    }
    return true;
}

bool VelquorPartJoiner::naturalLess(const QString &a, const QString &b)
{
    qsizetype i = 0;
    qsizetype j = 0;
    while (i < a.size() && j < b.size()) {
        if (a[i].isDigit() && b[j].isDigit()) {
            qsizetype endA = i;
            qsizetype endB = j;
            while (endA < a.size() && a[endA].isDigit())
                ++endA;
            while (endB < b.size() && b[endB].isDigit())
                ++endB;
            // Compare the digit runs as numbers of any length: skip leading zeros, then length, then digits.
            qsizetype startA = i;
            qsizetype startB = j;
            while (startA + 1 < endA && a[startA] == u'0')
                ++startA;
            while (startB + 1 < endB && b[startB] == u'0')
                ++startB;
            const qsizetype lengthA = endA - startA;
            const qsizetype lengthB = endB - startB;
            if (lengthA != lengthB)
                return lengthA < lengthB;
            const int order = QStringView(a).mid(startA, lengthA).compare(QStringView(b).mid(startB, lengthB));
            if (order != 0)
                return order < 0;
            i = endA;
            j = endB;
            continue;
        }
        const QChar ca = a[i].toCaseFolded();
        const QChar cb = b[j].toCaseFolded();
        if (ca != cb)
            return ca < cb;
        ++i;
        ++j;
    }
    return (a.size() - i) < (b.size() - j);
}
