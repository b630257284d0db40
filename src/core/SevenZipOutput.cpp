#include "SevenZipOutput.h"

#include <QRegularExpression>

QList<SevenZipOutput::Progress> SevenZipOutput::feed(const QByteArray &bytes)
{
    QList<Progress> updates;
    m_pending.append(bytes);
    qsizetype start = 0;
    for (qsizetype i = 0; i < m_pending.size(); ++i) {
        const char c = m_pending.at(i);
        if (c != '\b' && c != '\r' && c != '\n')
            continue;
        Progress progress;
        if (i > start && parseUpdate(QString::fromUtf8(m_pending.constData() + start, i - start), &progress))
            updates.append(progress);
        start = i + 1;
    }
    m_pending.remove(0, start);
    return updates;
}

bool SevenZipOutput::parseUpdate(const QString &text, Progress *progress)
{
    // "NN%" optionally followed by the item count, the operation mark and the item's path.
    static const QRegularExpression update(
        QStringLiteral(R"(^\s*(\d{1,3})%(?:\s+\d+)?(?:\s+(?:[-+=U.]\s+)?(.*?))?\s*$)"));
    const auto match = update.match(text);
    if (!match.hasMatch())
        return false;
    const int percent = match.captured(1).toInt();
    if (percent > 100)
        return false;
    progress->fraction = percent / 100.0;
    progress->path = match.captured(2);
    return true;
}

namespace {

// A Unix mode as 7-Zip prints it: "drwxr-xr-x", "lrwxrwxrwx", "-rw-r--r--".
bool isUnixMode(QStringView text)
{
    static const QRegularExpression mode(QStringLiteral(R"(^[-dlcbps?][-rwxsStT]{9}$)"));
    return mode.match(text.toString()).hasMatch();
}

void readProperty(SevenZipOutput::ListedItem &item, QStringView key, QStringView value)
{
    if (key == u"Folder") {
        item.folder = value == u"+";
    } else if (key == u"Attributes") {
        // Windows letters (D: folder, L: reparse point), then the Unix mode when there is one.
        for (const QStringView token : value.split(u' ', Qt::SkipEmptyParts)) {
            if (isUnixMode(token)) {
                item.folder = item.folder || token.front() == u'd';
                item.link = item.link || token.front() == u'l';
            } else {
                item.folder = item.folder || token.contains(u'D');
                item.link = item.link || token.contains(u'L');
            }
        }
    } else if (key == u"Mode") {
        item.folder = item.folder || value.startsWith(u'd');
        item.link = item.link || value.startsWith(u'l');
    } else if (key == u"Symbolic Link" || key == u"Hard Link") {
        item.link = item.link || !value.isEmpty();
    }
}

} // namespace

QList<SevenZipOutput::ListedItem> SevenZipOutput::parseListing(const QByteArray &listing)
{
    // The archive's own properties come first; its items follow the dashed line, one block of
    // "Key = Value" lines each, every block starting with its path.
    QList<ListedItem> items;
    bool inItems = false;
    for (const QByteArray &rawLine : listing.split('\n')) {
        QString line = QString::fromUtf8(rawLine);
        if (line.endsWith(QLatin1Char('\r')))
            line.chop(1);
        if (!inItems) {
            inItems = line == QLatin1String("----------");
            continue;
        }
        const qsizetype equals = line.indexOf(QLatin1String(" = "));
        const qsizetype bare = line.endsWith(QLatin1String(" =")) ? line.size() - 2 : -1;
        const qsizetype split = equals >= 0 ? equals : bare;
        if (split < 0)
            continue;
        const QStringView key = QStringView(line).left(split);
        const QStringView value = equals >= 0 ? QStringView(line).mid(equals + 3) : QStringView();
        if (key == u"Path") {
            items.append({value.toString(), false, false});
            continue;
        }
        if (!items.isEmpty())
            readProperty(items.last(), key, value);
    }
    return items;
}

bool SevenZipOutput::isWrongPassword(const QString &errorText)
{
    return errorText.contains(QLatin1String("Wrong password"), Qt::CaseInsensitive);
}

bool SevenZipOutput::isCorruptArchive(const QString &errorText)
{
    static const char *const markers[] = {
        "Data Error",
        "CRC Failed",
        "Headers Error",
        "Unexpected end of archive",
        "Can not open the file as",
        "Cannot open the file as",
        "Can't open as archive",
        "Is not archive",
        "Unsupported Method",
        "There are some data after the end of the payload data",
    };
    for (const char *marker : markers) {
        if (errorText.contains(QLatin1String(marker), Qt::CaseInsensitive))
            return true;
    }
    return false;
}

bool SevenZipOutput::isNoSpace(const QString &errorText)
{
    return errorText.contains(QLatin1String("No space left on device"), Qt::CaseInsensitive) ||
           errorText.contains(QLatin1String("not enough space on the disk"), Qt::CaseInsensitive);
}

bool SevenZipOutput::isUnsupportedAttributeComplaint(const QString &line)
{
    // "ERROR: Cannot set file attribute : errno=38 : Function not implemented : card/Scan/FORD"
    static const QRegularExpression complaint(
        QStringLiteral(R"(^\s*ERROR:\s*Can(?:not| not) set file attributes?\s*:\s*errno=(\d+)\b)"),
        QRegularExpression::CaseInsensitiveOption);
    constexpr int NotPermitted = 1;    // EPERM
    constexpr int NotImplemented = 38; // ENOSYS
    constexpr int NotSupported = 95;   // EOPNOTSUPP
    const auto match = complaint.match(line);
    if (!match.hasMatch())
        return false;
    const int error = match.captured(1).toInt();
    return error == NotPermitted || error == NotImplemented || error == NotSupported;
}

LzmaToolError SevenZipOutput::errorFor(int exitCode, const QString &errorText)
{
    LzmaToolError error;
    error.exitCode = exitCode;
    error.message = errorText.trimmed();
    // The order matters: a wrong password also makes 7-Zip report a data error.
    if (isNoSpace(errorText))
        error.kind = LzmaToolError::Kind::NoSpace;
    else if (isWrongPassword(errorText))
        error.kind = LzmaToolError::Kind::WrongPassword;
    else if (isCorruptArchive(errorText))
        error.kind = LzmaToolError::Kind::CorruptArchive;
    else
        error.kind = LzmaToolError::Kind::ToolFailed;
    if (error.message.isEmpty())
        error.message = QStringLiteral("7zz ended with exit code %1").arg(exitCode);
    return error;
}
