#include "common/propertyset.h"

#include "common/globals.h"
#include "platform/dao/values.h"
#include "platform/messagebox.h"

#include <QDate>
#include <QDateTime>
#include <algorithm>
#include <optional>

namespace common {

namespace {

void critical(const QString &text) { platform::msgBox(text, NomeProgramma, platform::MsgIcon::Critical); }

template <typename Set>
auto find(Set &set, const QString &name) -> decltype(&set.front())
{
    const QString wanted = name.toUpper();
    for (auto &p : set)
        if (p.name.toUpper() == wanted)
            return &p;
    return nullptr;
}

bool readsAsNumber(const QString &text)
{
    bool ok = false;
    text.trimmed().toDouble(&ok);
    return ok && std::any_of(text.begin(), text.end(), [](QChar c) { return c.isDigit(); });
}

bool isNumberType(const QVariant &value)
{
    switch (value.typeId()) {
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
    case QMetaType::Short:
    case QMetaType::UShort:
    case QMetaType::UChar:
    case QMetaType::Float:
    case QMetaType::Double: return true;
    default: return false;
    }
}

bool isText(const QVariant &value) { return value.typeId() == QMetaType::QString; }

// The value a text item gives a property of its kind; nullopt when it does not fit.
std::optional<QVariant> fromItem(int kind, const QString &text)
{
    switch (kind) {
    case PropertyNumber:
        if (readsAsNumber(text))
            return QVariant(text);
        return std::nullopt;
    case PropertyText: return QVariant(text);
    case PropertyBoolean:
        if (text == QLatin1String("True"))
            return QVariant(true);
        if (text == QLatin1String("False"))
            return QVariant(false);
        return std::nullopt;
    case PropertyDate:
        if (dao::parseDateText(text))
            return QVariant(text);
        return std::nullopt;
    case PropertyTextOrNull: return text.isEmpty() ? QVariant() : QVariant(text);
    default: return std::nullopt;
    }
}

bool fits(int kind, const QVariant &value)
{
    switch (kind) {
    case PropertyNumber: return isNumberType(value) || (isText(value) && readsAsNumber(value.toString()));
    case PropertyText:
    case PropertyTextOrNull: return true;
    case PropertyBoolean:
        if (value.typeId() == QMetaType::Bool)
            return true;
        if (isNumberType(value))
            return value.toDouble() == 0 || value.toDouble() == -1;
        return isText(value) && (value.toString() == QLatin1String("True") || value.toString() == QLatin1String("False"));
    case PropertyDate:
        return value.typeId() == QMetaType::QDate || value.typeId() == QMetaType::QDateTime
               || (isText(value) && dao::parseDateText(value.toString()));
    default: return false;
    }
}

}  // namespace

bool LoadPropertySet(const QString &text, PropertySet &set)
{
    QString rest = text;
    while (!rest.isEmpty()) {
        QString item;
        const qsizetype semicolon = rest.indexOf(u';');
        if (semicolon >= 0) {
            item = rest.left(semicolon);
            rest = rest.mid(semicolon + 1);
        } else {
            item = rest;
            rest.clear();
        }
        if (item.isEmpty())
            continue;
        const qsizetype equals = item.indexOf(u'=');
        const QString name = (equals < 0 ? item : item.left(equals)).trimmed();
        Property *property = equals < 0 ? nullptr : find(set, name);
        if (!property) {
            critical(u'\'' + name + QStringLiteral("': proprietà inesistente."));
            return true;
        }
        const auto value = fromItem(property->kind, item.mid(equals + 1));
        if (!value) {
            critical(name.toUpper() + QStringLiteral(": tipo di dato non corrispondente."));
            return true;
        }
        property->value = *value;
    }
    return false;
}

QVariant GetProperty(const PropertySet &set, const QString &name)
{
    const Property *property = find(set, name);
    if (!property) {
        critical(QStringLiteral("GetProperty: '") + name + QStringLiteral("' proprietà non trovata nell'insieme."));
        return {};
    }
    return property->value;
}

bool SetProperty(PropertySet &set, const QString &name, QVariant &value)
{
    Property *property = find(set, name);
    if (!property) {
        critical(QStringLiteral("SetProperty: '") + name + QStringLiteral("' nome non persent nell'insieme"));
        return true;
    }
    if (!fits(property->kind, value)) {
        critical(QStringLiteral("SetProperty: tipo di dato incompatibile."));
        return true;
    }
    if (property->kind == PropertyTextOrNull && (value.isNull() || (isText(value) && value.toString().isEmpty())))
        value = QVariant();
    property->value = value;
    return false;
}

}  // namespace common
