// SPDX-License-Identifier: MIT
#include "gui/app/ErrorBox.h"

#include "core/settings/IniFile.h"

#include <QApplication>
#include <QMessageBox>
#include <QPointer>

namespace qp {

namespace {

std::function<void(const QString&)>& handler()
{
    static std::function<void(const QString&)> h;
    return h;
}

bool boxOpen = false;

} // namespace

QString errorMessage(const std::exception& error)
{
    if (const auto* ini = dynamic_cast<const IniFileError*>(&error))
        return ini->message();
    const QString text = QString::fromUtf8(error.what());
    return text.isEmpty() ? QStringLiteral("Unknown error") : text;
}

void showGeneralError(const QString& message)
{
    if (handler()) {
        handler()(message);
        return;
    }
    if (boxOpen) {
        qWarning("%s", qPrintable(message));
        return;
    }
    boxOpen = true;
    QMessageBox box(QMessageBox::Critical, QStringLiteral("Quillpress - Velmora"), message,
                    QMessageBox::Ok, QApplication::activeWindow());
    box.exec();
    boxOpen = false;
}

void setGeneralErrorHandler(std::function<void(const QString&)> h)
{
    handler() = std::move(h);
}

} // namespace qp
