#include "pages/template_fill.h"

#include <QList>

#include <array>
#include <vector>

namespace tarnwick {

QString fillTemplate(const QString& tmpl, const TemplateValues& values)
{
    const std::array<QString, 3> marks
        = { QStringLiteral("!@@!"), QStringLiteral("!%%!"), QStringLiteral("!##!") };
    const std::array<const QString*, 3> fills = { &values.title, &values.heading, &values.results };

    // The marks are looked for in the order the pages have always been filled in: "!@@!"
    // first, then "!%%!" in the template text left between those, then "!##!". A template
    // whose marks overlap ("!@@!%%!") thus fills as before, and no value is searched.
    struct Piece {
        QStringView text;
        int fill = -1;
    };
    std::vector<Piece> pieces { { tmpl } };
    for (std::size_t m = 0; m < marks.size(); ++m) {
        std::vector<Piece> next;
        for (const Piece& piece : pieces) {
            if (piece.fill >= 0) {
                next.push_back(piece);
                continue;
            }
            const QList<QStringView> parts = piece.text.split(marks[m]);
            for (qsizetype i = 0; i < parts.size(); ++i) {
                if (i > 0)
                    next.push_back({ {}, static_cast<int>(m) });
                next.push_back({ parts.at(i) });
            }
        }
        pieces = std::move(next);
    }

    QString out;
    for (const Piece& piece : pieces) {
        if (piece.fill >= 0)
            out += *fills[piece.fill];
        else
            out += piece.text;
    }
    return out;
}

} // namespace tarnwick
