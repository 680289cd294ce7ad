#pragma once

#include <QString>

namespace tarnwick {

/// Why a completed response did or did not yield a spider record. The response handler
/// leaves the verdict of the last response it read in Form1::pageVerdict.
enum class PageVerdict {
    NotRead, // no completed response read yet
    Accepted,
    Empty,
    ServerError, // the first 1024 characters mention "500" or "internal server error"
    NoTitle,
    TitleRefused, // too short, or holding "<" or language="javascript"
    Filtered, // refused by the title filter
    NoDescription,
    DescriptionRefused, // too short, or holding markup
};

/// A short English text for reports, e.g. "no meta description".
QString pageVerdictText(PageVerdict verdict);

} // namespace tarnwick
