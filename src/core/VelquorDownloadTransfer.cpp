#include "VelquorDownloadTransfer.h"

#include <QDir>
#include <QFileInfo>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QRegularExpression>

namespace {

constexpr qint64 ReadChunk = 256 * 1024;
constexpr qint64 ReplyBufferLimit = 1024 * 1024; // what Qt may hold before we write it out

// "bytes 100-199/1000" -> (100, 1000); "bytes */1000" -> (-1, 1000).
std::pair<qint64, qint64> parseContentRange(const QByteArray &value)
{
    static const QRegularExpression pattern(QStringLiteral(R"(^\s*bytes\s+(?:(\d+)-\d+|\*)/(\d+|\*)\s*$)"),
                                            QRegularExpression::CaseInsensitiveOption);
    const auto match = pattern.match(QString::fromLatin1(value));
    if (!match.hasMatch())
        return {-1, -1};
    const qint64 start = match.captured(1).isEmpty() ? -1 : match.captured(1).toLongLong();
    const qint64 total = match.captured(2) == QLatin1String("*") ? -1 : match.captured(2).toLongLong();
    return {start, total};
}

VelquorDownloadTransfer::Outcome makeOutcome(VelquorDownloadTransfer::Outcome::Kind kind, const QString &message,
                                             int status = 0)
{
    VelquorDownloadTransfer::Outcome outcome;
    outcome.kind = kind;
    outcome.message = message;
    outcome.httpStatus = status;
    return outcome;
}

} // namespace

VelquorDownloadTransfer::VelquorDownloadTransfer(QNetworkAccessManager *manager, const QString &url,
                                                 const QString &partialPath,
                                                 const std::optional<VelquorResumeData> &resume, qint64 expectedSize,
                                                 int timeoutMs, QObject *parent)
    : QObject(parent), m_manager(manager), m_url(url), m_partialPath(partialPath),
      m_expectedSize(std::max<qint64>(0, expectedSize)), m_file(partialPath), m_timeout(this), m_timeoutMs(timeoutMs)
{
    if (resume && resume->url == url) {
        m_etag = resume->etag;
        m_lastModified = resume->lastModified;
    }
    m_timeout.setSingleShot(true);
    connect(&m_timeout, &QTimer::timeout, this, [this] {
        // Activity only stamps a clock; the timer checks it when it fires (cheaper than restarting
        // a timer for every chunk).
        const qint64 quiet = m_lastActivity.elapsed();
        if (quiet < m_timeoutMs) {
            m_timeout.start(int(m_timeoutMs - quiet));
            return;
        }
        m_timedOut = true;
        if (m_reply)
            m_reply->abort();
    });
}

VelquorDownloadTransfer::~VelquorDownloadTransfer()
{
    onProgress = nullptr;
    onFinished = nullptr;
    stopReply();
}

qint64 VelquorDownloadTransfer::bytesOnDisk() const
{
    return m_file.isOpen() ? m_file.size() : QFileInfo(m_partialPath).size();
}

void VelquorDownloadTransfer::start()
{
    QDir().mkpath(QFileInfo(m_partialPath).absolutePath());
    if (!m_file.open(QIODevice::ReadWrite)) {
        finish(makeOutcome(Outcome::Kind::FileError, m_file.errorString()));
        return;
    }
    // The bytes on disk are what counts; a validator is needed so the server can tell whether the
    // file changed since. Bytes past the file's size came from a wrong answer: none of them is trusted.
    const qint64 offset = m_file.size();
    const QString validator = m_etag.isEmpty() ? m_lastModified : m_etag;
    const bool tooLong = m_expectedSize > 0 && offset > m_expectedSize;
    if (offset > 0 && !validator.isEmpty() && !tooLong) {
        sendRequest(offset, validator);
    } else {
        truncateTo(0);
        sendRequest(0, {});
    }
}

void VelquorDownloadTransfer::sendRequest(qint64 offset, const QString &validator)
{
    m_requestOffset = offset;
    m_expectedTotal = -1;
    m_headersChecked = false;
    m_timedOut = false;
    m_pendingOutcome.reset();

    QNetworkRequest request{QUrl(m_url)};
    request.setRawHeader("Accept-Encoding", "identity");
    request.setAttribute(QNetworkRequest::CacheLoadControlAttribute, QNetworkRequest::AlwaysNetwork);
    request.setAttribute(QNetworkRequest::CacheSaveControlAttribute, false);
    request.setTransferTimeout(0); // our own timer counts only while the request is on the wire
    if (offset > 0) {
        request.setRawHeader("Range", "bytes=" + QByteArray::number(offset) + '-');
        request.setRawHeader("If-Range", validator.toUtf8());
    }
    m_reply = m_manager->get(request);
    m_reply->setReadBufferSize(ReplyBufferLimit);
    connect(m_reply, &QNetworkReply::socketStartedConnecting, this, &VelquorDownloadTransfer::restartTimeout);
    connect(m_reply, &QNetworkReply::requestSent, this, &VelquorDownloadTransfer::restartTimeout);
    connect(m_reply, &QNetworkReply::metaDataChanged, this, &VelquorDownloadTransfer::restartTimeout);
    connect(m_reply, &QNetworkReply::readyRead, this, &VelquorDownloadTransfer::onReadyRead);
    connect(m_reply, &QNetworkReply::finished, this, &VelquorDownloadTransfer::onReplyFinished);
}

