#pragma once

#include <QByteArray>
#include <QJsonValue>
#include <QMap>
#include <QString>

#include <functional>
#include <memory>
#include <vector>

namespace standin {

// A fault the server plays on requests to one path. Status and Stall apply to every method; the
// faults that shape a body (Garbage, NotXml, DropAfter, Throttle, Overlong) leave HEAD requests alone
// and are not used up by them, so a size probe does not spend the fault meant for the download.
struct Fault
{
    enum class Kind {
        Status,    // answer with `status` and a short text body (an XML envelope on operation paths)
        Garbage,   // 200 with bytes that are neither XML nor JSON
        NotXml,    // 200 with a JSON body outside any envelope
        Stall,     // accept, then send nothing for `stallMs`; then answer as usual
        DropAfter, // send the headers (full Content-Length) and `bytes` bytes of the body, then close
        Throttle,  // stream the real answer at `bytesPerSecond`
        // Claim the file is `announcedSize` bytes long (a 200's Content-Length, a 206's range and
        // total, a 416's total; ranges are resolved against it), send the file's bytes from the
        // range's start and `bytes` bytes more, then close. With `announcedSize` 0: a 200 without
        // any length (chunked) that carries the whole file and `bytes` bytes more, ended properly.
        Overlong,
    };
    Kind kind = Kind::Status;
    int status = 500;
    int stallMs = 0;
    qint64 bytes = 0;
    qint64 bytesPerSecond = 0;
    qint64 announcedSize = 0;
    int times = -1; // how many requests it applies to; -1 for all
};

// One part of a multipart/form-data body.
struct FormPart
{
    QString name;
    QString fileName; // empty for a plain field
    QString contentType;
    QByteArray content;
};

struct LoggedRequest
{
    QString method;                 // "POST", "GET", "HEAD"
    QString path;                   // without the query, e.g. "/webs/WebService.asmx/UserLogin"
    QMap<QString, QString> headers; // names in lower case
    QByteArray body;                // raw body as received (empty for multipart bodies: see parts)
    QString formKey;                // the form field's name ("information", ...)
    QByteArray formValue;           // the field's value, form-decoded (the JSON text)
    QJsonValue json;                // formValue parsed, Undefined when it is not JSON
    std::vector<FormPart> parts;    // multipart/form-data parts, ordered by name
    int status = 0;                 // status answered (0 while the answer is still being decided)
};

// The stand-in web service: POST operations under "webs/WebService.asmx/", the multipart
// "function/upload.ashx", and package files with HEAD and ranged GET. Runs on its own threads.
// Every answer closes its connection, so stop() never waits for an idle client.
class StandinServer
{
public:
    // Answers the JSON text for an operation's parsed parameters; the server wraps it in the envelope.
    using OperationHandler = std::function<QByteArray(const LoggedRequest &request)>;

    StandinServer();
    ~StandinServer();
    StandinServer(const StandinServer &) = delete;
    StandinServer &operator=(const StandinServer &) = delete;

    // Listens on 127.0.0.1; port 0 picks a free one. False when it cannot listen.
    bool start(quint16 port = 0);
    void stop();
    quint16 port() const;
    QString baseUrl() const; // "http://127.0.0.1:<port>/"

    // Operation name as in the path ("UserLogin"); replaces an earlier handler. An operation without
    // a handler is answered 404. Handlers run on the server's worker threads, several at a time.
    void setOperation(const QString &name, OperationHandler handler);
    // The answer of "function/upload.ashx": plain JSON, no envelope (the upload is a generic handler,
    // not a web-service operation). The default answers success with the file part's name and size.
    void setUploadHandler(OperationHandler handler);
    // Serves the files under `directory` at the base address (path "a/b.7z" -> directory/a/b.7z).
    void setFileRoot(const QString &directory);
    // Whether file answers carry ETag and Last-Modified (true). Without them, as behind some proxies,
    // a client cannot ask for the rest of a file and must fetch it whole again.
    void setFileValidators(bool send);

    void setFault(const QString &path, const Fault &fault); // path as logged, e.g. "/files/a.7z"
    void clearFaults();

    std::vector<LoggedRequest> requests() const;
    std::vector<LoggedRequest> requestsTo(const QString &path) const;
    void clearRequests();
    // File transfers whose client went away before the last byte was sent.
    int abortedTransfers() const;

    // The service's XML envelope around a JSON text (escaped).
    static QByteArray envelope(const QByteArray &json);

private:
    struct Private;
    std::unique_ptr<Private> d;
};

} // namespace standin
