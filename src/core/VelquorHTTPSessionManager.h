#pragma once

#include "core/VelquorNetworkError.h"

#include <QByteArray>
#include <QList>
#include <QNetworkRequest>
#include <QString>

#include <functional>
#include <memory>
#include <optional>

// The one HTTP client of the web service. Its QNetworkAccessManager lives on the GUI thread: work
// may be handed in from any thread and every completion runs on the GUI thread. Any status from
// 200 to 299 succeeds with the raw answer bytes; anything else is a failure, and so is an answer
// larger than VelquorNetwork::kMaximumAnswerBytes, which is dropped as soon as that is known.
class VelquorHTTPSessionManager
{
public:
    // Exactly one of the two is meaningful: the answer bytes, or the error.
    using Completion = std::function<void(const QByteArray &body, const std::optional<VelquorNetworkError> &error)>;

    // One part of a multipart form: a plain field when fileName is empty, else a file part.
    struct FormPart
    {
        QString name;
        QByteArray data;
        QString fileName;
        QString contentType;
    };

    VelquorHTTPSessionManager();
    ~VelquorHTTPSessionManager();
    VelquorHTTPSessionManager(const VelquorHTTPSessionManager &) = delete;
    VelquorHTTPSessionManager &operator=(const VelquorHTTPSessionManager &) = delete;

    static VelquorHTTPSessionManager &sharedManager();

    // The service's base address: VELQUOR_SERVICE_URL when set, else the compiled-in default;
    // always ends in "/". Read at every call so a changed environment takes effect.
    static QString baseAddress();

    // Time-out of a transfer that receives nothing, in milliseconds (60 s unless a test shortens it).
    int timeoutInterval() const;
    void setTimeoutInterval(int milliseconds);

    // POSTs a prepared request with its body.
    void dataTask(const QNetworkRequest &request, const QByteArray &body, Completion completion);
    // Multipart form POST to base address + path.
    void POST(const QString &path, const QList<FormPart> &parts, Completion completion);

private:
    struct Private;
    std::shared_ptr<Private> d;
};
