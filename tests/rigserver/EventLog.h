// EventLog: records what a rig server or rig object raised, as short texts ("status 1",
// "params 2 FREQ|USB"), so a test can compare the whole sequence.
#pragma once

#include "omnirig/OmniRig_TLB.h"
#include "rigserver/core/RigObject.h"

#include <QStringList>

inline QString paramNames(std::int32_t params)
{
    QStringList names;
    for (int bit = 0; bit < 31; ++bit)
        if (params & (1 << bit))
            names << QString::fromLatin1(OmniRig::paramName(bit));
    return names.join(QLatin1Char('|'));
}

class EventLog final : public IOmniRigXEvents {
public:
    QStringList events;

    // Listens to one rig object's signals directly.
    void listen(RigObject &rig)
    {
        QObject::connect(&rig, &RigObject::rigTypeChanged, &rig, [this](int n) { OnRigTypeChange(n); });
        QObject::connect(&rig, &RigObject::statusChanged, &rig, [this](int n) { OnStatusChange(n); });
        QObject::connect(&rig, &RigObject::paramsChanged, &rig, [this](int n, int p) { OnParamsChange(n, p); });
    }

    int count(const QString &event) const { return static_cast<int>(events.count(event)); }

    void OnVisibleChange() override { events << QStringLiteral("visible"); }
    void OnRigTypeChange(int n) override { events << QStringLiteral("type %1").arg(n); }
    void OnStatusChange(int n) override { events << QStringLiteral("status %1").arg(n); }
    void OnParamsChange(int n, std::int32_t p) override
    {
        events << QStringLiteral("params %1 %2").arg(n).arg(paramNames(p));
    }
    void OnCustomReply(int n, const std::string &, const std::string &) override
    {
        events << QStringLiteral("custom %1").arg(n);
    }
};