void VelquorDownloadTransfer::truncateTo(qint64 size)
{
    // Only when needed: truncating a file makes ext4 flush it whole when it is closed.
    const qint64 current = m_file.size();
    if (current == size)
        return;
    if (size == 0)
        m_startedOver = true;
    m_file.resize(size);
}

bool VelquorDownloadTransfer::disagreesWithExpectedSize(qint64 claimed) const
{
    return m_expectedSize > 0 && claimed >= 0 && claimed != m_expectedSize;
}

void VelquorDownloadTransfer::restartTimeout()
{
    m_lastActivity.start();
    if (m_timeoutMs > 0 && !m_timeout.isActive())
        m_timeout.start(m_timeoutMs);
}

bool VelquorDownloadTransfer::acceptHeaders()
{
    if (m_headersChecked)
        return !m_pendingOutcome;
    const int status = m_reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    if (status == 0)
        return false; // no answer yet
    m_headersChecked = true;

    const QByteArray etag = m_reply->rawHeader("ETag");
    // A weak ETag cannot validate a byte range.
    m_etag = etag.startsWith("W/") ? QString() : QString::fromLatin1(etag);
    m_lastModified = QString::fromLatin1(m_reply->rawHeader("Last-Modified"));

    const QVariant lengthHeader = m_reply->header(QNetworkRequest::ContentLengthHeader);
    const qint64 length = lengthHeader.isValid() ? lengthHeader.toLongLong() : -1;
    const auto wrongSize = [&](qint64 claimed) {
        m_pendingOutcome = makeOutcome(
            Outcome::Kind::WrongAnswer,
            QStringLiteral("The answer claims %1 bytes for a file of %2").arg(claimed).arg(m_expectedSize), status);
        return false;
    };
    if (status == 206) {
        const auto [start, total] = parseContentRange(m_reply->rawHeader("Content-Range"));
        if (start != m_requestOffset) {
            m_pendingOutcome = makeOutcome(Outcome::Kind::Failed, QStringLiteral("Unexpected range in answer"), status);
            return false;
        }
        if (disagreesWithExpectedSize(total))
            return wrongSize(total);
        if (length >= 0 && disagreesWithExpectedSize(m_requestOffset + length))
            return wrongSize(m_requestOffset + length);
        m_expectedTotal = total >= 0 ? total : (m_expectedSize > 0 ? m_expectedSize : -1);
        m_answerStart = m_requestOffset;
        truncateTo(m_requestOffset);
        m_file.seek(m_requestOffset);
        return true;
    }
    if (status == 200) {
        // A full answer: the file changed, or the server ignores ranges. Checked before the bytes
        // held are dropped for it.
        if (disagreesWithExpectedSize(length))
            return wrongSize(length);
        m_expectedTotal = length >= 0 ? length : (m_expectedSize > 0 ? m_expectedSize : -1);
        m_answerStart = 0;
        truncateTo(0);
        m_file.seek(0);
        return true;
    }
    if (status == 416) {
        const auto [start, total] = parseContentRange(m_reply->rawHeader("Content-Range"));
        if (disagreesWithExpectedSize(total))
            return wrongSize(total);
        if (total >= 0 && total == m_requestOffset)
            m_pendingOutcome = makeOutcome(Outcome::Kind::Finished, {}, status);
        else
            m_pendingOutcome = makeOutcome(Outcome::Kind::HttpError, QStringLiteral("Range not satisfiable"), status);
        return false;
    }
    // An error page is never written to the archive's file.
    m_pendingOutcome = makeOutcome(
        Outcome::Kind::HttpError,
        QStringLiteral("HTTP %1 %2")
            .arg(status)
            .arg(QString::fromLatin1(m_reply->attribute(QNetworkRequest::HttpReasonPhraseAttribute).toByteArray())),
        status);
    return false;
}

void VelquorDownloadTransfer::onReadyRead()
{
    if (!m_reply)
        return;
    restartTimeout();
    if (!acceptHeaders()) {
        if (m_pendingOutcome && m_pendingOutcome->kind == Outcome::Kind::WrongAnswer) {
            // Its body may never end: not another byte of it.
            m_reply->abort();
        } else if (m_pendingOutcome) {
            // The body of an answer we do not keep (an error page) is read and dropped, never written.
            m_reply->readAll();
        }
        return;
    }
    if (m_buffer.size() != ReadChunk)
        m_buffer.resize(ReadChunk);
    while (m_reply && m_reply->bytesAvailable() > 0) {
        const qint64 read = m_reply->read(m_buffer.data(), m_buffer.size());
        if (read <= 0)
            break;
        if (m_expectedSize > 0 && m_file.pos() + read > m_expectedSize) {
            // More bytes than the file has: the answer is not the file, and what it sent goes.
            truncateTo(m_answerStart);
            m_pendingOutcome =
                makeOutcome(Outcome::Kind::WrongAnswer,
                            QStringLiteral("The answer runs past the file's %1 bytes").arg(m_expectedSize),
                            m_reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt());
            m_reply->abort();
            return;
        }
        if (m_file.write(m_buffer.constData(), read) != read) {
            m_pendingOutcome = makeOutcome(Outcome::Kind::FileError, m_file.errorString());
            m_reply->abort();
            return;
        }
        // A copy: the handler may cancel this transfer, which clears onProgress while it runs.
        if (auto callback = onProgress)
            callback(read, m_file.pos());
    }
}

