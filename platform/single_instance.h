// "Is Orvantis already running on this desktop?", and a way for a start that
// is refused to hand the user over to the instance that runs.
#pragma once

#include <QObject>
#include <QString>

namespace orvantis {

class SingleInstance : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;
    // Claims the running-instance marker for this process. Returns false when
    // another live instance holds it (shown or hidden in the tray). Atomic:
    // of several processes starting at once exactly one gets true.
    virtual bool TryClaim() = 0;
    // After a refused claim: asks the instance that holds the marker to bring
    // its window back to the front. Returns whether the request was handed
    // over; the holder acts on it when its event loop next runs.
    virtual bool AskHolderToShow() = 0;

Q_SIGNALS:
    // A later start was refused and asked for this instance's window.
    void showRequested();
};

} // namespace orvantis
