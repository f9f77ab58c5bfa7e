// SPDX-License-Identifier: MIT
#include "gui/app/ProgramIcon.h"

namespace qp {

QIcon builtInProgramIcon()
{
    QIcon icon;
    for (const int size : {16, 22, 24, 32, 48, 64, 128, 256})
        icon.addFile(QStringLiteral(":/quillpress/icons/%1x%1/quillpress.png").arg(size), QSize(size, size));
    return icon;
}

QIcon programIcon()
{
    return QIcon::fromTheme(QString::fromLatin1(kProgramIconName), builtInProgramIcon());
}

} // namespace qp
