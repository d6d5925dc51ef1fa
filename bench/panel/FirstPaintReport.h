// FirstPaintReport: what a program measured by bench_panel_startup prints about itself. On its window's first
// paint it prints "shown"; a second later, once start-up has settled (the rigs polled, the first events
// handled), "resident <kB> peak <kB>" from /proc/self/status, and it quits.
// Threads: GUI thread.
#pragma once

#include <QCoreApplication>
#include <QEvent>
#include <QFile>
#include <QTimer>
#include <QWidget>

#include <cstdio>

class FirstPaintReport : public QObject {
public:
    static constexpr int SettleMs = 1000;

    explicit FirstPaintReport(QWidget *window) { window->installEventFilter(this); }

    // A figure of /proc/self/status in kB: "VmRSS" now, "VmHWM" at the peak so far.
    static long statusKilobytes(const QByteArray &key)
    {
        QFile status(QStringLiteral("/proc/self/status"));
        if (!status.open(QIODevice::ReadOnly))
            return -1;
        for (const QByteArray &line : status.readAll().split('\n'))
            if (line.startsWith(key + ':'))
                return line.mid(key.size() + 1).trimmed().split(' ').value(0).toLong();
        return -1;
    }

protected:
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() == QEvent::Paint && !m_done) {
            m_done = true;
            std::puts("shown");
            std::fflush(stdout);
            QTimer::singleShot(SettleMs, [] {
                std::printf("resident %ld peak %ld\n", statusKilobytes("VmRSS"), statusKilobytes("VmHWM"));
                std::fflush(stdout);
                QCoreApplication::exit(0);
            });
        }
        return false;
    }

private:
    bool m_done = false;
};
