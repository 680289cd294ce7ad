#include "pages/sitemap.h"

#include "app/form1.h"

// Placeholder until the builder is written.
namespace tarnwick {

void createsitemap(Form1&, Platform&) {}

}  // namespace tarnwick
