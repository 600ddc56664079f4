#pragma once
// Binds the activity log to its text box: after each write the newest line is scrolled into view,
// a write on the GUI thread lets the event loop run, and lines logged by other threads are
// written by the GUI thread in batches, LogDrainDelayMs after the first line of a batch.
class QPlainTextEdit;
class ActivityLog;

void bindLogToTextBox(ActivityLog& log, QPlainTextEdit& textBox);
