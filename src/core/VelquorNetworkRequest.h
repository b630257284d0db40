#pragma once

#include "core/VelquorNetworkError.h"

#include <QByteArray>
#include <QJsonObject>
#include <QString>
#include <QStringList>

#include <functional>

// Builds and sends one request of the web service through the shared VelquorHTTPSessionManager.
// Callbacks run on the GUI thread; an absent callback is not called.
class VelquorNetworkRequest
{
public:
    using Success = std::function<void(const QByteArray &answer)>;
    using Failure = std::function<void(const VelquorNetworkError &error)>;

    // Form POST to base address + path whose single field `bodyKey` carries the parameters as
    // compact JSON.
    static void postDataWithParameters(const QJsonObject &parameters, const QString &interfaceUrlString,
                                       const QString &bodyKey, Success success, Failure failure);

    // Multipart POST to base address + path: for each body key present in the parameters, "serial"
    // goes as a plain field and every other key as a file part named by the key.
    static void postFormDataWithParameters(const QJsonObject &parameters, const QString &interfaceUrlString,
                                           const QString &fileName, const QStringList &bodyKeys, Success success,
                                           Failure failure);

    // "key=JSON". The service form-decodes the field, so "%", "&" and "+" of the JSON text are
    // percent-encoded; every other byte is sent as it is.
    static QByteArray formBody(const QString &bodyKey, const QJsonObject &parameters);
};
