#include "support/tempdir.h"

#include <QFile>
#include <stdexcept>

namespace testsupport {

TempDir::TempDir()
{
    if (!dir_.isValid())
        throw std::runtime_error("cannot create a temporary folder");
}

QString TempDir::write(const QString &name, const QByteArray &bytes) const
{
    const QString p = file(name);
    QFile f(p);
    if (!f.open(QIODevice::WriteOnly) || f.write(bytes) != bytes.size())
        throw std::runtime_error("cannot write the test file");
    return p;
}

}  // namespace testsupport
