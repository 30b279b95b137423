#pragma once

#include "CXListCtrl.h"

// A record list the teacher pages place by id (EnsureControl needs a class of its own).
class CTeacherLineList : public CXListCtrl
{
    Q_OBJECT
public:
    explicit CTeacherLineList(QWidget* parent = nullptr) : CXListCtrl(parent) {}
};
