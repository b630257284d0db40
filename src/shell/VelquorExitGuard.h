#pragma once

class VelquorDownloadDataBaseManager;
class VelquorDownloadManager;

// Whether quitting now would break work in progress, so the user is asked first: a transfer is
// running (a stored row downloading), a vehicle's parts are being joined into its archive, or a
// vehicle is queued for or under extraction (the extraction set is not empty, or a shown row is
// extracting or waiting to be installed); closing then would leave a half-written package on the
// card.
class VelquorExitGuard
{
public:
    // The shared database and download manager unless a test passes its own.
    static bool workInProgress(VelquorDownloadDataBaseManager *database = nullptr,
                               const VelquorDownloadManager *manager = nullptr);
};
