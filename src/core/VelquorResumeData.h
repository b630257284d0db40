#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

// What a paused transfer needs to continue: stored in a record's resumeData as a small versioned
// JSON blob, so a later run of the application resumes too.
struct VelquorResumeData
{
    static constexpr int CurrentVersion = 1;

    QString url;
    QString partialPath;  // the file beside the archive that holds the bytes received so far
    qint64 offset = 0;    // bytes in that file
    QString etag;         // validator of the answer the bytes came from (strong ETag) ...
    QString lastModified; // ... or its Last-Modified date

    QByteArray encode() const;
    // Absent for empty, foreign or damaged data, and for data of another version.
    static std::optional<VelquorResumeData> decode(const QByteArray &data);

    // The If-Range value: the ETag when there is one, else the date; empty when neither.
    QString validator() const;
};
