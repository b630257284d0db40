#include "VelquorNetworkRequest.h"

#include "core/VelquorHTTPSessionManager.h"
#include "core/VelquorNetworkConstants.h"

#include <QJsonDocument>
#include <QNetworkRequest>
#include <QUrl>

namespace {

VelquorHTTPSessionManager::Completion completionFor(VelquorNetworkRequest::Success success,
                                                    VelquorNetworkRequest::Failure failure)
{
    return [success = std::move(success),
            failure = std::move(failure)](const QByteArray &body, const std::optional<VelquorNetworkError> &error) {
        if (error) {
            if (failure)
                failure(*error);
        } else if (success) {
            success(body);
        }
    };
}

// A parameter value as the text whose UTF-8 bytes are uploaded.
QString textOf(const QJsonValue &value)
{
    if (value.isString())
        return value.toString();
    return value.toVariant().toString();
}

} // namespace

QByteArray VelquorNetworkRequest::formBody(const QString &bodyKey, const QJsonObject &parameters)
{
    QByteArray json = QJsonDocument(parameters).toJson(QJsonDocument::Compact);
    // "%" first, so the escapes added for "&" and "+" are not escaped again.
    json.replace("%", "%25").replace("&", "%26").replace("+", "%2B");
    return bodyKey.toUtf8() + '=' + json;
}

void VelquorNetworkRequest::postDataWithParameters(const QJsonObject &parameters, const QString &interfaceUrlString,
                                                   const QString &bodyKey, Success success, Failure failure)
{
    QNetworkRequest request(QUrl(VelquorHTTPSessionManager::baseAddress() + interfaceUrlString));
    request.setHeader(QNetworkRequest::ContentTypeHeader, QStringLiteral("application/x-www-form-urlencoded"));
    request.setTransferTimeout(VelquorHTTPSessionManager::sharedManager().timeoutInterval());
    VelquorHTTPSessionManager::sharedManager().dataTask(request, formBody(bodyKey, parameters),
                                                        completionFor(std::move(success), std::move(failure)));
}

void VelquorNetworkRequest::postFormDataWithParameters(const QJsonObject &parameters, const QString &interfaceUrlString,
                                                       const QString &fileName, const QStringList &bodyKeys,
                                                       Success success, Failure failure)
{
    QList<VelquorHTTPSessionManager::FormPart> parts;
    for (const QString &key : bodyKeys) {
        if (!parameters.contains(key))
            continue;
        VelquorHTTPSessionManager::FormPart part;
        part.name = key;
        part.data = textOf(parameters.value(key)).toUtf8();
        if (key != VelquorNetwork::kUploadSerialKey) {
            part.fileName = fileName;
            part.contentType = QStringLiteral("application/octet-stream");
        }
        parts.append(part);
    }
    VelquorHTTPSessionManager::sharedManager().POST(interfaceUrlString, parts,
                                                    completionFor(std::move(success), std::move(failure)));
}
