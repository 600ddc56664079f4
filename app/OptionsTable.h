#pragma once
// The option table and the command line's reading, shared by the options and the configuration
// file that feeds them.
#include <QCommandLineOption>
#include <QList>
#include <string>
#include <vector>

#include "app/Options.h"

namespace quorvane {

// Every option in the help's order; a description's further lines follow its '\n's.
QList<QCommandLineOption> optionTable();
// args alone (no configuration file read), each value checked; raises UsageError.
Options readCommandLine(const std::vector<std::string>& args);

}  // namespace quorvane