void VelquorDownloadTransfer::onReplyFinished()
{
    QNetworkReply *reply = m_reply;
    if (!reply)
        return;
    m_timeout.stop();
    const QNetworkReply::NetworkError error = reply->error();
    if (!m_pendingOutcome && error == QNetworkReply::NoError) {
        onReadyRead(); // the last bytes
        if (!m_reply)
            return; // cancelled by the progress handler: no outcome
    }
    if (!m_headersChecked && reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).isValid())
        acceptHeaders();
    m_reply = nullptr;
    reply->disconnect(this);
    reply->deleteLater();

    if (m_pendingOutcome) {
        const Outcome outcome = *m_pendingOutcome;
        // A range the server cannot serve for a file we cannot complete: start from zero, once.
        if (outcome.httpStatus == 416 && outcome.kind == Outcome::Kind::HttpError && !m_restartedFromZero) {
            m_restartedFromZero = true;
            truncateTo(0);
            m_file.seek(0);
            sendRequest(0, {});
            return;
        }
        if (outcome.kind == Outcome::Kind::Failed && outcome.httpStatus == 206 && !m_restartedFromZero) {
            m_restartedFromZero = true;
            truncateTo(0);
            m_file.seek(0);
            sendRequest(0, {});
            return;
        }
        finish(outcome);
        return;
    }

    if (m_timedOut) {
        finish(makeOutcome(Outcome::Kind::TimedOut, QStringLiteral("No data for %1 ms").arg(m_timeoutMs)));
        return;
    }
    switch (error) {
    case QNetworkReply::NoError:
        break;
    case QNetworkReply::TimeoutError:
        finish(makeOutcome(Outcome::Kind::TimedOut, reply->errorString()));
        return;
    case QNetworkReply::RemoteHostClosedError:
    case QNetworkReply::ProxyConnectionClosedError:
    case QNetworkReply::ProtocolFailure:
        finish(makeOutcome(Outcome::Kind::ConnectionLost, reply->errorString()));
        return;
    case QNetworkReply::ConnectionRefusedError:
        finish(makeOutcome(Outcome::Kind::Refused, reply->errorString()));
        return;
    case QNetworkReply::HostNotFoundError:
    case QNetworkReply::NetworkSessionFailedError:
    case QNetworkReply::TemporaryNetworkFailureError:
    case QNetworkReply::UnknownNetworkError: // what Qt makes of an unreachable network
        finish(makeOutcome(Outcome::Kind::NoConnection, reply->errorString()));
        return;
    default:
        finish(makeOutcome(Outcome::Kind::Failed, reply->errorString()));
        return;
    }

    if (!m_file.flush()) {
        finish(makeOutcome(Outcome::Kind::FileError, m_file.errorString()));
        return;
    }
    const qint64 size = m_file.size();
    if (m_expectedTotal >= 0 && size < m_expectedTotal) {
        // The connection ended early without an error: what is missing can still be fetched.
        finish(makeOutcome(Outcome::Kind::ConnectionLost,
                           QStringLiteral("Answer ended after %1 of %2 bytes").arg(size).arg(m_expectedTotal)));
        return;
    }
    finish(makeOutcome(Outcome::Kind::Finished, {}));
}

void VelquorDownloadTransfer::finish(const Outcome &outcome)
{
    m_timeout.stop();
    if (m_file.isOpen()) {
        m_file.flush();
        m_file.close();
    }
    Outcome ended = outcome;
    ended.startedOver = m_startedOver;
    if (auto callback = onFinished)
        callback(ended);
}

void VelquorDownloadTransfer::stopReply()
{
    m_timeout.stop();
    if (QNetworkReply *reply = std::exchange(m_reply, nullptr)) {
        reply->disconnect(this);
        reply->abort();
        reply->deleteLater();
    }
    if (m_file.isOpen()) {
        m_file.flush();
        m_file.close();
    }
}

VelquorResumeData VelquorDownloadTransfer::currentResumeData() const
{
    VelquorResumeData resume;
    resume.url = m_url;
    resume.partialPath = m_partialPath;
    resume.offset = bytesOnDisk();
    resume.etag = m_etag;
    resume.lastModified = m_lastModified;
    return resume;
}

VelquorResumeData VelquorDownloadTransfer::cancelProducingResumeData()
{
    stopReply();
    return currentResumeData();
}

void VelquorDownloadTransfer::cancel()
{
    stopReply();
}
