#pragma once

#include "core/VelquorResumeData.h"

#include <QElapsedTimer>
#include <QFile>
#include <QObject>
#include <QString>
#include <QTimer>

#include <functional>
#include <optional>

class QNetworkAccessManager;
class QNetworkReply;

// One resumable HTTP GET of one archive into its partial file. Lives on the download queue's
// thread with its QNetworkAccessManager. The body streams to the partial file in chunks as it
// arrives (never to the archive path, never held whole in memory). A resume asks for the missing
// range with Range and If-Range: 206 appends, 200 starts the file again, 416 checks whether the
// file is already complete.
//
// When the file's size is known beforehand, the partial file never grows past it: an answer that
// claims another size (a 200's length, a 206's or 416's total) or whose bytes run past it is a
// wrong answer, and what it sent is not kept.
class VelquorDownloadTransfer : public QObject
{
    Q_OBJECT
public:
    struct Outcome
    {
        enum class Kind {
            Finished,       // the partial file holds the whole body
            TimedOut,       // nothing arrived for the time-out
            ConnectionLost, // the server or the network dropped the connection mid-way
            NoConnection,   // no network path to the service (unreachable, unknown network error)
            Refused,        // the connection was refused (the service is not listening)
            HttpError,      // the answer's status is no success
            WrongAnswer,    // the answer's size disagrees with the file's known size, or runs past it
            FileError,      // the partial file could not be written
            Failed,         // any other transport error
        };
        Kind kind = Kind::Failed;
        int httpStatus = 0;
        QString message;
        bool startedOver = false; // the bytes the partial file held were dropped: the file began again at 0
    };

    // expectedSize: the whole file's size as measured before the download, 0 when unknown.
    VelquorDownloadTransfer(QNetworkAccessManager *manager, const QString &url, const QString &partialPath,
                            const std::optional<VelquorResumeData> &resume, qint64 expectedSize, int timeoutMs,
                            QObject *parent = nullptr);
    ~VelquorDownloadTransfer() override;

    // Called for each chunk written: (bytes written now, bytes in the partial file).
    std::function<void(qint64 chunk, qint64 total)> onProgress;
    // Called once when the transfer ends by itself (not after cancel()).
    std::function<void(const Outcome &outcome)> onFinished;

    void start();
    // Stops without calling back; the partial file stays. Answers what a later resume needs.
    VelquorResumeData cancelProducingResumeData();
    void cancel();

    QString url() const { return m_url; }
    QString partialPath() const { return m_partialPath; }
    qint64 bytesOnDisk() const;
    // What a later resume needs, as things stand now.
    VelquorResumeData currentResumeData() const;
    bool isRunning() const { return m_reply != nullptr; }

private:
    void sendRequest(qint64 offset, const QString &validator);
    bool acceptHeaders();
    // Whether a whole-file size an answer claims disagrees with the known one.
    bool disagreesWithExpectedSize(qint64 claimed) const;
    void onReadyRead();
    void onReplyFinished();
    void finish(const Outcome &outcome);
    void stopReply();
    void restartTimeout();
    void truncateTo(qint64 size);

    QNetworkAccessManager *m_manager;
    QString m_url;
    QString m_partialPath;
    QString m_etag;
    QString m_lastModified;
    qint64 m_requestOffset = 0;
    qint64 m_expectedSize = 0;   // whole file size known beforehand (0: unknown)
    qint64 m_expectedTotal = -1; // whole file size when the answer said it
    qint64 m_answerStart = 0;    // where the answer's body goes in the partial file
    QFile m_file;
    QByteArray m_buffer; // one chunk, reused
    QNetworkReply *m_reply = nullptr;
    QTimer m_timeout;
    QElapsedTimer m_lastActivity;
    int m_timeoutMs;
    bool m_headersChecked = false;
    bool m_timedOut = false;
    bool m_restartedFromZero = false;
    bool m_startedOver = false;
    std::optional<Outcome> m_pendingOutcome; // decided while the headers were read
};
