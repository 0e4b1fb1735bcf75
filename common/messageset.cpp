#include "common/messageset.h"

#include "common/globals.h"
#include "platform/messagebox.h"

namespace common {

QString GetMessageText(const QString &reference)
{
    const qsizetype close = reference.indexOf(u']');
    if (close < 0) {
        platform::msgBox(QStringLiteral("Application error: unable to evaluate message identifer '") + reference
                             + u'\'',
                         NomeProgramma, platform::MsgIcon::Critical);
        return {};
    }
    const QString rest = reference.mid(close + 1);
    QString identifier = reference.left(close);
    if (identifier.startsWith(u'['))
        identifier.remove(0, 1);
    bool number = false;
    const qint32 index = identifier.trimmed().toInt(&number);
    // Entries are numbered from 1: an identifier of 0, below 0 or not a number
    // names none.
    if (!number || index < 1 || index > NumeroMessaggi || index > ElencoMessaggi.size()) {
        platform::msgBox(QStringLiteral("Application error: message identifer N. ")
                             + (number ? QString::number(index) : identifier)
                             + QStringLiteral(" not found in message set."),
                         NomeProgramma, platform::MsgIcon::Critical);
        return {};
    }
    return ElencoMessaggi.at(index - 1) + rest;
}

}  // namespace common
