#pragma once

#include "base/MessageIds.h"

#include <QString>
#include <stdexcept>

namespace gipso {

// The one error type of the program: a number and a description, shown as
// "ERROR N° <number> - <description>" by the error traps of the forms.
class GipsoError : public std::runtime_error {
public:
    // An error with the standard text of its number (err:: below), in the language in force
    // when it is shown.
    explicit GipsoError(int number);
    GipsoError(int number, const QString &description)
        : std::runtime_error(description.toStdString()), number_(number), description_(description) {}

    int number() const { return number_; }
    // The description given, else the standard text of the number in the current language.
    QString description() const;

private:
    int number_;
    QString description_;
};

// Numbers of the floating and file errors raised by the logic; each has a standard text.
namespace err {
constexpr int InvalidCall = 5;      // argument outside the domain (sqrt, log, arcsin)
constexpr int Overflow = 6;
constexpr int OutOfMemory = 7;
constexpr int DivisionByZero = 11;
constexpr int TypeMismatch = 13;   // a box or a field that holds no number
constexpr int FileNotFound = 53;
constexpr int FileIo = 57;
constexpr int PathAccess = 75;
} // namespace err

// The standard text of an error number in the current language; empty for a number without one.
QString standardErrorText(int number);

// "ERROR N° " (in the current language, from the given message id) + number + " - " + description.
QString errorMessage(const GipsoError &e, int prefixId = msg::ErrorPrefix);

} // namespace gipso
