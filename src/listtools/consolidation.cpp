#include "listtools/consolidation.h"

#include "app/form1.h"
#include "app/platform.h"

// Placeholder until the command is built.
namespace tarnwick {

void Command6_Click(Form1&) {}

}  // namespace tarnwick
