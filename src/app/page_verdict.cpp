#include "app/page_verdict.h"

namespace tarnwick {

namespace {

struct VerdictRow {
    PageVerdict verdict;
    const char* text;
};

const VerdictRow kVerdicts[] = {
    { PageVerdict::NotRead, "no page read" },
    { PageVerdict::Accepted, "accepted" },
    { PageVerdict::Empty, "empty page" },
    { PageVerdict::ServerError, "server error page" },
    { PageVerdict::NoTitle, "no title" },
    { PageVerdict::TitleRefused, "title too short or holding markup" },
    { PageVerdict::Filtered, "title refused by the filter" },
    { PageVerdict::NoDescription, "no meta description" },
    { PageVerdict::DescriptionRefused, "description too short or holding markup" },
};

} // namespace

QString pageVerdictText(PageVerdict verdict)
{
    for (const VerdictRow& row : kVerdicts) {
        if (row.verdict == verdict)
            return QString::fromLatin1(row.text);
    }
    return {};
}

} // namespace tarnwick
