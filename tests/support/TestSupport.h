#pragma once

#include <QByteArray>
#include <QString>
#include <QTemporaryDir>

namespace gipso::test {

// ../shared/testdata beside the checkout (GIPSO_TESTDATA in the test environment).
QString testDataDir();
QString testData(const QString &relative);
// The build folder (where gipso-cli and the tools are).
QString buildDir();
QByteArray readAll(const QString &path);
void writeAll(const QString &path, const QByteArray &bytes);

} // namespace gipso::test
