#include "VelquorHTTPSessionManager.h"

#include "core/VelquorNetworkConstants.h"
#include "platform/DispatchQueue.h"

#include <QCoreApplication>
#include <QHttpMultiPart>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QPointer>
#include <QUrl>

#include <atomic>
#include <memory>
#include <utility>

#ifndef VELQUOR_DEFAULT_SERVICE_URL
#define VELQUOR_DEFAULT_SERVICE_URL "http://127.0.0.1:8080/"
#endif

namespace {

// What Qt may buffer of an answer before it is read; the rest waits in the socket.
constexpr qint64 kReadBufferBytes = 256 * 1024;

// A name inside a quoted header parameter: quotes and line breaks would end the header early.
QString quotable(QString text)
{
    for (QChar &c : text) {
        if (c == QLatin1Char('"') || c == QLatin1Char('\r') || c == QLatin1Char('\n'))
            c = QLatin1Char('_');
    }
    return text;
}

} // namespace

// Shared with the work queued on the GUI thread, so a manager may go away while requests run.
struct VelquorHTTPSessionManager::Private
{
    std::atomic<int> timeout{VelquorNetwork::kDefaultTimeoutMs};
    QPointer<QNetworkAccessManager> accessManager; // GUI thread only

    ~Private()
    {
        if (accessManager)
            accessManager->deleteLater();
    }

    // GUI thread only. Parented to the application so that it goes with it at exit.
    QNetworkAccessManager *manager()
    {
        if (!accessManager)
            accessManager = new QNetworkAccessManager(QCoreApplication::instance());
        return accessManager;
    }

    // What has arrived of one answer so far.
    struct Transfer
    {
        QByteArray body;
        bool tooLarge = false;
    };

    // Completes once the reply has finished (GUI thread). The answer is taken as it streams in and
    // refused, without being held, once it is known to exceed the largest answer the service sends.
    static void completeWhenFinished(QNetworkReply *reply, Completion completion)
    {
        auto transfer = std::make_shared<Transfer>();
        reply->setReadBufferSize(kReadBufferBytes);
        QObject::connect(reply, &QNetworkReply::metaDataChanged, reply, [reply, transfer] {
            const QVariant length = reply->header(QNetworkRequest::ContentLengthHeader);
            if (length.isValid() && length.toLongLong() > VelquorNetwork::kMaximumAnswerBytes)
                refuse(reply, *transfer);
        });
        QObject::connect(reply, &QNetworkReply::readyRead, reply, [reply, transfer] {
            if (transfer->tooLarge)
                return;
            if (transfer->body.size() + reply->bytesAvailable() > VelquorNetwork::kMaximumAnswerBytes) {
                refuse(reply, *transfer);
                return;
            }
            transfer->body += reply->readAll();
        });
        QObject::connect(reply, &QNetworkReply::finished, reply,
                         [reply, transfer, completion = std::move(completion)] { finish(reply, *transfer, completion); });
    }

    static void refuse(QNetworkReply *reply, Transfer &transfer)
    {
        transfer.tooLarge = true;
        transfer.body = QByteArray();
        reply->abort();
    }

    static void finish(QNetworkReply *reply, Transfer &transfer, const Completion &completion)
    {
        const QVariant statusAttribute = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute);
        const int status = statusAttribute.isValid() ? statusAttribute.toInt() : 0;
        if (!transfer.tooLarge)
            transfer.body += reply->readAll();
        std::optional<VelquorNetworkError> error;
        if (transfer.tooLarge) {
            error = VelquorNetworkError{QNetworkReply::UnknownContentError, status,
                                        QStringLiteral("The answer is larger than %1 bytes")
                                            .arg(VelquorNetwork::kMaximumAnswerBytes)};
        } else if (reply->error() != QNetworkReply::NoError) {
            error = VelquorNetworkError{reply->error(), status, reply->errorString()};
        } else if (status < 200 || status > 299) {
            error = VelquorNetworkError{QNetworkReply::UnknownServerError, status,
                                        QStringLiteral("HTTP status %1").arg(status)};
        }
        reply->deleteLater();
        const QByteArray body = error ? QByteArray() : std::exchange(transfer.body, QByteArray());
        if (completion)
            completion(body, error);
    }
};

VelquorHTTPSessionManager::VelquorHTTPSessionManager() : d(std::make_shared<Private>()) {}

VelquorHTTPSessionManager::~VelquorHTTPSessionManager() = default;

VelquorHTTPSessionManager &VelquorHTTPSessionManager::sharedManager()
{
    static VelquorHTTPSessionManager manager;
    return manager;
}

QString VelquorHTTPSessionManager::baseAddress()
{
    QString address = qEnvironmentVariable(VelquorNetwork::kServiceUrlEnvironment.toLatin1().constData()).trimmed();
    if (address.isEmpty())
        address = QStringLiteral(VELQUOR_DEFAULT_SERVICE_URL);
    if (!address.endsWith(QLatin1Char('/')))
        address += QLatin1Char('/');
    return address;
}

int VelquorHTTPSessionManager::timeoutInterval() const
{
    return d->timeout.load();
}

void VelquorHTTPSessionManager::setTimeoutInterval(int milliseconds)
{
    d->timeout.store(milliseconds);
}

void VelquorHTTPSessionManager::dataTask(const QNetworkRequest &request, const QByteArray &body, Completion completion)
{
    DispatchQueue::main().async([state = d, request, body, completion = std::move(completion)] {
        Private::completeWhenFinished(state->manager()->post(request, body), completion);
    });
}

void VelquorHTTPSessionManager::POST(const QString &path, const QList<FormPart> &parts, Completion completion)
{
    QNetworkRequest request(QUrl(baseAddress() + path));
    request.setTransferTimeout(timeoutInterval());
    DispatchQueue::main().async([state = d, request, parts, completion = std::move(completion)] {
        auto *multiPart = new QHttpMultiPart(QHttpMultiPart::FormDataType);
        for (const FormPart &part : parts) {
            QHttpPart httpPart;
            QString disposition = QStringLiteral("form-data; name=\"%1\"").arg(part.name);
            if (!part.fileName.isEmpty())
                disposition += QStringLiteral("; filename=\"%1\"").arg(quotable(part.fileName));
            httpPart.setHeader(QNetworkRequest::ContentDispositionHeader, disposition);
            if (!part.contentType.isEmpty())
                httpPart.setHeader(QNetworkRequest::ContentTypeHeader, part.contentType);
            httpPart.setBody(part.data);
            multiPart->append(httpPart);
        }
        QNetworkReply *reply = state->manager()->post(request, multiPart);
        multiPart->setParent(reply);
        Private::completeWhenFinished(reply, completion);
    });
}
