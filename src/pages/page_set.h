#pragma once

#include <QString>

#include <vector>

namespace tarnwick {

class Form1;
class Platform;

/// How writing a set of pages ended.
enum class Publishing {
    Refused, ///< no records, text that is not spider data, or a check failed: nothing written
    Written, ///< every results page and the sitemap
    Failed, ///< a page or the sitemap could not be written; f.pageFailure says which and why
    Stopped, ///< Stop All
    WindowClosed,
};

/// One record as it goes on a results page.
struct PageRecord {
    QString text; ///< as a run with pages appends it to the spider data, empty line and all
    QString title; ///< the title a page it leads takes; empty for a record that holds none
};

/// Writes every record onto results pages of `perPage` each, in order, then the sitemap page
/// and, with a site address, sitemap.xml dated today: the pages a run writes from the same
/// records, built by the run's own builder and named by the ordinal of each page's last
/// record, with a last, shorter page for records left over. A page led by a record without a
/// title is titled by the sitemap heading. The page settings have been checked and the
/// output folder made. Ends with the run's message for a page not written or a stop, or one
/// that says what was written.
Publishing writePageSet(Form1& f, Platform& p, const std::vector<PageRecord>& records, int perPage);

} // namespace tarnwick
