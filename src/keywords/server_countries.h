#pragma once

#include <QString>

namespace tarnwick {

/// The codes a suggestion address template takes for one country of the server box.
struct CountryCodes {
    QString language; ///< ISO 639-1: "en", "ja"
    QString country; ///< ISO 3166-1, lower case: "gb", "kr"
    QString region; ///< country-language, as regional search settings name them: "uk-en"
};

/// The codes for a server box text: its nine countries, matched ignoring case and spaces
/// at the ends; any other text gets those of "United States".
CountryCodes countryCodes(const QString& serverBoxText);

} // namespace tarnwick
