#include "VelquorNetworkManager.h"

#include "core/VelquorNetworkConstants.h"
#include "core/VelquorNetworkRequest.h"
#include "platform/DispatchQueue.h"

#include <QJsonDocument>
#include <QXmlStreamReader>

VelquorNetworkManager::VelquorNetworkManager()
    : m_networkQueue(std::make_shared<DispatchQueue>(VelquorNetwork::kNetworkQueueLabel))
{}

VelquorNetworkManager::~VelquorNetworkManager() = default;

VelquorNetworkManager &VelquorNetworkManager::sharedManager()
{
    static VelquorNetworkManager manager;
    return manager;
}

DispatchQueue &VelquorNetworkManager::networkQueue() const
{
    return *m_networkQueue;
}

QString VelquorNetworkManager::formatXMLString(const QString &text)
{
    // Trimming line breaks first keeps a JSON text framed by line breaks parseable; the line feeds
    // inside it become the flag text that the download record turns back into line breaks.
    QString result = text.trimmed();
    result.replace(QLatin1Char('\n'), VelquorNetwork::kLineFeedFlag);
    result = result.trimmed();
    result.replace(QLatin1Char('\\'), QLatin1Char('/'));
    result.replace(QLatin1String("False"), QLatin1String("false"));
    result.replace(QLatin1String("True"), QLatin1String("true"));
    return result;
}

std::optional<QString> VelquorNetworkManager::rootText(const QByteArray &answer)
{
    QXmlStreamReader reader(answer);
    QString text;
    int depth = 0;
    bool sawRoot = false;
    while (!reader.atEnd()) {
        switch (reader.readNext()) {
        case QXmlStreamReader::StartElement:
            sawRoot = true;
            ++depth;
            break;
        case QXmlStreamReader::EndElement:
            --depth;
            break;
        case QXmlStreamReader::Characters:
            if (depth > 0)
                text += reader.text();
            break;
        default:
            break;
        }
    }
    if (reader.hasError() || !sawRoot)
        return std::nullopt;
    return text;
}

std::optional<QJsonObject> VelquorNetworkManager::answerObject(const QByteArray &answer)
{
    const std::optional<QString> text = rootText(answer);
    if (!text)
        return std::nullopt;
    QJsonParseError error{};
    const QJsonDocument document = QJsonDocument::fromJson(formatXMLString(*text).toUtf8(), &error);
    if (error.error != QJsonParseError::NoError || !document.isObject())
        return std::nullopt;
    return document.object();
}

namespace {

// Hands the answer model (none when the answer did not parse) to the success callback, if any.
template <class Model>
void deliver(const VelquorNetworkManager::Success<Model> &success, const std::optional<QJsonObject> &answer)
{
    if (!success)
        return;
    success(answer ? std::make_shared<Model>(Model::fromJson(*answer)) : nullptr);
}

} // namespace

template <class Model>
void VelquorNetworkManager::request(const QString &path, const QString &bodyKey, const QJsonObject &params,
                                    Success<Model> success, Failure failure)
{
    // The queue is shared with the callback so an answer arriving late never finds it gone.
    auto parse = [queue = m_networkQueue, success = std::move(success)](const QByteArray &answer) {
        queue->async([answer, success] { deliver<Model>(success, answerObject(answer)); });
    };
    VelquorNetworkRequest::postDataWithParameters(params, path, bodyKey, std::move(parse), std::move(failure));
}

void VelquorNetworkManager::requestRegisteWithParams(const QJsonObject &params,
                                                     Success<VelquorRegisteResultModel> success, Failure failure)
{
    request(VelquorNetwork::kUserRegPath, VelquorNetwork::kInformationBodyKey, params, std::move(success),
            std::move(failure));
}

void VelquorNetworkManager::requestLoginWithParams(const QJsonObject &params, Success<VelquorLoginResultModel> success,
                                                   Failure failure)
{
    request(VelquorNetwork::kUserLoginPath, VelquorNetwork::kInformationBodyKey, params, std::move(success),
            std::move(failure));
}

void VelquorNetworkManager::requestGetProductWithParams(const QJsonObject &params,
                                                        Success<VelquorProductResultModel> success, Failure failure)
{
    request(VelquorNetwork::kUserProductInformationPath, VelquorNetwork::kInformationBodyKey, params,
            std::move(success), std::move(failure));
}

void VelquorNetworkManager::requestUpdateProductWithParams(const QJsonObject &params,
                                                           Success<VelquorUpgradeResultModel> success, Failure failure)
{
    request(VelquorNetwork::kProductUpdateInformationPath, VelquorNetwork::kInformationBodyKey, params,
            std::move(success), std::move(failure));
}

void VelquorNetworkManager::requestSupportWithParams(const QJsonObject &params, Success<VelquorResultModel> success,
                                                     Failure failure)
{
    request(VelquorNetwork::kUserComplaintPath, VelquorNetwork::kContentsBodyKey, params, std::move(success),
            std::move(failure));
}

void VelquorNetworkManager::requestGetSoftwareInfoWithParams(const QJsonObject &params,
                                                             Success<VelquorSoftwareResultModel> success,
                                                             Failure failure)
{
    request(VelquorNetwork::kSoftwareInfoPath, VelquorNetwork::kInformationBodyKey, params, std::move(success),
            std::move(failure));
}

void VelquorNetworkManager::requestGetProductInfoWithParams(const QJsonObject &params,
                                                            Success<VelquorProductResultModel> success, Failure failure)
{
    request(VelquorNetwork::kProductInfoPath, VelquorNetwork::kInformationBodyKey, params, std::move(success),
            std::move(failure));
}

void VelquorNetworkManager::requestGetUserInfoWithParams(const QJsonObject &params,
                                                         Success<VelquorUserInfoResultModel> success, Failure failure)
{
    request(VelquorNetwork::kGetUserInformationPath, VelquorNetwork::kInformationBodyKey, params, std::move(success),
            std::move(failure));
}

void VelquorNetworkManager::requestUpdateUserInfoWithParams(const QJsonObject &params,
                                                            Success<VelquorResultModel> success, Failure failure)
{
    request(VelquorNetwork::kUpdateUserInformationPath, VelquorNetwork::kInformationBodyKey, params, std::move(success),
            std::move(failure));
}

void VelquorNetworkManager::requestUploadWithParams(const QJsonObject &params, const QString &fileName,
                                                    Success<VelquorFileUploadResultModel> success, Failure failure)
{
    auto parse = [success = std::move(success)](const QByteArray &answer) {
        const QJsonDocument document = QJsonDocument::fromJson(answer);
        deliver<VelquorFileUploadResultModel>(success,
                                              document.isObject() ? std::optional(document.object()) : std::nullopt);
    };
    VelquorNetworkRequest::postFormDataWithParameters(
        params, VelquorNetwork::kUploadPath, fileName,
        {VelquorNetwork::kUploadSerialKey, VelquorNetwork::kUploadFileKey}, std::move(parse), std::move(failure));
}
