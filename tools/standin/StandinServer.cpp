#include "StandinServer.h"

#include "ByteRange.h"
#include "FormBody.h"
#include "ServedFile.h"

#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <httplib.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <optional>
#include <thread>

namespace standin {

namespace {

using Clock = std::chrono::steady_clock;

const QString operationPrefix = QStringLiteral("/webs/WebService.asmx/");
const QString uploadPath = QStringLiteral("/function/upload.ashx");
constexpr qint64 chunkSize = 64 * 1024;
constexpr int workerThreads = 16;
// Bounds how long a connected client that never sends its request can hold up stop().
constexpr time_t requestWaitSeconds = 2;

const std::string xmlType = "text/xml; charset=utf-8";
const std::string jsonType = "application/json; charset=utf-8";
const std::string textType = "text/plain; charset=utf-8";

// What an answer sends before a fault shapes its delivery: bytes in memory or a range of a file.
struct Answer
{
    int status = 200;
    std::string contentType = textType;
    std::vector<std::pair<std::string, std::string>> headers;
    QByteArray bytes;
    QString filePath; // set for package files
    qint64 fileOffset = 0;
    qint64 fileLength = 0;

    bool isFile() const { return !filePath.isEmpty(); }
    qint64 length() const { return isFile() ? fileLength : bytes.size(); }

    static Answer text(int status, const QByteArray &text, const std::string &type = textType)
    {
        Answer answer;
        answer.status = status;
        answer.bytes = text;
        answer.contentType = type;
        return answer;
    }
};

bool isBodyFault(Fault::Kind kind)
{
    return kind == Fault::Kind::Garbage || kind == Fault::Kind::NotXml || kind == Fault::Kind::DropAfter ||
           kind == Fault::Kind::Throttle || kind == Fault::Kind::Overlong;
}

// What an Overlong answer sends from `start` on: the file's bytes up to its end, then `extra` bytes
// that belong to no file.
struct OverlongBody
{
    QFile file;
    qint64 fileSize = 0;
    qint64 start = 0;
    qint64 extra = 0;

    qint64 end() const { return qMax(start, fileSize) + extra; }

    // Up to `count` bytes at `position`; empty at the end or when the file cannot be read.
    QByteArray read(qint64 position, qint64 count)
    {
        count = qMin(count, end() - position);
        if (count <= 0)
            return {};
        QByteArray bytes(count, 'Z');
        if (position < fileSize) {
            const qint64 fromFile = qMin(count, fileSize - position);
            if (!file.isOpen() && !file.open(QIODevice::ReadOnly))
                return {};
            if (!file.seek(position) || file.read(bytes.data(), fromFile) != fromFile)
                return {};
        }
        return bytes;
    }
};

QJsonValue parseJson(const QByteArray &text)
{
    QJsonParseError error{};
    const QJsonDocument document = QJsonDocument::fromJson(text, &error);
    if (error.error != QJsonParseError::NoError)
        return QJsonValue(QJsonValue::Undefined);
    if (document.isObject())
        return document.object();
    if (document.isArray())
        return document.array();
    return QJsonValue(QJsonValue::Undefined);
}

bool hasFormType(const httplib::Request &request)
{
    const QByteArray type = QByteArray::fromStdString(request.get_header_value("Content-Type")).trimmed().toLower();
    return type.startsWith("application/x-www-form-urlencoded");
}

LoggedRequest describe(const httplib::Request &request)
{
    LoggedRequest entry;
    entry.method = QString::fromStdString(request.method);
    entry.path = QString::fromUtf8(request.path.data(), qsizetype(request.path.size()));
    for (const auto &[name, value] : request.headers) {
        const QString key = QString::fromStdString(name).toLower();
        const QString text = QString::fromUtf8(value.data(), qsizetype(value.size()));
        if (entry.headers.contains(key))
            entry.headers[key] += QStringLiteral(", ") + text;
        else
            entry.headers.insert(key, text);
    }
    entry.body = QByteArray(request.body.data(), qsizetype(request.body.size()));
    entry.json = QJsonValue(QJsonValue::Undefined);
    if (request.method == "POST" && hasFormType(request)) {
        const auto fields = FormBody::parse(entry.body);
        if (!fields.empty()) {
            entry.formKey = QString::fromUtf8(fields.front().first);
            entry.formValue = fields.front().second;
            entry.json = parseJson(entry.formValue);
        }
    }
    for (const auto &[name, file] : request.files) {
        FormPart part;
        part.name = QString::fromStdString(name);
        part.fileName = QString::fromStdString(file.filename);
        part.contentType = QString::fromStdString(file.content_type);
        part.content = QByteArray(file.content.data(), qsizetype(file.content.size()));
        entry.parts.push_back(std::move(part));
    }
    return entry;
}

QByteArray defaultUploadAnswer(const LoggedRequest &request)
{
    const FormPart *file = nullptr;
    for (const FormPart &part : request.parts) {
        if (!part.fileName.isEmpty() && (!file || part.name == QLatin1String("Filedata")))
            file = &part;
    }
    QJsonObject answer;
    if (!file) {
        answer.insert(QStringLiteral("status"), false);
        answer.insert(QStringLiteral("msg"), QStringLiteral("No file received"));
    } else {
        const QString suffix = QFileInfo(file->fileName).suffix();
        answer.insert(QStringLiteral("status"), true);
        answer.insert(QStringLiteral("msg"), QStringLiteral("Upload successful"));
        answer.insert(QStringLiteral("name"), file->fileName);
        answer.insert(QStringLiteral("path"), QStringLiteral("/upload/") + file->fileName);
        answer.insert(QStringLiteral("thumb"), QString());
        answer.insert(QStringLiteral("ext"), suffix.isEmpty() ? QString() : QLatin1Char('.') + suffix);
        answer.insert(QStringLiteral("size"), file->content.size());
    }
    return QJsonDocument(answer).toJson(QJsonDocument::Compact);
}

} // namespace

struct StandinServer::Private
{
    std::unique_ptr<httplib::Server> server;
    std::thread thread;
    std::atomic<quint16> port{0};
    std::atomic<int> aborted{0};

