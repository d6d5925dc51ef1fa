// Descriptor: a POSIX file descriptor closed on every way out of a scope, unless taken. For the POSIX files
// of every library (the settings file's store, the one-instance mark); C++ and the system's headers only.
#pragma once

#include <unistd.h>

#include <utility>

class Descriptor {
public:
    explicit Descriptor(int fd = -1) : m_fd(fd) {}
    Descriptor(Descriptor &&other) noexcept : m_fd(std::exchange(other.m_fd, -1)) {}
    Descriptor(const Descriptor &) = delete;
    Descriptor &operator=(const Descriptor &) = delete;
    Descriptor &operator=(Descriptor &&) = delete;
    ~Descriptor()
    {
        if (m_fd >= 0)
            ::close(m_fd);
    }

    int get() const { return m_fd; }
    bool isValid() const { return m_fd >= 0; }
    // Gives the descriptor up to the caller, who closes it.
    int take() { return std::exchange(m_fd, -1); }
    // Closes it now. close() can report a write error of its own (NFS), so a replace must see its result.
    bool close() { return ::close(take()) == 0; }

private:
    int m_fd;
};
