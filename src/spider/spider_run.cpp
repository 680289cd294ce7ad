#include "spider/spider_run.h"

#include "app/form1.h"
#include "app/platform.h"

// Placeholder until the command is built.
namespace tarnwick {

bool DirExists(const QString&) { return false; }
void Command3_Click(Form1&, Platform&) {}

}  // namespace tarnwick
