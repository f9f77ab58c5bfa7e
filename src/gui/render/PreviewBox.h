// SPDX-License-Identifier: MIT
#pragma once
// The preview's scroll box (vor_box) with its picture (vor_bild): the rendered image inside a
// one-pixel black frame, centred when it fits and scrollable when it does not (see placePreview).
#include "gui/render/PreviewPlacement.h"

#include <QAbstractScrollArea>
#include <QImage>

class QLabel;

namespace qp {

class PreviewBox : public QAbstractScrollArea {
    Q_OBJECT
public:
    explicit PreviewBox(QWidget* parent = nullptr);

    // Frames `image`, places it against the box's current outer size and shows it.
    void showImage(const QImage& image);

    const PreviewPlacement& placement() const { return m_placement; }
    // The framed picture as shown: the image at (1, 1) on black, 2 pixels larger each way.
    const QImage& picture() const { return m_picture; }
    // How often a picture was shown since the box was made.
    int drawCount() const { return m_drawCount; }
    // The note in the box's lower left corner: the font size a fitted image was drawn at, or that
    // it does not fit even at 1 point; empty for other images.
    QString note() const;

    QSize sizeHint() const override;

signals:
    // The box's outer size changed: the preview is to be redrawn.
    void resized();

protected:
    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void scrollContentsBy(int dx, int dy) override;

private:
    void updateScrollBars();
    void placeNote();

    QImage m_picture;
    PreviewPlacement m_placement;
    int m_drawCount = 0;
    QLabel* m_note = nullptr;
};

} // namespace qp
