// SPDX-License-Identifier: MIT
#include "gui/settings/ArrowButtons.h"

#include <QToolButton>
#include <QVBoxLayout>

namespace qp {

namespace {

QToolButton* makeArrow(Qt::ArrowType type, QWidget* parent)
{
    auto* b = new QToolButton(parent);
    b->setArrowType(type);
    b->setAutoRepeat(true);
    b->setAutoRepeatDelay(400);
    b->setAutoRepeatInterval(60);
    b->setFocusPolicy(Qt::NoFocus);
    b->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Ignored);
    b->setFixedWidth(17);
    b->setIconSize(QSize(7, 7));
    return b;
}

} // namespace

ArrowButtons::ArrowButtons(QWidget* parent)
    : QWidget(parent), m_up(makeArrow(Qt::UpArrow, this)), m_down(makeArrow(Qt::DownArrow, this))
{
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(m_up);
    layout->addWidget(m_down);
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Preferred);
    connect(m_up, &QToolButton::clicked, this, [this] { emit stepped(+1); });
    connect(m_down, &QToolButton::clicked, this, [this] { emit stepped(-1); });
}

QSize ArrowButtons::sizeHint() const
{
    return {17, 24};
}

} // namespace qp
