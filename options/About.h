#pragma once

#include <QString>

namespace gipso {

// The program's version as the About box shows it: major.minor.revision ("2.6.0"), all three
// from the project's version in the build.
QString programVersion();

// The user manual of a language in the data folder: Gipso_Ita.html (1040), Gipso_Eng.html
// (2057), Gipso.html for any other language.
QString helpFileName(int language);

// The licence and disclaimer text of a language, read from the data folder (Disclaimer_Ita.txt,
// Disclaimer_Eng.txt); empty for any other language or when the file is missing or unreadable.
QString disclaimerText(int language, const QString &dataFolder);

} // namespace gipso
