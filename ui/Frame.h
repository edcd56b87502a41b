// Window layouts are given as inclusive corners: left, top, right, bottom.
#pragma once

#include <QRect>

constexpr QRect Frame(int left, int top, int right, int bottom) {
  return QRect(QPoint(left, top), QPoint(right, bottom));
}
