#include "pages/results_page.h"

#include "app/form1.h"

// Placeholder until the builder is written.
namespace tarnwick {

void createpage(Form1&, Platform&) {}

}  // namespace tarnwick
