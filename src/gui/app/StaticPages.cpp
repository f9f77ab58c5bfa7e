// SPDX-License-Identifier: MIT
#include "gui/app/StaticPages.h"

#include <QHBoxLayout>
#include <QPushButton>
#include <QTextDocument>
#include <QTextBrowser>
#include <QVBoxLayout>

namespace qp {

namespace {

const char16_t* const kHelpDe = uR"(
<h2>Quillpress</h2>
<p>Quillpress macht aus getipptem Text Bilddateien.</p>
<h3>So geht es</h3>
<ol>
<li>Schreiben Sie den Text auf der Seite <b>Text</b> in das Textfeld. W&auml;hlen Sie, ob der
ganze Text ein Bild wird oder jede Zeile ein eigenes Bild. In einer Zeile steht <code>\nl</code>
f&uuml;r einen Zeilenumbruch.</li>
<li>Auf der Seite <b>Schrift und Format</b> w&auml;hlen Sie Schrift, Gr&ouml;&szlig;e, Stil,
Schrift- und Hintergrundfarbe und die Drehung.</li>
<li>Auf der Seite <b>R&auml;nder und Abst&auml;nde</b> legen Sie die R&auml;nder, den
Zeilenabstand, die Ausrichtung und die Bildgr&ouml;&szlig;e fest: variabel (mit einer
gr&ouml;&szlig;ten Breite, an der umgebrochen wird) oder fest.</li>
<li>Auf der Seite <b>Speichern</b> w&auml;hlen Sie Ordner, Dateiformat und Dateinamen.</li>
<li><b>Erstellen und Speichern</b> (Strg+S) schreibt die Bilder. Die Vorschau zeigt vorher,
wie ein Bild aussieht.</li>
</ol>
<h3>Gut zu wissen</h3>
<ul>
<li>Eine vorhandene Datei wird nie &uuml;berschrieben: der Name bekommt eine Nummer.</li>
<li>Unter <i>Einstellungen &rarr; Format Optionen</i> stellen Sie Qualit&auml;t, Progressiv,
PSD-Ebenen und die Kantengl&auml;ttung der Schrift ein.</li>
<li>Unter <i>Einstellungen &rarr; Dateinamen Optionen</i> bestimmen Sie, wie Namen aus dem Text
entstehen.</li>
<li>Alle Einstellungen lassen sich im Men&uuml; <i>Konfiguration</i> speichern und laden; die
Datei <code>auto.qpcf</code> im Programmordner wird beim Start geladen.</li>
</ul>
)";

const char16_t* const kHelpEn = uR"(
<h2>Quillpress</h2>
<p>Quillpress turns typed text into image files.</p>
<h3>How it works</h3>
<ol>
<li>Type your text into the text box on the <b>Text</b> page. Choose whether the whole text becomes
one image or every line an image of its own. Inside a line, <code>\nl</code> stands for a line
break.</li>
<li>On the <b>Font and Format</b> page choose the font, size, style, text and background colour and
the rotation.</li>
<li>On the <b>Margins and Spaces</b> page set the margins, the line height, the alignment and the
image size: variable (with a maximum width at which lines are wrapped) or fixed.</li>
<li>On the <b>Save</b> page choose the folder, the file format and the file name.</li>
<li><b>Create and Save</b> (Ctrl+S) writes the images. The preview shows beforehand what an image
will look like.</li>
</ol>
<h3>Good to know</h3>
<ul>
<li>An existing file is never overwritten: the name gets a number instead.</li>
<li><i>Settings &rarr; Format Options</i> holds the quality, the progressive option, PSD layers and
font smoothing.</li>
<li><i>Settings &rarr; File Name Options</i> decides how names are made from the text.</li>
<li>All settings can be saved and loaded from the <i>Configuration</i> menu; the file
<code>auto.qpcf</code> in the program folder is loaded at every start.</li>
</ul>
)";

const char16_t* const kBugreportDe = uR"(
<h2>Fehler oder Verbesserung melden</h2>
<p>Etwas funktioniert nicht wie erwartet, oder Ihnen fehlt etwas? Wir freuen uns &uuml;ber Ihre
Nachricht an den Hersteller des Programms.</p>
<p>Damit wir den Fehler nachstellen k&ouml;nnen, schreiben Sie bitte dazu:</p>
<ul>
<li>was Sie getan haben, Schritt f&uuml;r Schritt,</li>
<li>was Sie erwartet haben und was stattdessen geschah (mit dem genauen Text einer Meldung),</li>
<li>Ihre Einstellungen: speichern Sie sie &uuml;ber <i>Konfiguration &rarr; Aktuelle Konfiguration
speichern</i> und legen Sie die Datei bei,</li>
<li>das gew&auml;hlte Dateiformat und Ihr Betriebssystem.</li>
</ul>
)";

const char16_t* const kBugreportEn = uR"(
<h2>Report a Bug or an Improvement</h2>
<p>Something does not work as expected, or you miss something? We are glad to hear from you: write
to the maker of the program.</p>
<p>So that we can reproduce a problem, please tell us:</p>
<ul>
<li>what you did, step by step,</li>
<li>what you expected and what happened instead (with the exact text of any message),</li>
<li>your settings: save them with <i>Configuration &rarr; Save current Configuration</i> and attach
the file,</li>
<li>the chosen file format and your operating system.</li>
</ul>
)";

} // namespace

StaticPageWindow::StaticPageWindow(const QString& title, const QString& html, QWidget* parent)
    : QDialog(parent), m_html(html)
{
    setWindowTitle(title);
    setModal(false);
    m_page = new QTextBrowser(this);
    m_page->setObjectName(QStringLiteral("page"));
    m_page->setOpenExternalLinks(true);
    m_page->document()->setDocumentMargin(12);
    m_page->setHtml(html);

    auto* ok = new QPushButton(QStringLiteral("OK"), this);
    ok->setObjectName(QStringLiteral("OK"));
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(ok);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_page, 1);
    layout->addLayout(buttons);
    resize(600, 540);
}

StaticPageWindow* createHilfe(QWidget* parent)
{
    return new StaticPageWindow(QStringLiteral("Quillpress - Hilfe"), QString::fromUtf16(kHelpDe), parent);
}
StaticPageWindow* createHilfeEn(QWidget* parent)
{
    return new StaticPageWindow(QStringLiteral("Quillpress - Help"), QString::fromUtf16(kHelpEn), parent);
}
StaticPageWindow* createBugreportDe(QWidget* parent)
{
    auto* window = new StaticPageWindow(QStringLiteral("Quillpress - Fehler melden"),
                                        QString::fromUtf16(kBugreportDe), parent);
    window->resize(600, 380);
    return window;
}
StaticPageWindow* createBugreportEn(QWidget* parent)
{
    auto* window = new StaticPageWindow(QStringLiteral("Quillpress - Report a Bug"),
                                        QString::fromUtf16(kBugreportEn), parent);
    window->resize(600, 380);
    return window;
}

} // namespace qp
