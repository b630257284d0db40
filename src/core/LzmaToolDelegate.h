#pragma once

#include "core/LzmaToolError.h"

#include <QString>

// Receiver of LzmaTool's progress and errors. Every method is optional. Calls arrive on the thread
// that runs the extraction or compression.
class LzmaToolDelegate
{
public:
    virtual ~LzmaToolDelegate() = default;

    // progress: share of the whole extraction done, 0 to 1; path: the archive item being extracted.
    virtual void decompressWithProgress(double progress, const QString &path) {}
    virtual void decompressErrorWithError(const LzmaToolError &error) {}
    virtual void compressWithProgress(double progress, const QString &path) {}
    virtual void compressErrorWithError(const LzmaToolError &error) {}
};
