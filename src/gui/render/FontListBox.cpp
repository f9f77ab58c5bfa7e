// SPDX-License-Identifier: MIT
#include "gui/render/FontListBox.h"

#include "core/render/FontFaces.h"

#include <QPainter>
#include <QStyledItemDelegate>

#include <algorithm>

namespace qp {

namespace {

// Draws an entry in the face it names: fill colour, name at the top-left corner without indent,
// and the platform's focus rectangle on the focused entry.
class FontItemDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override
    {
        return {QStyledItemDelegate::sizeHint(option, index).width(), FontListBox::kItemHeight};
    }

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override
    {
        const bool selected = option.state & QStyle::State_Selected;
        const QPalette& pal = option.palette;
        const QColor fill = selected ? FontListBox::selectionColor() : pal.color(QPalette::Base);
        const QColor ink = selected ? pal.color(QPalette::HighlightedText) : pal.color(QPalette::Text);

        painter->save();
        painter->fillRect(option.rect, fill);
        QFont font = option.font;
        const QString name = index.data(Qt::DisplayRole).toString();
        font.setFamilies({name});
        painter->setFont(font);
        painter->setPen(ink);
        painter->drawText(option.rect, Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine, name);
        painter->restore();

        if (option.state & QStyle::State_HasFocus) {
            QStyleOptionFocusRect focus;
            focus.QStyleOption::operator=(option);
            focus.backgroundColor = fill;
            const QWidget* widget = option.widget;
            QStyle* style = widget ? widget->style() : nullptr;
            if (style)
                style->drawPrimitive(QStyle::PE_FrameFocusRect, &focus, painter, widget);
        }
    }
};

} // namespace

FontListBox::FontListBox(QWidget* parent) : QListWidget(parent)
{
    QFont listFont(QStringLiteral("Tahoma"));
    listFont.setPixelSize(15);
    setFont(listFont);
    setItemDelegate(new FontItemDelegate(this));
    setUniformItemSizes(true);
    setSelectionMode(QAbstractItemView::SingleSelection);
    connect(this, &QListWidget::itemSelectionChanged, this, [this] {
        if (m_selecting)
            return;
        const QString name = selectedName();
        if (!name.isEmpty())
            emit fontChosen(name);
    });
    // A click on the entry that is already selected chooses it again (its name may have been
    // typed over in the name field meanwhile).
    connect(this, &QListWidget::itemClicked, this, [this] {
        const QString name = selectedName();
        if (!name.isEmpty())
            emit fontChosen(name);
    });
}

QStringList FontListBox::screenFontNames(const QStringList& families)
{
    QStringList names;
    for (const QString& f : families)
        if (!f.startsWith(QLatin1Char('@')))
            names << f;
    std::stable_sort(names.begin(), names.end(), [](const QString& a, const QString& b) {
        return QString::compare(a, b, Qt::CaseInsensitive) < 0;
    });
    return names;
}

void FontListBox::fill(const QStringList& families)
{
    m_selecting = true;
    setUpdatesEnabled(false);
    clear();
    addItems(screenFontNames(families));
    setUpdatesEnabled(true);
    m_selecting = false;
}

bool FontListBox::selectName(const QString& name)
{
    // A family named without its foundry selects the entry that names one.
    QList<QListWidgetItem*> found = findItems(name, Qt::MatchExactly | Qt::MatchCaseSensitive);
    if (found.isEmpty() && !name.isEmpty())
        found = findItems(installedFamily(name), Qt::MatchExactly | Qt::MatchCaseSensitive);
    if (found.isEmpty())
        return false;
    m_selecting = true;
    setCurrentItem(found.first());
    found.first()->setSelected(true);
    scrollToItem(found.first(), QAbstractItemView::PositionAtCenter);
    m_selecting = false;
    return true;
}

QString FontListBox::selectedName() const
{
    const QList<QListWidgetItem*> items = selectedItems();
    return items.isEmpty() ? QString() : items.first()->text();
}

} // namespace qp
