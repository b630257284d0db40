#pragma once

#include "TestEnvironment.h"

#include "standin/StandinServer.h"

#include <QString>

#include <vector>

// The stand-in's log of one web-service operation, as the screen tests read it.
inline std::vector<standin::LoggedRequest> operationRequests(const standin::StandinServer &server,
                                                             const QString &operation)
{
    return server.requestsTo("/webs/WebService.asmx/" + operation);
}

// Waits until `count` requests of the operation were answered, then lets their answers be handled.
inline bool waitForOperationAnswers(const standin::StandinServer &server, const QString &operation, size_t count)
{
    const bool answered = waitUntil(
        [&] {
            const auto requests = operationRequests(server, operation);
            return requests.size() >= count && requests.back().status != 0;
        },
        10000);
    waitUntil([] { return false; }, 200);
    return answered;
}
