#include "ui/LogBoxBinding.h"

#include <QMetaObject>
#include <QPlainTextEdit>
#include <QPointer>
#include <QScrollBar>
#include <QTimer>

#include "log/ActivityLog.h"

namespace quorvane {

void bindLogToTextBox(ActivityLog& log, QPlainTextEdit& textBox) {
    QPlainTextEdit* box = &textBox;
    log.onScroll = [box] { box->verticalScrollBar()->setValue(box->verticalScrollBar()->maximum()); };
    // Runs on any thread, once per batch: the box's (the GUI) thread is asked to drain after
    // LogDrainDelayMs, so that the lines logged meanwhile join the batch without waking it again.
    // Dropped if the box is gone by then.
    ActivityLog* target = &log;
    log.onWake = [box, target] {
        QMetaObject::invokeMethod(
            box, [box, target] { QTimer::singleShot(LogDrainDelayMs, box, [target] { target->drainPending(); }); },
            Qt::QueuedConnection);
    };
}

}  // namespace quorvane
