#include "spider/response_handler.h"

#include "app/form1.h"
#include "app/platform.h"

// Placeholder until the command is built.
namespace tarnwick {

void Inet1_StateChanged(Form1&, Platform&, int) {}
void attachResponseHandler(Form1&, Platform&) {}

}  // namespace tarnwick
