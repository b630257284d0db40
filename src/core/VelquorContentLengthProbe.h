#pragma once

#include <QList>
#include <QString>
#include <QStringList>

#include <atomic>
#include <functional>

// Measures the size of package files with HTTP HEAD requests before they are downloaded. Every
// request goes to the network (no cache), asks for the identity encoding, so the length is that of
// the file itself, and ends after the time-out at the latest.
//
// The requests run on the calling thread, on a QNetworkAccessManager of their own and a local event
// loop: a worker queue may wait for them without any other thread taking part.
class VelquorContentLengthProbe
{
public:
    static constexpr int DefaultTimeoutMs = 120 * 1000;

    struct Answer
    {
        bool ok = false;           // status 200 with a positive Content-Length
        quint64 contentLength = 0; // the length when ok
        int httpStatus = 0;        // 0 when no answer arrived
        QString message;           // why it failed
    };

    explicit VelquorContentLengthProbe(int timeoutMs = DefaultTimeoutMs) : m_timeoutMs(timeoutMs) {}

    int timeout() const { return m_timeoutMs; }
    void setTimeout(int milliseconds) { m_timeoutMs = milliseconds; }

    // Sends one HEAD per URL, all at once, and returns when every one has ended: the answers in the
    // order of the URLs. `cancelled` is asked now and then; once it holds, the requests still open
    // end as failures.
    QList<Answer> contentLengths(const QStringList &urls, const std::function<bool()> &cancelled = {}) const;

private:
    std::atomic<int> m_timeoutMs;
};
