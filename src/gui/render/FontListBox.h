// SPDX-License-Identifier: MIT
#pragma once
// The font list (ListBox1): the installed screen fonts, sorted, each name drawn in its own face;
// the selected entry on #0F3F6F. Selecting an entry by mouse or keyboard reports its name.
#include <QListWidget>
#include <QStringList>

namespace qp {

class FontListBox : public QListWidget {
    Q_OBJECT
public:
    // Height of every entry in pixels.
    static constexpr int kItemHeight = 20;
    // Fill colour of the selected entry.
    static QColor selectionColor() { return QColor(15, 63, 111); }

    explicit FontListBox(QWidget* parent = nullptr);

    // The names of the installed fonts as the list shows them: sorted without regard to case,
    // without the names that begin with "@" (vertical-writing variants).
    static QStringList screenFontNames(const QStringList& families);

    // Clears the list and fills it with screenFontNames(families); nothing is selected afterwards.
    void fill(const QStringList& families);
    // Selects the entry named exactly `name` without reporting it; false (selection unchanged)
    // when there is none.
    bool selectName(const QString& name);
    // The selected entry's name, empty when none is selected.
    QString selectedName() const;

signals:
    // The user selected the entry `name`.
    void fontChosen(const QString& name);

private:
    bool m_selecting = false;
};

} // namespace qp
