#include "app/program_info.h"

namespace tarnwick {

QString versionText(const char* program)
{
    return QStringLiteral("%1 %2\n"
                          "Copyright 2026 Tarnwick developers. No licence has been chosen yet: all rights\n"
                          "reserved.\n")
        .arg(QLatin1String(program), QStringLiteral(TARNWICK_VERSION));
}

QString environmentHelp()
{
    return QStringLiteral(
        "Environment:\n"
        "  TARNWICK_HOME            the program's folder when --home is not given\n"
        "  TARNWICK_SEARCH_BASE     base address of the worldwide search site the Classic\n"
        "                           result source reads (default http://www.google.com);\n"
        "                           also the UK one's when TARNWICK_SEARCH_BASE_UK is unset\n"
        "  TARNWICK_SEARCH_BASE_UK  base address of the UK search site\n"
        "                           (default http://www.google.co.uk)\n"
        "  TARNWICK_SUGGEST_BASE    base address of the Classic keyword suggestion service\n"
        "  TARNWICK_CACHE_DIR       folder of the keyword lookup's suggestion file\n"
        "                           (default: tarnwick in the user's cache folder)\n");
}

} // namespace tarnwick
