#include "base/Error.h"

#include "base/Messages.h"

namespace gipso {

namespace {
msg::Id standardTextId(int number)
{
    switch (number) {
    case err::InvalidCall: return msg::ErrInvalidCall;
    case err::Overflow: return msg::ErrOverflow;
    case err::OutOfMemory: return msg::ErrOutOfMemory;
    case err::DivisionByZero: return msg::ErrDivisionByZero;
    case err::TypeMismatch: return msg::ErrTypeMismatch;
    case err::FileNotFound: return msg::ErrFileNotFound;
    case err::FileIo: return msg::ErrFileIo;
    case err::PathAccess: return msg::ErrPathAccess;
    }
    return msg::Id(-1);
}
} // namespace

QString standardErrorText(int number)
{
    const msg::Id id = standardTextId(number);
    return id < 0 ? QString() : messageText(id);
}

// what() holds the text of the language in force when it was raised; the description is
// looked up again when shown.
GipsoError::GipsoError(int number) : std::runtime_error(standardErrorText(number).toStdString()), number_(number) {}

QString GipsoError::description() const { return description_.isEmpty() ? standardErrorText(number_) : description_; }

QString errorMessage(const GipsoError &e, int prefixId)
{
    return messageText(prefixId) + QString::number(e.number()) + QStringLiteral(" - ") + e.description();
}

} // namespace gipso
