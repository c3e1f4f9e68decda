#pragma once

#include "base/MessageIds.h"

#include <QString>
#include <QStringList>
#include <QVariant>
#include <initializer_list>

namespace gipso {

constexpr int kItalian = 1040;
constexpr int kEnglish = 2057;

// Text of a message id in the current language; empty when there is none.
// One block of 16 consecutive ids is cached; changing the language empties the cache.
QString messageText(int id);

// Replaces every "$i" in text by args[i], i = 0 to the last argument.
QString formatMessage(QString text, const QStringList &args);
QString formatMessage(const QString &text, std::initializer_list<QVariant> args);

void setLanguage(int languageId);
int currentLanguage();

} // namespace gipso
