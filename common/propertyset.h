#pragma once

#include <QString>
#include <QVariant>
#include <vector>

namespace common {

// What values a property accepts.
enum PropertyKind : int {
    PropertyNumber = 0,
    PropertyText = 1,
    PropertyBoolean = 2,
    PropertyDate = 3,
    PropertyTextOrNull = 4,  // an empty value is Null
};

struct Property {
    QString name;  // matched without regard to case
    int kind = PropertyText;
    QVariant value;
};

// The properties a screen declares, in order; callers override them with a
// text such as "TableName=UtenzeEdi;UpDatable=True".
using PropertySet = std::vector<Property>;

// Takes the items of the text into the set, stopping at the first refused
// one. True on failure (a name not in the set, or a value of the wrong kind),
// after its message.
bool LoadPropertySet(const QString &text, PropertySet &set);

// The value of the named property; Null, after a message, when there is none.
QVariant GetProperty(const PropertySet &set, const QString &name);

// Stores a value after checking it against the property's kind. True on
// failure, after its message. An empty value of a text-or-Null property is
// stored as Null, and the caller's value becomes Null too.
bool SetProperty(PropertySet &set, const QString &name, QVariant &value);

}  // namespace common
