#include "keywords/keyword_lookup.h"

#include "app/form1.h"
#include "app/platform.h"

// Placeholder until the command is built.
namespace tarnwick {

void Text1_KeyPress(Form1&, Platform&, int&) {}
void Command2_Click(Form1&, Platform&) {}

}  // namespace tarnwick
