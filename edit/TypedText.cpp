#include "edit/TypedText.h"

#include "edit/PointEditor.h"

namespace gipso {

QString keptTypedText(TypedBox box, const QString &typed, const QString &before)
{
    const int limit = box == TypedBox::Name ? 6 : box == TypedBox::Description ? 30 : 5;
    if (typed.size() > limit && typed.size() > before.size())
        return before;
    if (box == TypedBox::Altitude && !PointEditor::altitudeTextAllowed(typed))
        return QString();
    return typed;
}

} // namespace gipso
