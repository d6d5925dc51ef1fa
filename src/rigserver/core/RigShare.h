// RigShare: one rig shared with other programs (loggers, digital-mode programs) through the rigctld
// protocol, as the rig server sees it.
//
// Responsibilities: listen where the rig's settings say (Share, SharePort, ShareAddress), or not at all;
// say how many programs are connected, how many were turned away, and why the rig is not shared although it
// should be.
// Collaborations: RigServer makes one per rig through the maker it is given, hands it every new setting of
// its rig and lets the settings window read it. The share layer (rigserver/share) implements it over a
// RigObject, so that the server's core needs no networking.
// Threads: GUI thread.
#pragma once

#include "rigserver/core/RigSettings.h"

#include <QObject>
#include <QString>

#include <functional>
#include <memory>

class RigObject;

class RigShare : public QObject {
    Q_OBJECT

public:
    using QObject::QObject;

    // Starts, moves or stops the listener; a setting that does not concern sharing changes nothing here.
    virtual void configure(const RigSettings &settings) = 0;
    virtual int clientCount() const = 0;
    // The programs turned away because every place was taken, since the rig was last shared anew.
    virtual int turnedAwayCount() const = 0;
    // Why the rig is not shared as its settings ask ("127.0.0.1:4532 is in use"), or an empty text.
    virtual QString problem() const = 0;

signals:
    // The number of clients, of those turned away or the problem changed.
    void changed();
};

// Makes the share of a rig; called once per rig when the server is made. The rig outlives its share.
using RigShareMaker = std::function<std::unique_ptr<RigShare>(RigObject &rig)>;
