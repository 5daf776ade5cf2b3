// "Is Orvantis already running on this desktop?" answered with a lock file.
//
// The marker is a lock file in the user's runtime folder ($XDG_RUNTIME_DIR;
// without one a private folder in the temporary folder, or, when somebody
// else holds those names there, one in the user's cache folder), named after
// the full window
// title and the display, so that each desktop of a user (each X display or
// Wayland socket) has its own instance. The claiming process keeps the lock
// for as long as it lives; the kernel releases it when the process dies in
// whatever way, and a lock left behind by a killed instance is recovered at
// the next start.
//
// Beside the lock file the holder listens on a socket of the same name. A
// start connects there to see whether the holder is alive, and a refused
// start writes "show\n" to ask it for its window (AskHolderToShow). Only the
// user can reach the folder, and the holder also checks that a peer runs as
// the same user; it reads without ever waiting, at most the request's five
// bytes, and drops a peer that sends anything else, stays silent for two
// seconds, or comes while four others are still open.
#pragma once

#include "platform/single_instance.h"

#include <QString>

#include <memory>

class QLockFile;
class QSocketNotifier;

namespace orvantis {

class LockFileSingleInstance final : public SingleInstance {
    Q_OBJECT
public:
    explicit LockFileSingleInstance(const QString& fullTitle);
    ~LockFileSingleInstance() override;

    // True when this process now holds the marker (also when it held it
    // already), false when a live instance holds it. When no marker can be
    // made at all (no usable folder, no permission), this answers true: better
    // a second instance than a program that can never start.
    bool TryClaim() override;
    bool AskHolderToShow() override;

    // The display part of the marker's name: $WAYLAND_DISPLAY when set, else
    // $DISPLAY without its screen number (":0.0" and ":0" are one display).
    static QString displayName();
    // Where the lock file goes (empty when no usable folder exists).
    static QString markerFolder();
    QString lockFilePath() const;  // empty when no usable folder exists
    QString serverPath() const;

private:
    class Peer;

    int connectToHolder() const;
    bool holderAnswers() const;
    bool takeOverDeadLock();
    void listen();
    void acceptPeers();

    QString base_; // folder + "/" + file name without extension
    std::unique_ptr<QLockFile> lock_;
    // The socket that tells later starts this holder is alive (see
    // holderAnswers) and takes their requests.
    int listenFd_ = -1;
    QSocketNotifier* notifier_ = nullptr;
    int openPeers_ = 0;
    QObject peers_; // parent of the connections, each a Peer
};

} // namespace orvantis