    mutable std::mutex mutex; // guards the configuration and the log below
    QMap<QString, OperationHandler> operations;
    OperationHandler uploadHandler;
    QString fileRoot;
    bool fileValidators = true;
    QMap<QString, Fault> faults;
    std::vector<std::pair<quint64, LoggedRequest>> log;
    quint64 nextLogId = 1;

    // Stalls and throttled streams sleep on this so that stop() wakes them at once.
    std::mutex stopMutex;
    std::condition_variable stopSignal;
    bool stopping = false;

    bool isStopping()
    {
        std::lock_guard lock(stopMutex);
        return stopping;
    }

    // Sleeps until `until`; false when the server began to stop meanwhile.
    bool sleepUntil(Clock::time_point until)
    {
        std::unique_lock lock(stopMutex);
        return !stopSignal.wait_until(lock, until, [this] { return stopping; });
    }

    quint64 record(const LoggedRequest &entry)
    {
        std::lock_guard lock(mutex);
        const quint64 id = nextLogId++;
        log.emplace_back(id, entry);
        return id;
    }

    void recordStatus(quint64 id, int status)
    {
        std::lock_guard lock(mutex);
        for (auto it = log.rbegin(); it != log.rend(); ++it) {
            if (it->first == id) {
                it->second.status = status;
                return;
            }
        }
    }

    // The fault for this request, used up by it; body faults pass HEAD requests by.
    std::optional<Fault> takeFault(const QString &path, bool isHead)
    {
        std::lock_guard lock(mutex);
        auto it = faults.find(path);
        if (it == faults.end())
            return std::nullopt;
        if (isHead && isBodyFault(it->kind))
            return std::nullopt;
        if (it->times == 0) {
            faults.erase(it);
            return std::nullopt;
        }
        const Fault fault = *it;
        if (it->times > 0 && --it->times == 0)
            faults.erase(it);
        return fault;
    }

