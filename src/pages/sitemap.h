#pragma once

namespace tarnwick {

class Form1;
class Platform;

/// Writes the sitemap page from the sitemap link list and the template.
void createsitemap(Form1& f, Platform& p);

} // namespace tarnwick
