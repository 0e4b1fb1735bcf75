#include "ui/main/programfolder.h"

#include "common/globals.h"

#include <QDir>

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

void RipristinaCartellaProgramma() { QDir::setCurrent(common::CartellaProgramma); }

}  // namespace uimain
