#include "rigserver/core/RigServer.h"

#include "ini/IniFile.h"
#include "rigserver/core/RigServerSettings.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

RigServer::RigServer(QString settingsPath, std::shared_ptr<const RigBackendFactory> backends,
                     SettingsDialogMaker makeDialog, RigShareMaker makeShare)
    : m_settingsPath(std::move(settingsPath)), m_makeDialog(std::move(makeDialog))
{
    const IniFile file(QFile::encodeName(m_settingsPath).toStdString());
    for (int n = 1; n <= 2; ++n) {
        auto rig = std::make_unique<RigObject>(n, RigServerSettings::load(file, n), backends);
        connect(rig.get(), &RigObject::rigTypeChanged, this,
                [this](int rigNumber) { raise([rigNumber](IOmniRigXEvents *s) { s->OnRigTypeChange(rigNumber); }); });
        connect(rig.get(), &RigObject::statusChanged, this,
                [this](int rigNumber) { raise([rigNumber](IOmniRigXEvents *s) { s->OnStatusChange(rigNumber); }); });
        connect(rig.get(), &RigObject::paramsChanged, this, [this](int rigNumber, int params) {
            raise([rigNumber, params](IOmniRigXEvents *s) { s->OnParamsChange(rigNumber, params); });
        });
        if (makeShare) {
            auto share = makeShare(*rig);
            if (share)
                share->configure(rig->settings());
            m_shares[static_cast<std::size_t>(n - 1)] = std::move(share);
        }
        m_rigs[static_cast<std::size_t>(n - 1)] = std::move(rig);
    }
}

RigServer::~RigServer()
{
    m_sinks.clear();
    m_window.reset();
    for (auto &share : m_shares)
        share.reset();
    // Both rigs let go of their radios at once, so a radio that does not answer delays the end only once.
    for (auto &rig : m_rigs)
        rig->stop();
    for (auto &rig : m_rigs)
        rig->cutAfterUnkeying();
}

template <typename Call> void RigServer::raise(Call call)
{
    // A sink may subscribe or unsubscribe others, or itself, while it handles the event.
    const auto sinks = m_sinks;
    for (const auto &[cookie, sink] : sinks) {
        const bool stillSubscribed =
            std::any_of(m_sinks.begin(), m_sinks.end(), [c = cookie](const auto &entry) { return entry.first == c; });
        if (!stillSubscribed)
            continue;
        try {
            call(sink);
        } catch (const std::exception &) {
            // One client's failure must not keep the event from the others, nor reach the event loop.
        }
    }
}

int RigServer::Advise(IOmniRigXEvents *sink)
{
    if (!sink)
        throw OmniRigError("No event sink");
    const int cookie = m_nextCookie++;
    m_sinks.emplace_back(cookie, sink);
    if (!m_started) {
        // Polling starts with the first client, so it hears the first status change. A rig with nothing to
        // open (no rig, an unknown model, disabled) would never raise one, so the first client hears each
        // rig's start state as events too; after Advise has returned, before anything a worker publishes.
        m_started = true;
        QMetaObject::invokeMethod(
            this,
            [this] {
                for (int n = 1; n <= 2; ++n) {
                    raise([n](IOmniRigXEvents *s) { s->OnRigTypeChange(n); });
                    raise([n](IOmniRigXEvents *s) { s->OnStatusChange(n); });
                }
            },
            Qt::QueuedConnection);
        for (auto &rig : m_rigs)
            rig->start();
    }
    return cookie;
}

void RigServer::Unadvise(int cookie)
{
    std::erase_if(m_sinks, [cookie](const auto &entry) { return entry.first == cookie; });
}

void RigServer::reconfigure(int rigNumber, const RigSettings &settings)
{
    RigObject *target = rig(rigNumber);
    if (target->settings() == settings)
        return;
    target->configure(settings);
    if (RigShare *shared = share(rigNumber))
        shared->configure(settings);
}

void RigServer::applySettings(int rigNumber, const RigSettings &settings)
{
    // Should the folder not be made, the write says so with the file's name.
    QDir().mkpath(QFileInfo(m_settingsPath).absolutePath());
    IniFile file(QFile::encodeName(m_settingsPath).toStdString());
    RigServerSettings::save(file, rigNumber, settings);
    // Only now: a rig never runs on settings the file does not hold.
    reconfigure(rigNumber, settings);
}

SettingsDialog *RigServer::settingsWindow()
{
    if (!m_window && m_makeDialog) {
        m_window = m_makeDialog(*this);
        if (m_window)
            m_window->onShownChanged([this] { raise([](IOmniRigXEvents *s) { s->OnVisibleChange(); }); });
    }
    return m_window.get();
}

bool RigServer::DialogVisible()
{
    return m_window && m_window->isShown();
}

void RigServer::SetDialogVisible(bool visible)
{
    if (!visible) {
        if (m_window)
            m_window->setShown(false);
        return;
    }
    SettingsDialog *window = settingsWindow();
    if (!window)
        throw OmniRigError("The rig server has no settings window");
    window->setShown(true);
}
