#pragma once

#include "support/tempdir.h"

#include <QString>

namespace testsupport {

// A small file system of its own (a size-limited tmpfs mounted at a folder
// of the test), so that a write can really meet a full disk or a refusal.
// Mounting needs the right to mount: where it is missing, reason() says why
// and the test is skipped.
// Where this process lacks the right to mount (it is not root), runs the
// current test again in a user and mount namespace of its own (unshare
// --user --map-root-user --mount), where its small file systems can be
// mounted, and reports that run's outcome here: true when it did so, and the
// test then ends. False when the test is to run here: as root, inside such a
// namespace already, or where no namespace can be made (SmallDisk then says
// why the disk cases are not run).
bool rerunInOwnNamespace();

class SmallDisk {
public:
    // Mounted at a folder of its own, or over the folder at, which it hides
    // while it is mounted (the folder is made when missing).
    explicit SmallDisk(qint64 bytes = 4 * 1024 * 1024, const QString &at = QString());
    ~SmallDisk();
    SmallDisk(const SmallDisk &) = delete;
    SmallDisk &operator=(const SmallDisk &) = delete;

    bool mounted() const { return mounted_; }
    const QString &reason() const { return reason_; }
    QString path() const { return root_; }
    QString file(const QString &name) const { return root_ + u'/' + name; }

    // Fills the disk with a file of its own until no more than leftBytes are
    // free; free() removes it again.
    void fill(qint64 leftBytes = 0);
    void free();
    // Makes the whole file system refuse every write (read-only), or accept
    // them again.
    void setReadOnly(bool readOnly);

private:
    TempDir dir_;
    QString root_;
    qint64 bytes_;
    bool mounted_ = false;
    QString reason_;
};

}  // namespace testsupport

// A small disk for the test that follows: the test runs again in a namespace
// of its own where it cannot mount here, and is skipped, saying why, where
// no disk can be mounted at all.
#define SMALL_DISK(name, bytes, ...)                                                                                    \
    if (testsupport::rerunInOwnNamespace())                                                                          \
        return;                                                                                                      \
    testsupport::SmallDisk name(bytes __VA_OPT__(, ) __VA_ARGS__);                                                   \
    if (!name.mounted())                                                                                             \
    GTEST_SKIP() << name.reason().toStdString()

