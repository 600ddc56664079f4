#pragma once

namespace quorvane {

// Whether the display the environment names can be opened, asked before the application object
// is built: Qt ends the program when its platform cannot start, so the question is put to a
// child process that only builds one, with its output discarded.

// True when the child's platform started (or could not be asked); false when it failed.
bool displayOpens(int argc, char** argv);

}  // namespace quorvane
