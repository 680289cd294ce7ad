#include "files/file_commands.h"

#include "app/form1.h"
#include "app/platform.h"

// Placeholder until the command is built.
namespace tarnwick {

void mnuOpenKeywords_Click(Form1&, Platform&) {}
void mnuSaveKeywords_Click(Form1&, Platform&) {}
void mnuClearKeywords_Click(Form1&, Platform&) {}
void mnuOpenURLs_Click(Form1&, Platform&) {}
void mnuSaveURLs_Click(Form1&, Platform&) {}
void mnuClearURLs_Click(Form1&, Platform&) {}
void mnuOpenSpiderData_Click(Form1&, Platform&) {}
void mnuSaveSpiderData_Click(Form1&, Platform&) {}
void mnuClearSpiderData_Click(Form1&, Platform&) {}
void mnuOpenTemplate_Click(Form1&, Platform&) {}
void mnuSaveTemplate_Click(Form1&, Platform&) {}
void mnuClearTemplate_Click(Form1&, Platform&) {}

}  // namespace tarnwick
