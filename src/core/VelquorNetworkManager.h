#pragma once

#include "core/VelquorFileUploadResultModel.h"
#include "core/VelquorLoginResultModel.h"
#include "core/VelquorNetworkError.h"
#include "core/VelquorProductResultModel.h"
#include "core/VelquorRegisteResultModel.h"
#include "core/VelquorResultModel.h"
#include "core/VelquorSoftwareResultModel.h"
#include "core/VelquorUpgradeResultModel.h"
#include "core/VelquorUserInfoResultModel.h"

#include <QByteArray>
#include <QJsonObject>
#include <QString>

#include <functional>
#include <memory>

class DispatchQueue;

// One method per operation of the web service. The answer (an XML document whose root text is
// JSON) is parsed on the serial queue "com.ostrelle.Velquor.network" and success is called there
// with the answer model, or with none when the answer does not parse; failure gets the transport
// error on the GUI thread. Exactly one of the two is called per request; an absent one is skipped.
class VelquorNetworkManager
{
public:
    template <class Model> using Success = std::function<void(std::shared_ptr<Model> answer)>;
    using Failure = std::function<void(const VelquorNetworkError &error)>;

    VelquorNetworkManager();
    ~VelquorNetworkManager();
    VelquorNetworkManager(const VelquorNetworkManager &) = delete;
    VelquorNetworkManager &operator=(const VelquorNetworkManager &) = delete;

    static VelquorNetworkManager &sharedManager();

    DispatchQueue &networkQueue() const;

    void requestRegisteWithParams(const QJsonObject &params, Success<VelquorRegisteResultModel> success,
                                  Failure failure);
    void requestLoginWithParams(const QJsonObject &params, Success<VelquorLoginResultModel> success, Failure failure);
    void requestGetProductWithParams(const QJsonObject &params, Success<VelquorProductResultModel> success,
                                     Failure failure);
    void requestUpdateProductWithParams(const QJsonObject &params, Success<VelquorUpgradeResultModel> success,
                                        Failure failure);
    void requestSupportWithParams(const QJsonObject &params, Success<VelquorResultModel> success, Failure failure);
    void requestGetSoftwareInfoWithParams(const QJsonObject &params, Success<VelquorSoftwareResultModel> success,
                                          Failure failure);
    void requestGetProductInfoWithParams(const QJsonObject &params, Success<VelquorProductResultModel> success,
                                         Failure failure);
    void requestGetUserInfoWithParams(const QJsonObject &params, Success<VelquorUserInfoResultModel> success,
                                      Failure failure);
    void requestUpdateUserInfoWithParams(const QJsonObject &params, Success<VelquorResultModel> success,
                                         Failure failure);
    // Multipart upload of "serial" and "Filedata"; the answer is plain JSON, and success runs on the
    // GUI thread.
    void requestUploadWithParams(const QJsonObject &params, const QString &fileName,
                                 Success<VelquorFileUploadResultModel> success, Failure failure);

    // The JSON text inside an answer: trimmed, line feeds turned into the flag text, backslashes into
    // "/", and "False"/"True" into "false"/"true".
    static QString formatXMLString(const QString &text);
    // The text of the answer document's root element (every text and CDATA piece below it);
    // absent when the bytes are not a well-formed XML document with a root element.
    static std::optional<QString> rootText(const QByteArray &answer);
    // The JSON object of an answer; absent when it does not parse.
    static std::optional<QJsonObject> answerObject(const QByteArray &answer);

private:
    template <class Model>
    void request(const QString &path, const QString &bodyKey, const QJsonObject &params, Success<Model> success,
                 Failure failure);

    std::shared_ptr<DispatchQueue> m_networkQueue;
};