    void handle(const httplib::Request &request, httplib::Response &response);
    Answer answerFor(const httplib::Request &request, const LoggedRequest &entry);
    Answer answerOperation(const httplib::Request &request, const LoggedRequest &entry);
    Answer answerUpload(const httplib::Request &request, const LoggedRequest &entry);
    // The served file the request names, and whether answers carry its validators.
    std::optional<ServedFile> locateFile(const LoggedRequest &entry, bool *validators);
    Answer answerFile(const LoggedRequest &entry);
    Answer answerFault(const Fault &fault, const httplib::Request &request, const LoggedRequest &entry);
    // Plays an Overlong fault; answers the status sent.
    int deliverOverlong(const Fault &fault, const LoggedRequest &entry, httplib::Response &response);
    void deliver(const Answer &answer, const std::optional<Fault> &fault, httplib::Response &response);
};

void StandinServer::Private::handle(const httplib::Request &request, httplib::Response &response)
{
    // The engine answers ranges itself; httplib would otherwise cut the body a second time.
    const_cast<httplib::Request &>(request).ranges.clear();

    const LoggedRequest entry = describe(request);
    const quint64 id = record(entry);
    const bool isHead = request.method == "HEAD";

    std::optional<Fault> fault = takeFault(entry.path, isHead);
    if (fault && fault->kind == Fault::Kind::Stall) {
        if (!sleepUntil(Clock::now() + std::chrono::milliseconds(fault->stallMs))) {
            deliver(Answer::text(503, "Service stopping"), std::nullopt, response);
            recordStatus(id, 503);
            return;
        }
        fault.reset();
    }

    if (fault && fault->kind == Fault::Kind::Overlong && request.method != "POST") {
        recordStatus(id, deliverOverlong(*fault, entry, response));
        return;
    }

    Answer answer;
    if (fault && (fault->kind == Fault::Kind::Status || fault->kind == Fault::Kind::Garbage ||
                  fault->kind == Fault::Kind::NotXml)) {
        answer = answerFault(*fault, request, entry);
        fault.reset();
    } else {
        answer = answerFor(request, entry);
    }
    deliver(answer, fault, response);
    recordStatus(id, answer.status);
}

Answer StandinServer::Private::answerFor(const httplib::Request &request, const LoggedRequest &entry)
{
    if (request.method == "POST") {
        if (entry.path.startsWith(operationPrefix))
            return answerOperation(request, entry);
        if (entry.path == uploadPath)
            return answerUpload(request, entry);
        return Answer::text(404, "Not found");
    }
    return answerFile(entry);
}

Answer StandinServer::Private::answerOperation(const httplib::Request &request, const LoggedRequest &entry)
{
    const QString name = entry.path.mid(operationPrefix.size());
    OperationHandler handler;
    {
        std::lock_guard lock(mutex);
        handler = operations.value(name);
    }
    if (name.isEmpty() || name.contains(QLatin1Char('/')) || !handler)
        return Answer::text(404, "Unknown web method " + name.toUtf8() + ".");
    // The web service reads its parameter from the form only.
    if (!hasFormType(request))
        return Answer::text(500, "Request format is invalid: " +
                                     QByteArray::fromStdString(request.get_header_value("Content-Type")) + ".");
    return Answer::text(200, envelope(handler(entry)), xmlType);
}

Answer StandinServer::Private::answerUpload(const httplib::Request &request, const LoggedRequest &entry)
{
    if (!request.is_multipart_form_data())
        return Answer::text(500, "Expected multipart/form-data.");
    OperationHandler handler;
    {
        std::lock_guard lock(mutex);
        handler = uploadHandler;
    }
    return Answer::text(200, handler ? handler(entry) : defaultUploadAnswer(entry), jsonType);
}

std::optional<ServedFile> StandinServer::Private::locateFile(const LoggedRequest &entry, bool *validators)
{
    QString root;
    {
        std::lock_guard lock(mutex);
        root = fileRoot;
        *validators = fileValidators;
    }
    return ServedFile::locate(root, entry.path);
}

Answer StandinServer::Private::answerFile(const LoggedRequest &entry)
{
    bool validators = true;
    const std::optional<ServedFile> file = locateFile(entry, &validators);
    if (!file)
        return Answer::text(404, "Not found");

    Answer answer;
    answer.contentType = "application/octet-stream";
    answer.filePath = file->path();
    answer.fileLength = file->size();
    answer.headers = {{"Accept-Ranges", "bytes"}};
    if (validators) {
        answer.headers.emplace_back("ETag", file->etag().toStdString());
        answer.headers.emplace_back("Last-Modified", file->lastModified().toStdString());
    }

    const QString rangeHeader = entry.headers.value(QStringLiteral("range"));
    if (rangeHeader.isEmpty())
        return answer;
    // A range is only valid against the file the client began with; otherwise it gets it whole.
    const QString ifRange = entry.headers.value(QStringLiteral("if-range"));
    if (!ifRange.isEmpty() && !file->matchesValidator(ifRange.toLatin1()))
        return answer;

    const ByteRange range = ByteRange::resolve(rangeHeader.toLatin1(), file->size());
    const std::string size = std::to_string(file->size());
    switch (range.outcome) {
    case ByteRange::Outcome::Whole:
        break;
    case ByteRange::Outcome::Unsatisfiable:
        answer.status = 416;
        answer.filePath.clear();
        answer.headers.emplace_back("Content-Range", "bytes */" + size);
        break;
    case ByteRange::Outcome::Partial:
        answer.status = 206;
        answer.fileOffset = range.first;
        answer.fileLength = range.length();
        answer.headers.emplace_back("Content-Range", "bytes " + std::to_string(range.first) + '-' +
                                                         std::to_string(range.last) + '/' + size);
        break;
    }
    return answer;
}

Answer StandinServer::Private::answerFault(const Fault &fault, const httplib::Request &request,
                                           const LoggedRequest &entry)
{
    const bool isOperation = entry.path.startsWith(operationPrefix);
    switch (fault.kind) {
    case Fault::Kind::Status: {
        const QByteArray message = "Fault " + QByteArray::number(fault.status);
        if (isOperation)
            return Answer::text(fault.status, envelope(R"({"MSG_CODE":0,"MSG_INFO":")" + message + R"("})"), xmlType);
        return Answer::text(fault.status, message);
    }
    case Fault::Kind::Garbage:
        return Answer::text(200, QByteArray("\x89GARBAGE<<\x01\xfe{{ not an answer ]]>"), "text/html");
    case Fault::Kind::NotXml: {
        OperationHandler handler;
        if (isOperation) {
            std::lock_guard lock(mutex);
            handler = operations.value(entry.path.mid(operationPrefix.size()));
        }
        // The operation's own JSON, without the envelope around it.
        const QByteArray json = handler ? handler(entry) : QByteArray(R"({"MSG_CODE":1,"MSG_INFO":"Plain JSON"})");
        return Answer::text(200, json, jsonType);
    }
    default:
        return answerFor(request, entry);
    }
}

int StandinServer::Private::deliverOverlong(const Fault &fault, const LoggedRequest &entry, httplib::Response &response)
{
    bool validators = true;
    const std::optional<ServedFile> file = locateFile(entry, &validators);
    if (!file) {
        deliver(Answer::text(404, "Not found"), std::nullopt, response);
        return 404;
    }
    const std::string type = "application/octet-stream";
    response.set_header("Accept-Ranges", "bytes");
    if (validators) {
        response.set_header("ETag", file->etag().toStdString());
        response.set_header("Last-Modified", file->lastModified().toStdString());
    }
    auto body = std::make_shared<OverlongBody>();
    body->file.setFileName(file->path());
    body->fileSize = file->size();
    body->extra = qMax<qint64>(0, fault.bytes);

    if (fault.announcedSize <= 0) {
        response.status = 200;
        response.set_chunked_content_provider(type, [this, body](size_t offset, httplib::DataSink &sink) {
            if (isStopping())
                return false;
            const QByteArray chunk = body->read(qint64(offset), chunkSize);
            if (chunk.isEmpty()) {
                sink.done();
                return true;
            }
            return sink.write(chunk.constData(), size_t(chunk.size()));
        });
        return 200;
    }

    const std::string announced = std::to_string(fault.announcedSize);
    response.status = 200;
    qint64 first = 0;
    qint64 last = fault.announcedSize - 1;
    const QString rangeHeader = entry.headers.value(QStringLiteral("range"));
    const QString ifRange = entry.headers.value(QStringLiteral("if-range"));
    if (!rangeHeader.isEmpty() && (ifRange.isEmpty() || file->matchesValidator(ifRange.toLatin1()))) {
        const ByteRange range = ByteRange::resolve(rangeHeader.toLatin1(), fault.announcedSize);
        if (range.outcome == ByteRange::Outcome::Unsatisfiable) {
            response.status = 416;
            response.set_header("Content-Range", "bytes */" + announced);
            response.set_header("Content-Length", "0");
            return 416;
        }
        if (range.outcome == ByteRange::Outcome::Partial) {
            response.status = 206;
            first = range.first;
            last = range.last;
            response.set_header("Content-Range",
                                "bytes " + std::to_string(first) + '-' + std::to_string(last) + '/' + announced);
        }
    }
    body->start = first;
    const qint64 length = last - first + 1;
    response.set_content_provider(
        size_t(length), type, [this, body, first, length](size_t offset, size_t, httplib::DataSink &sink) {
            if (isStopping())
                return false;
            const QByteArray chunk = body->read(first + qint64(offset), qMin(chunkSize, length - qint64(offset)));
            if (chunk.isEmpty())
                return false; // ends the connection short of the length it announced
            return sink.write(chunk.constData(), size_t(chunk.size()));
        });
    return response.status;
}

void StandinServer::Private::deliver(const Answer &answer, const std::optional<Fault> &fault,
                                     httplib::Response &response)
{
    response.status = answer.status;
    for (const auto &[name, value] : answer.headers)
        response.set_header(name, value);
    const qint64 total = answer.length();
    if (total == 0) {
        // httplib sends no length for an empty provider; say it outright.
        response.set_header("Content-Length", "0");
        response.set_header("Content-Type", answer.contentType);
        return;
    }

    struct Transfer
    {
        Answer answer;
        QFile file;
        QByteArray buffer;
        qint64 stopAt = 0;         // DropAfter: close the connection here
        qint64 bytesPerSecond = 0; // Throttle
        std::optional<Clock::time_point> started;
    };
    auto transfer = std::make_shared<Transfer>();
    transfer->answer = answer;
    transfer->stopAt = total;
    if (fault && fault->kind == Fault::Kind::DropAfter)
        transfer->stopAt = qBound<qint64>(0, fault->bytes, total);
    if (fault && fault->kind == Fault::Kind::Throttle && fault->bytesPerSecond > 0)
        transfer->bytesPerSecond = fault->bytesPerSecond;

    response.set_content_provider(
        size_t(total), answer.contentType, [this, transfer](size_t offset, size_t, httplib::DataSink &sink) {
            Transfer &t = *transfer;
            const qint64 position = qint64(offset);
            if (isStopping() || position >= t.stopAt)
                return false; // ends the connection short of Content-Length
            qint64 count = qMin(chunkSize, t.stopAt - position);
            if (t.bytesPerSecond > 0) {
                if (!t.started)
                    t.started = Clock::now();
                count = qMin(count, qMax<qint64>(1, t.bytesPerSecond / 20));
                const auto due = *t.started + std::chrono::microseconds(position * 1000000 / t.bytesPerSecond);
                if (!sleepUntil(due))
                    return false;
            }

            const char *data = nullptr;
            if (t.answer.isFile()) {
                // Streamed chunk by chunk: package files may be far larger than memory allows.
                if (!t.file.isOpen()) {
                    t.file.setFileName(t.answer.filePath);
                    if (!t.file.open(QIODevice::ReadOnly))
                        return false;
                }
                if (t.file.pos() != t.answer.fileOffset + position && !t.file.seek(t.answer.fileOffset + position))
                    return false;
                t.buffer.resize(count);
                if (t.file.read(t.buffer.data(), count) != count)
                    return false; // the file shrank under us
                data = t.buffer.constData();
            } else {
                data = t.answer.bytes.constData() + position;
            }

            if (!sink.is_writable() || !sink.write(data, size_t(count))) {
                if (t.answer.isFile() && !isStopping())
                    aborted.fetch_add(1);
                return false;
            }
            return true;
        });
}

StandinServer::StandinServer() : d(std::make_unique<Private>()) {}

StandinServer::~StandinServer()
{
    stop();
}

bool StandinServer::start(quint16 port)
{
    if (d->server)
        return false;
    auto server = std::make_unique<httplib::Server>();
    server->new_task_queue = [] { return new httplib::ThreadPool(workerThreads); };
    // One request per connection: an idle keep-alive connection would hold stop() for seconds.
    server->set_keep_alive_max_count(1);
    server->set_keep_alive_timeout(requestWaitSeconds);
    const auto handler = [this](const httplib::Request &request, httplib::Response &response) {
        d->handle(request, response);
    };
    server->Get(".*", handler); // HEAD is routed here too
    server->Post(".*", handler);

    int bound = -1;
    if (port == 0)
        bound = server->bind_to_any_port("127.0.0.1");
    else if (server->bind_to_port("127.0.0.1", port))
        bound = port;
    if (bound <= 0)
        return false;

    {
        std::lock_guard lock(d->stopMutex);
        d->stopping = false;
    }
    auto listenEnded = std::make_shared<std::atomic<bool>>(false);
    httplib::Server *raw = server.get();
    d->server = std::move(server);
    d->thread = std::thread([raw, listenEnded] {
        raw->listen_after_bind();
        *listenEnded = true;
    });
    // httplib's stop() is a no-op until the loop runs, so wait for it before anyone may stop us.
    while (!raw->is_running() && !*listenEnded)
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    if (*listenEnded) {
        stop();
        return false;
    }
    d->port = quint16(bound);
    return true;
}

void StandinServer::stop()
{
    {
        std::lock_guard lock(d->stopMutex);
        d->stopping = true;
    }
    d->stopSignal.notify_all();
    if (d->server)
        d->server->stop();
    if (d->thread.joinable())
        d->thread.join();
    d->server.reset();
    d->port = 0;
}

quint16 StandinServer::port() const
{
    return d->port;
}

QString StandinServer::baseUrl() const
{
    return QStringLiteral("http://127.0.0.1:%1/").arg(port());
}

void StandinServer::setOperation(const QString &name, OperationHandler handler)
{
    std::lock_guard lock(d->mutex);
    d->operations.insert(name, std::move(handler));
}

void StandinServer::setUploadHandler(OperationHandler handler)
{
    std::lock_guard lock(d->mutex);
    d->uploadHandler = std::move(handler);
}

void StandinServer::setFileRoot(const QString &directory)
{
    std::lock_guard lock(d->mutex);
    d->fileRoot = directory;
}

void StandinServer::setFileValidators(bool send)
{
    std::lock_guard lock(d->mutex);
    d->fileValidators = send;
}

void StandinServer::setFault(const QString &path, const Fault &fault)
{
    std::lock_guard lock(d->mutex);
    d->faults.insert(path, fault);
}

void StandinServer::clearFaults()
{
    std::lock_guard lock(d->mutex);
    d->faults.clear();
}

std::vector<LoggedRequest> StandinServer::requests() const
{
    std::lock_guard lock(d->mutex);
    std::vector<LoggedRequest> result;
    result.reserve(d->log.size());
    for (const auto &[id, entry] : d->log)
        result.push_back(entry);
    return result;
}

std::vector<LoggedRequest> StandinServer::requestsTo(const QString &path) const
{
    std::lock_guard lock(d->mutex);
    std::vector<LoggedRequest> result;
    for (const auto &[id, entry] : d->log) {
        if (entry.path == path)
            result.push_back(entry);
    }
    return result;
}

void StandinServer::clearRequests()
{
    std::lock_guard lock(d->mutex);
    d->log.clear();
}

int StandinServer::abortedTransfers() const
{
    return d->aborted.load();
}

QByteArray StandinServer::envelope(const QByteArray &json)
{
    QByteArray escaped;
    escaped.reserve(json.size() + json.size() / 8);
    for (const char c : json) {
        switch (c) {
        case '&':
            escaped.append("&amp;");
            break;
        case '<':
            escaped.append("&lt;");
            break;
        case '>':
            escaped.append("&gt;");
            break;
        case '\r':
            escaped.append("&#xD;");
            break;
        default:
            escaped.append(c);
        }
    }
    return "<?xml version=\"1.0\" encoding=\"utf-8\"?>\r\n<string xmlns=\"http://tempuri.org/\">" + escaped +
           "</string>";
}

} // namespace standin
