#include "rigserver/backends/CallInterrupter.h"

#include <cerrno>
#include <csignal>

#include <fcntl.h>
#include <pthread.h>
#include <sys/stat.h>
#include <unistd.h>

// glibc before 2.38 has the member but not its POSIX-style name.
#ifndef sigev_notify_thread_id
#define sigev_notify_thread_id _sigev_un._tid
#endif

namespace {

// Often enough that a library which retries and sleeps after each failure unwinds in a few dozen
// milliseconds, rarely enough to cost nothing.
constexpr long NudgeIntervalNs = 5'000'000;

// A real-time signal that nothing else in the program uses (glibc keeps the lowest ones for itself).
int nudgeSignal()
{
    return SIGRTMAX - 1;
}

// A directory opened read-only: select() finds it readable at once, read() fails with EISDIR and write()
// with EBADF, so a library reading from it gets an error at once instead of waiting for a radio.
std::atomic<int> g_failingDescriptor{-1};

thread_local CallInterrupter *t_current = nullptr;

} // namespace

CallInterrupter::~CallInterrupter()
{
    std::lock_guard lock(m_mutex);
    if (m_nudging)
        ::timer_delete(m_timer);
}

CallInterrupter::Scope::Scope(CallInterrupter &owner, bool evenIfInterrupted)
    : m_owner(owner), m_proceed(owner.enter(evenIfInterrupted))
{
}

CallInterrupter::Scope::~Scope()
{
    if (m_proceed)
        m_owner.leave();
}

void CallInterrupter::watch(const int *descriptor, dev_t device, ino_t inode)
{
    m_descriptor = descriptor;
    m_device = device;
    m_inode = inode;
}

bool CallInterrupter::enter(bool evenIfInterrupted)
{
    std::lock_guard lock(m_mutex);
    if (m_interrupted && !evenIfInterrupted)
        return false;
    m_inCall = true;
    m_callThread = ::gettid();
    t_current = this;
    if (m_interrupted)
        startNudging();
    return true;
}

void CallInterrupter::leave()
{
    std::lock_guard lock(m_mutex);
    m_inCall = false;
    t_current = nullptr;
    stopNudging();
}

void CallInterrupter::interrupt()
{
    m_interrupted = true;
    std::lock_guard lock(m_mutex);
    if (m_inCall)
        startNudging();
}

void CallInterrupter::startNudging()
{
    if (m_nudging)
        return;
    static std::once_flag once;
    std::call_once(once, [] {
        g_failingDescriptor = ::open("/", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        struct sigaction action {};
        action.sa_handler = &CallInterrupter::onSignal;
        sigemptyset(&action.sa_mask);
        action.sa_flags = 0; // no SA_RESTART: the interrupted system call must return
        ::sigaction(nudgeSignal(), &action, nullptr);
    });
    sigevent event{};
    event.sigev_notify = SIGEV_THREAD_ID;
    event.sigev_signo = nudgeSignal();
    event.sigev_notify_thread_id = m_callThread;
    if (::timer_create(CLOCK_MONOTONIC, &event, &m_timer) != 0)
        return;
    itimerspec every{};
    every.it_value.tv_nsec = 1000; // at once
    every.it_interval.tv_nsec = NudgeIntervalNs;
    ::timer_settime(m_timer, 0, &every, nullptr);
    m_nudging = true;
}

void CallInterrupter::stopNudging()
{
    if (!m_nudging)
        return;
    ::timer_delete(m_timer);
    m_nudging = false;
    // A signal sent before the timer went may still be pending: take it now, so it does not cut short the
    // next call this thread makes (for the next radio).
    sigset_t nudge;
    sigemptyset(&nudge);
    sigaddset(&nudge, nudgeSignal());
    sigset_t before;
    ::pthread_sigmask(SIG_BLOCK, &nudge, &before);
    const timespec noWait{};
    while (::sigtimedwait(&nudge, nullptr, &noWait) > 0) {
    }
    ::pthread_sigmask(SIG_SETMASK, &before, nullptr);
}

void CallInterrupter::onSignal(int)
{
    const int savedErrno = errno;
    if (const CallInterrupter *current = t_current; current && current->m_interrupted.load(std::memory_order_relaxed))
        current->cutPort();
    errno = savedErrno;
}

void CallInterrupter::cutPort() const
{
    if (!m_descriptor)
        return;
    const int descriptor = *static_cast<const volatile int *>(m_descriptor);
    const int failing = g_failingDescriptor.load(std::memory_order_relaxed);
    struct stat status {};
    if (descriptor < 0 || failing < 0 || descriptor == failing || ::fstat(descriptor, &status) != 0)
        return;
    // Runs on the thread that owns the descriptor, between two of its instructions: the library cannot
    // close the number before dup2 replaces what it names.
    if (status.st_dev == m_device && status.st_ino == m_inode)
        ::dup2(failing, descriptor);
}
