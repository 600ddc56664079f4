#pragma once
// The modal prompt for one line of text (caption, prompt, text box, OK and Cancel) on
// QInputDialog, and the masking of its text box while it is open.
#include <string>

// Shows the prompt modally; the text typed on OK, the default text on Cancel, Esc, the close box
// or an application shutdown.
std::string promptForText(const std::string& title, const std::string& prompt, const std::string& defaultText);

// Masks the text box of the application's open prompt with '*'; does nothing when no prompt is
// open. Returns whether a box was masked.
bool maskActivePromptEdit();
