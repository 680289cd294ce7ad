#pragma once

namespace tarnwick {

class Form1;
class Platform;

/// Writes the next numbered results page from the spider data and the template, and
/// appends its link to the sitemap link list.
void createpage(Form1& f, Platform& p);

} // namespace tarnwick
