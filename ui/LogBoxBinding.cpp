#include "ui/LogBoxBinding.h"

#include <QCoreApplication>
#include <QMetaObject>
#include <QPlainTextEdit>
#include <QPointer>
#include <QScrollBar>

#include "log/ActivityLog.h"

void bindLogToTextBox(ActivityLog& log, QPlainTextEdit& textBox) {
    QPlainTextEdit* box = &textBox;
    log.onScroll = [box] { box->verticalScrollBar()->setValue(box->verticalScrollBar()->maximum()); };
    log.onPump = [] { QCoreApplication::processEvents(); };
    // Runs on any thread: the drain is queued to the box's (the GUI) thread and dropped if the box
    // is gone by then.
    ActivityLog* target = &log;
    log.onWake = [box, target] {
        QMetaObject::invokeMethod(box, [target] { target->drainPending(); }, Qt::QueuedConnection);
    };
}
