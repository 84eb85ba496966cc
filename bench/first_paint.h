#pragma once

// Shared by the start-up benchmark and the floor program, so both end the
// same way: quit as soon as the window's first paint is done, then report
// the peak resident memory.

#include <QCoreApplication>
#include <QEvent>
#include <QObject>
#include <QWidget>

#include <sys/resource.h>

#include <cstdio>

class QuitAfterFirstPaint : public QObject {
public:
    explicit QuitAfterFirstPaint(QWidget& window) { window.installEventFilter(this); }

protected:
    bool eventFilter(QObject*, QEvent* event) override {
        // The children paint in the same pass, so a queued quit runs after all
        // of the window has been painted and flushed.
        if (event->type() == QEvent::Paint) {
            QMetaObject::invokeMethod(QCoreApplication::instance(), &QCoreApplication::quit, Qt::QueuedConnection);
        }
        return false;
    }
};

inline void ReportPeakMemory() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    std::printf("peak_rss_kb %ld\n", usage.ru_maxrss);
}
