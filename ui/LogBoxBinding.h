#pragma once

class QPlainTextEdit;

namespace quorvane {

// Binds the activity log to its text box: after each write the newest line is scrolled into view,
// and lines logged by other threads are written by the GUI thread in batches, LogDrainDelayMs
// after the first line of a batch. A write never runs the event loop: the box is painted when
// the GUI thread gets back to it.
class ActivityLog;

void bindLogToTextBox(ActivityLog& log, QPlainTextEdit& textBox);

}  // namespace quorvane
