#pragma once

#include <QNetworkReply>
#include <QString>

// A transport failure: no connection, a time-out, or an HTTP status outside 200 to 299.
struct VelquorNetworkError
{
    QNetworkReply::NetworkError code = QNetworkReply::UnknownNetworkError;
    int httpStatus = 0; // 0 when no answer arrived
    QString message;
};
