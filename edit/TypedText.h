#pragma once

#include <QString>

namespace gipso {

// The point dialog's boxes whose typing is limited.
enum class TypedBox { Name, Description, Altitude };

// What a box keeps after the user typed into it, turning `before` into `typed`: `before` when
// the typing went past the box's limit (6 characters for the name, 30 for the description, 5
// for the altitude), nothing when the altitude box holds no number or one on its way, else
// what was typed. Only typing is limited: a longer text the program wrote there stays until
// the user lengthens it.
QString keptTypedText(TypedBox box, const QString &typed, const QString &before);

} // namespace gipso
