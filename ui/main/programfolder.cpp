#include "ui/main/programfolder.h"

namespace uimain {

QString CartellaConSeparatore(const QString &cartella, QChar separatore)
{
    QString result = cartella;
    while (!result.isEmpty() && result.back() == separatore)
        result.chop(1);
    if (result.isEmpty() && separatore == u'\\')
        result = QStringLiteral("C:");
    return result + separatore;
}

}  // namespace uimain
