// SPDX-License-Identifier: MIT
#include "gui/app/LinkCaptions.h"

namespace qp {

namespace {

// The project's pages. The reserved ".example" domain stands in until the project has a site
// of its own; change it here.
const QString kSite = QStringLiteral("quillpress.example");

} // namespace

LinkPage linkPageFor(int counter)
{
    if (counter == 0)
        return LinkPage::Help;
    if (counter % 4 == 0)
        return LinkPage::Contribute;
    if (counter % 3 == 0)
        return LinkPage::OtherProduct;
    if (counter % 2 == 0)
        return LinkPage::Support;
    return LinkPage::Help;
}

LinkCaption linkCaption(LinkPage page, bool german)
{
    QString path;
    QString description;
    switch (page) {
    case LinkPage::Help:
        path = german ? QStringLiteral("hilfe") : QStringLiteral("help");
        description = german ? QStringLiteral("Hilfe und erste Schritte") : QStringLiteral("Help and first steps");
        break;
    case LinkPage::Support:
        path = german ? QStringLiteral("fragen") : QStringLiteral("questions");
        description = german ? QStringLiteral("Fragen und Antworten") : QStringLiteral("Questions and answers");
        break;
    case LinkPage::OtherProduct:
        path = QStringLiteral("cli");
        description = german ? QStringLiteral("Für die Kommandozeile") : QStringLiteral("For the command line");
        break;
    case LinkPage::Contribute:
        path = german ? QStringLiteral("mitmachen") : QStringLiteral("contribute");
        description = german ? QStringLiteral("Quillpress mitgestalten") : QStringLiteral("Help shape Quillpress");
        break;
    }
    const QString address = kSite + QLatin1Char('/') + path;
    return {address + QStringLiteral(" - ") + description, QUrl(QStringLiteral("https://") + address)};
}

} // namespace qp
