#include "harvest/url_harvest.h"

#include "app/form1.h"
#include "app/platform.h"

// Placeholder until the command is built.
namespace tarnwick {

void Command1_Click(Form1&, Platform&) {}

}  // namespace tarnwick
