#include "desktopopen.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QMessageBox>
#include <QPushButton>
#include <QUrl>

using namespace Qt::StringLiterals;

namespace DesktopOpen {

bool open(QWidget *parent, const QString &path)
{
    const QString absolute = QFileInfo(path).absoluteFilePath();
    if (QDesktopServices::openUrl(QUrl::fromLocalFile(absolute)))
        return true;
    noHandler(parent, absolute);
    return false;
}

void noHandler(QWidget *parent, const QString &path)
{
    const QString folder = QFileInfo(path).absolutePath();
    QMessageBox box(QMessageBox::Information, parent ? parent->window()->windowTitle() : QString(),
                    QCoreApplication::translate("DesktopOpen",
                                                "This desktop has no program set to open %1.\r\n"
                                                "The file is in the folder %2.")
                        .arg(QDir::toNativeSeparators(QFileInfo(path).fileName()), QDir::toNativeSeparators(folder)),
                    QMessageBox::Close, parent);
    QPushButton *openFolder = box.addButton(QCoreApplication::translate("DesktopOpen", "Open &Folder"),
                                            QMessageBox::ActionRole);
    box.exec();
    if (box.clickedButton() == openFolder && !QDesktopServices::openUrl(QUrl::fromLocalFile(folder)))
        QMessageBox::information(parent, box.windowTitle(),
                                 QCoreApplication::translate("DesktopOpen", "No file manager could be started either. "
                                                                            "The file is %1")
                                     .arg(QDir::toNativeSeparators(path)));
}

} // namespace DesktopOpen
