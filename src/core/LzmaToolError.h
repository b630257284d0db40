#pragma once

#include <QString>

// Why an extraction or compression did not succeed.
struct LzmaToolError
{
    enum class Kind {
        MissingArchive,      // the archive file (or the source of a compression) does not exist
        UnsupportedFileType, // fileType outside 1 to 3
        WrongPassword,
        CorruptArchive,  // damaged, truncated or not an archive of the type
        NoSpace,         // the destination ran out of space
        UnsafeEntry,     // an item lies outside the package folder, is a link, or merges with another
        ToolUnavailable, // 7zz could not be started
        ToolFailed,      // any other failure of 7zz (see message and exitCode)
    };

    Kind kind = Kind::ToolFailed;
    QString message;   // the tool's own error lines, or our description
    int exitCode = -1; // 7zz's exit code; -1 when it did not run to an exit
};
