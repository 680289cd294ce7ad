#include "listtools/clipboard_export.h"

#include "app/form1.h"
#include "app/platform.h"

// Placeholder until the command is built.
namespace tarnwick {

void Command5_Click(Form1&, Platform&) {}

}  // namespace tarnwick
