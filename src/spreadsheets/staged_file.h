#pragma once

#include "base/status.h"

#include <QString>

// A file written under a temporary name beside its destination and renamed over it only
// when complete, so that a failed or stopped export leaves no partial file and an
// existing file is replaced whole or not at all.
class StagedFile {
public:
    explicit StagedFile(QString destination);
    ~StagedFile(); // removes the temporary file unless committed

    StagedFile(const StagedFile&) = delete;
    StagedFile& operator=(const StagedFile&) = delete;

    // Creates the empty temporary file; its path is then temporaryPath().
    Status create();
    const QString& temporaryPath() const { return temporary_; }
    // Flushes the temporary file to the disk and renames it to the destination.
    Status commit();
    void discard();

private:
    QString destination_;
    QString temporary_;
};
