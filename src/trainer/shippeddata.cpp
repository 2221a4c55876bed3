#include "shippeddata.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

using namespace Qt::StringLiterals;

namespace ShippedData {

QString find(const QString &name)
{
    const QDir programs(QCoreApplication::applicationDirPath());
    for (const QString &path : {QDir::current().filePath(name), programs.filePath(name),
                                programs.filePath(u"../share/dashwright/"_s + name)}) {
        if (QFileInfo(path).isFile())
            return QDir::cleanPath(path);
    }
    return {};
}

} // namespace ShippedData
