// SPDX-License-Identifier: MIT
#pragma once
// The link at the bottom of the main window: every 10 s its caption moves on to another page of
// the project. The caption names the page's address, " - " and a short description.
#include <QString>
#include <QUrl>

namespace qp {

enum class LinkPage { Help, Support, OtherProduct, Contribute };

// The page for a value of the caption counter: divisible by 4 the contribution page, else by 3
// the page of the command-line tool, else even the support page, else the help page. Before the
// first tick (counter 0) the label shows the help page.
LinkPage linkPageFor(int counter);

struct LinkCaption {
    QString caption;
    QUrl url;
};
// The caption and address of a page in German (`german`) or English.
LinkCaption linkCaption(LinkPage page, bool german);

} // namespace qp
