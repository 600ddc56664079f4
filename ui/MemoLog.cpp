#include "ui/MemoLog.h"

#include <QCoreApplication>
#include <QMetaObject>
#include <QPlainTextEdit>
#include <QPointer>
#include <QScrollBar>

#include "ui/ActivityLog.h"

void BindLogToMemo(TActivityLog& log, QPlainTextEdit& memo) {
    QPlainTextEdit* box = &memo;
    log.OnScroll = [box] { box->verticalScrollBar()->setValue(box->verticalScrollBar()->maximum()); };
    log.OnPump = [] { QCoreApplication::processEvents(); };
    // Runs on any thread: the drain is queued to the box's (the GUI) thread and dropped if the box
    // is gone by then.
    TActivityLog* target = &log;
    log.OnWake = [box, target] {
        QMetaObject::invokeMethod(box, [target] { target->DrainPending(); }, Qt::QueuedConnection);
    };
}
