#pragma once

namespace gipso {

// Qt's own texts (the standard buttons of every question, the file and print dialogs) in the
// given language: installs Qt's translation of it and drops the one installed before. English
// needs none. False when the translation is not installed (Qt's English texts show then).
bool applyQtTranslations(int languageId);

} // namespace gipso
