#include "VelquorContentLengthProbe.h"

#include <QEventLoop>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QTimer>
#include <QUrl>

namespace {

constexpr int CancelPollMs = 50;

VelquorContentLengthProbe::Answer failure(const QString &message, int status = 0)
{
    VelquorContentLengthProbe::Answer answer;
    answer.httpStatus = status;
    answer.message = message;
    return answer;
}

VelquorContentLengthProbe::Answer answerOf(QNetworkReply *reply)
{
    const QVariant statusAttribute = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute);
    const int status = statusAttribute.isValid() ? statusAttribute.toInt() : 0;
    if (reply->error() != QNetworkReply::NoError)
        return failure(reply->errorString(), status);
    if (status != 200)
        return failure(QStringLiteral("HTTP status %1").arg(status), status);
    // Without a length every share of the vehicle would be 0: that is no measurement.
    const QVariant length = reply->header(QNetworkRequest::ContentLengthHeader);
    bool ok = false;
    const qlonglong bytes = length.isValid() ? length.toLongLong(&ok) : 0;
    if (!ok || bytes <= 0)
        return failure(QStringLiteral("The answer names no length"), status);
    VelquorContentLengthProbe::Answer answer;
    answer.ok = true;
    answer.contentLength = quint64(bytes);
    answer.httpStatus = status;
    return answer;
}

} // namespace

QList<VelquorContentLengthProbe::Answer>
VelquorContentLengthProbe::contentLengths(const QStringList &urls, const std::function<bool()> &cancelled) const
{
    QList<Answer> answers(urls.size());
    QNetworkAccessManager network;
    QEventLoop loop;
    QList<QNetworkReply *> open;
    for (qsizetype i = 0; i < urls.size(); ++i) {
        const QUrl url(urls[i]);
        if (!url.isValid() || (url.scheme() != QLatin1String("http") && url.scheme() != QLatin1String("https"))) {
            answers[i] = failure(QStringLiteral("Not a download address: %1").arg(urls[i]));
            continue;
        }
        QNetworkRequest request(url);
        request.setRawHeader("Accept-Encoding", "identity");
        request.setAttribute(QNetworkRequest::CacheLoadControlAttribute, QNetworkRequest::AlwaysNetwork);
        request.setAttribute(QNetworkRequest::CacheSaveControlAttribute, false);
        request.setTransferTimeout(m_timeoutMs);
        QNetworkReply *reply = network.head(request);
        open.append(reply);
        QObject::connect(reply, &QNetworkReply::finished, &loop, [&answers, &open, &loop, reply, i] {
            answers[i] = answerOf(reply);
            open.removeOne(reply);
            if (open.isEmpty())
                loop.quit();
        });
    }
    if (open.isEmpty())
        return answers;

    QTimer poll;
    if (cancelled) {
        poll.setInterval(CancelPollMs);
        QObject::connect(&poll, &QTimer::timeout, &loop, [&open, &cancelled] {
            if (!cancelled())
                return;
            // abort() finishes the reply at once, which takes it out of `open`.
            const QList<QNetworkReply *> running = open;
            for (QNetworkReply *reply : running)
                reply->abort();
        });
        poll.start();
    }
    loop.exec();
    return answers;
}
