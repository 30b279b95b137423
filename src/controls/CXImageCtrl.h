#pragma once

#include "XBoundControls.h"

#include <QtWidgets/QFrame>

// One bound picture over a checkerboard.
class CXImageCtrl : public QFrame, public IXImageControl
{
    Q_OBJECT
public:
    explicit CXImageCtrl(QWidget* parent = nullptr);
    void SetImage(CXImage* image) override { m_pImage = image; }
    void Repaint() override { update(); }
    CXImage* m_pImage = nullptr;

protected:
    void paintEvent(QPaintEvent* e) override;
};
