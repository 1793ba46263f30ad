#pragma once

#include <QByteArray>
#include <QString>

namespace kx {

// windows-1251, the code page of kalyx.ini and of *.PLN files. Our own table
// keeps the program free of codec plugins on every platform.
QString fromCp1251(const QByteArray &bytes);
// Characters that windows-1251 cannot hold become '?', as Windows writes them.
QByteArray toCp1251(const QString &text);

} // namespace kx
