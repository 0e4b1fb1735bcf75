#include "support/textfixture.h"

#include <QFile>

namespace testsupport {

::testing::AssertionResult SameAsFixture(const QString &fixture, const std::vector<QString> &lines)
{
    QByteArray actual;
    for (const QString &line : lines)
        actual += line.toUtf8() + '\n';
    const QString path = QStringLiteral(CORBIX_TEST_SOURCE_DIR "/") + fixture;
    QFile expected(path);
    if (expected.open(QIODevice::ReadOnly) && expected.readAll() == actual) {
        QFile::remove(path + QStringLiteral(".actual"));
        return ::testing::AssertionSuccess();
    }
    QFile written(path + QStringLiteral(".actual"));
    const bool saved = written.open(QIODevice::WriteOnly | QIODevice::Truncate) && written.write(actual) == actual.size()
                       && written.flush();
    return ::testing::AssertionFailure() << "the lines differ from " << path.toStdString()
                                         << (saved ? "; they are in " + written.fileName().toStdString()
                                                   : std::string("; they could not be written beside it"));
}

}  // namespace testsupport
