#include "ui/window_help.h"

#include "app/program_info.h"

#include <cstring>

namespace tarnwick {

QString windowHelp()
{
    return QStringLiteral(
               "Usage: tarnwick [--home DIR]\n"
               "\n"
               "Opens Tarnwick's window, which builds keyword-focused web pages out of search\n"
               "results: a seed keyword becomes related search terms, the terms become result\n"
               "URLs, the spider keeps each URL's title and description, and with \"Create\n"
               "pages:\" ticked these become numbered HTML pages from your template, a sitemap\n"
               "page and, with a \"Site address:\", a sitemap.xml for search engines.\n"
               "tarnwick-cli runs the same commands without a window.\n"
               "\n"
               "Exit status:\n"
               "  0      the window was closed with Quit, or the help or the version was printed\n"
               "  not 0  the window could not be opened, for example without a display\n"
               "\n"
               "Options:\n"
               "  --home DIR  the program's folder, where dialogs start and page folders are made\n"
               "  -h, --help  print this help and exit\n"
               "  --version   print the version and exit\n"
               "\n")
        + environmentHelp()
        + QStringLiteral("\n"
                         "Files:\n"
                         "  ~/.local/share/tarnwick (or $XDG_DATA_HOME/tarnwick)\n"
                         "                           the program's folder of an installed copy when neither\n"
                         "                           --home nor TARNWICK_HOME is given; each run with pages\n"
                         "                           makes a folder in it\n"
                         "  %1\n"
                         "                           settings for a SearXNG instance of your own, the\n"
                         "                           harvest's default source of result URLs\n"
                         "\n"
                         "Examples:\n"
                         "  $ tarnwick --home ~/sites\n")
              .arg(QLatin1String(kInstalledSearxngSettings));
}

std::optional<QString> informationRequest(int argc, char* argv[])
{
    for (int i = 1; i < argc; ++i) {
        // The folder after --home is a value, whatever it is called.
        if (std::strcmp(argv[i], "--home") == 0) {
            ++i;
            continue;
        }
        if (std::strcmp(argv[i], "--help") == 0 || std::strcmp(argv[i], "-h") == 0)
            return windowHelp();
        if (std::strcmp(argv[i], "--version") == 0)
            return versionText("tarnwick");
    }
    return std::nullopt;
}

} // namespace tarnwick
